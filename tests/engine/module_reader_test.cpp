// The module reader on the fixture modules (tests/fixtures/README.md says what each holds)
// and on malformed modules made from them by patching their bytes.
#include "engine/module_reader.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "test_support.h"

namespace nobrelt {
namespace {

using test::Bytes;

std::string Fixture(const std::string& name) { return std::string(NOBRELT_FIXTURES_DIR) + "/" + name; }

ResourceName Id(std::uint16_t id) { return ResourceName{id}; }
ResourceName Text(const char* text) { return ResourceName{std::string(text)}; }

std::string Describe(const std::vector<ResourceName>& names) {
    std::string out;
    for (const auto& name : names) {
        if (!out.empty()) out += ", ";
        if (const auto* id = std::get_if<std::uint16_t>(&name)) {
            out += std::to_string(*id);
        } else {
            out += "\"" + std::get<std::string>(name) + "\"";
        }
    }
    return out;
}

// The number of images an icon group resource claims.
std::uint16_t GroupImageCount(std::span<const std::byte> group) { return ByteReader(group).U16(4).value_or(0xFFFF); }
std::uint16_t GroupIconId(std::span<const std::byte> group, std::size_t i) {
    return ByteReader(group).U16(6 + 14 * i + 12).value_or(0);
}

// ---------------------------------------------------------------------------------------------
// The fixtures

struct FixtureCase {
    const char* file;
    ModuleFormat format;
    std::vector<ResourceName> groups;  // in enumeration order
};

const std::vector<FixtureCase> kFixtures = {
    {"named.dll", ModuleFormat::Pe32, {Text("MAINICON"), Id(1), Id(7)}},
    {"five.dll", ModuleFormat::Pe32Plus, {Id(101), Id(102), Id(103), Id(104), Id(105)}},
    {"missing-icon.dll", ModuleFormat::Pe32, {Id(1), Id(2)}},
    {"empty-group.dll", ModuleFormat::Pe32Plus, {Id(1)}},
    {"lang.dll", ModuleFormat::Pe32, {Text("DUAL"), Id(1), Id(2)}},
    {"png.dll", ModuleFormat::Pe32Plus, {Id(1)}},
    {"unicode.exe", ModuleFormat::Pe32Plus, {Text("ÜBER"), Text("图标😀"), Id(2)}},
    // Stored order, which in an NE table need not be sorted.
    {"icons.icl", ModuleFormat::Ne, {Text("ZETA"), Id(5), Text("CAFÉ"), Id(2)}},
};

TEST(ModuleReaderTest, FixturesGiveTheirGroupsInEnumerationOrder) {
    for (const auto& fixture : kFixtures) {
        SCOPED_TRACE(fixture.file);
        auto module = ModuleReader::Open(Fixture(fixture.file));
        ASSERT_TRUE(module) << module.reason();
        EXPECT_EQ(module->format(), fixture.format);
        auto names = module->EnumerateNames(RT_GROUP_ICON);
        ASSERT_TRUE(names) << names.reason();
        EXPECT_EQ(Describe(*names), Describe(fixture.groups));
        for (const auto& name : *names) EXPECT_TRUE(module->FindResource(RT_GROUP_ICON, name)) << Describe({name});
    }
}

TEST(ModuleReaderTest, BytesInMemoryReadLikeTheMappedFile) {
    for (const auto& fixture : kFixtures) {
        SCOPED_TRACE(fixture.file);
        const Bytes bytes = test::ReadBytes(Fixture(fixture.file));
        auto fromBytes = ModuleReader::FromBytes(bytes);
        auto fromFile = ModuleReader::Open(Fixture(fixture.file));
        ASSERT_TRUE(fromBytes && fromFile);
        auto names = fromBytes->EnumerateNames(RT_GROUP_ICON);
        ASSERT_TRUE(names);
        EXPECT_EQ(Describe(*names), Describe(fixture.groups));
        for (std::uint16_t icon = 1; icon <= 12; ++icon) {
            auto inMemory = fromBytes->FindResource(RT_ICON, Id(icon));
            auto mapped = fromFile->FindResource(RT_ICON, Id(icon));
            ASSERT_EQ(inMemory.has_value(), mapped.has_value()) << "icon " << icon;
            if (inMemory) {
                EXPECT_TRUE(std::equal(inMemory->begin(), inMemory->end(), mapped->begin(), mapped->end()));
            }
        }
    }
}

TEST(ModuleReaderTest, ModuleWithoutIconGroupsFailsToEnumerateThem) {
    auto module = ModuleReader::Open(Fixture("noicons.dll"));
    ASSERT_TRUE(module) << module.reason();
    auto groups = module->EnumerateNames(RT_GROUP_ICON);
    EXPECT_FALSE(groups);
    EXPECT_NE(groups.reason().find("no resources of type 14"), std::string::npos) << groups.reason();
    // Its other resources are there: a lone icon image.
    auto icons = module->EnumerateNames(RT_ICON);
    ASSERT_TRUE(icons) << icons.reason();
    EXPECT_EQ(Describe(*icons), "5");
    EXPECT_FALSE(module->FindResource(RT_GROUP_ICON, Id(1)));
}

struct LookupCase {
    const char* file;
    std::uint16_t type;
    ResourceName name;
    std::optional<std::size_t> size;  // none: absent
};

TEST(ModuleReaderTest, FindsResourcesByIdentifierAndByTextExactly) {
    const std::vector<LookupCase> cases = {
        {"named.dll", RT_GROUP_ICON, Text("MAINICON"), 6 + 2 * 14},
        {"named.dll", RT_GROUP_ICON, Id(1), 6 + 14},
        {"named.dll", RT_GROUP_ICON, Id(7), 6 + 2 * 14},
        {"named.dll", RT_GROUP_ICON, Text("mainicon"), std::nullopt},  // text as enumerated, exactly
        {"named.dll", RT_GROUP_ICON, Text("1"), std::nullopt},         // a text is not an identifier
        {"named.dll", RT_GROUP_ICON, Id(2), std::nullopt},
        {"named.dll", RT_GROUP_ICON, Id(0), std::nullopt},
        {"named.dll", RT_ICON, Id(3), 4264},
        {"named.dll", RT_ICON, Text("MAINICON"), std::nullopt},
        {"named.dll", 5, Id(1), std::nullopt},  // a type the module lacks
        {"missing-icon.dll", RT_ICON, Id(99), std::nullopt},
        {"unicode.exe", RT_GROUP_ICON, Text("图标😀"), 6 + 14},
        {"unicode.exe", RT_GROUP_ICON, Text("ÜBER"), 6 + 2 * 14},
        {"unicode.exe", RT_GROUP_ICON, Text("图标"), std::nullopt},
        {"five.dll", RT_ICON, Id(12), 2216},
        {"five.dll", RT_ICON, Id(13), std::nullopt},
        {"png.dll", RT_ICON, Id(1), 666},
        {"icons.icl", RT_GROUP_ICON, Text("CAFÉ"), 48},         // 6 + 3 × 14, padded to 16 bytes
        {"icons.icl", RT_GROUP_ICON, Text("CAF\xC9"), std::nullopt},  // the stored byte, not UTF-8
        {"icons.icl", RT_GROUP_ICON, Id(5), 32},
        {"icons.icl", RT_GROUP_ICON, Id(1), std::nullopt},
        {"icons.icl", RT_ICON, Text("ZETA"), std::nullopt},
        {"icons.icl", RT_ICON, Id(0x8001), std::nullopt},  // no NE identifier has the top bit
    };
    for (const auto& lookup : cases) {
        SCOPED_TRACE(std::string(lookup.file) + " type " + std::to_string(lookup.type) + " " + Describe({lookup.name}));
        auto module = ModuleReader::Open(Fixture(lookup.file));
        ASSERT_TRUE(module);
        auto found = module->FindResource(lookup.type, lookup.name);
        ASSERT_EQ(found.has_value(), lookup.size.has_value());
        if (found) {
            EXPECT_EQ(found->size(), *lookup.size);
        }
    }
}

TEST(ModuleReaderTest, PngImageIsTheStoredPng) {
    auto module = ModuleReader::Open(Fixture("png.dll"));
    ASSERT_TRUE(module);
    auto png = module->FindResource(RT_ICON, Id(1));
    ASSERT_TRUE(png);
    const Bytes signature = {std::byte{0x89}, std::byte{'P'}, std::byte{'N'}, std::byte{'G'}};
    EXPECT_TRUE(std::equal(signature.begin(), signature.end(), png->begin()));
    EXPECT_EQ(ByteReader(*png).U32BigEndian(16), 256u);  // IHDR width
}

// Where a name exists in several languages the first stored one counts, for groups and for
// the icons they name alike, whatever the group's own language.
TEST(ModuleReaderTest, TakesTheFirstStoredLanguage) {
    auto module = ModuleReader::Open(Fixture("lang.dll"));
    ASSERT_TRUE(module);

    auto dual = module->FindResource(RT_GROUP_ICON, Text("DUAL"));  // 0x0407 before 0x0409
    ASSERT_TRUE(dual);
    ASSERT_EQ(GroupImageCount(*dual), 1);
    EXPECT_EQ(GroupIconId(*dual, 0), 4);

    auto one = module->FindResource(RT_GROUP_ICON, Id(1));  // 0x0000 before 0x0409
    ASSERT_TRUE(one);
    ASSERT_EQ(GroupImageCount(*one), 1);
    EXPECT_EQ(GroupIconId(*one, 0), 1);

    // Icon 3, which the German group 2 names, is stored as 0x0000 (16×16, 4 bits) first.
    auto icon = module->FindResource(RT_ICON, Id(3));
    ASSERT_TRUE(icon);
    EXPECT_EQ(icon->size(), 296u);
    EXPECT_EQ(ByteReader(*icon).U32(4), 16u);
}

// The sizes an NE table stores count whole alignment units, so an image comes with the
// padding behind it.
TEST(ModuleReaderTest, NeResourcesKeepTheTablesLengths) {
    auto module = ModuleReader::Open(Fixture("icons.icl"));
    ASSERT_TRUE(module);
    auto icons = module->EnumerateNames(RT_ICON);
    ASSERT_TRUE(icons);
    EXPECT_EQ(Describe(*icons), "1, 2, 3, 4, 5");

    struct Image {
        std::uint16_t id;
        std::size_t imageBytes;
        std::size_t tableBytes;
    };
    for (const Image& image : {Image{1, 744, 752}, Image{2, 176, 176}, Image{3, 1384, 1392}, Image{4, 4264, 4272},
                               Image{5, 296, 304}}) {
        SCOPED_TRACE("icon " + std::to_string(image.id));
        auto bytes = module->FindResource(RT_ICON, Id(image.id));
        ASSERT_TRUE(bytes);
        EXPECT_EQ(bytes->size(), image.tableBytes);
        EXPECT_EQ(ByteReader(*bytes).U32(0), 40u);  // the image's own header comes first
        for (std::size_t i = image.imageBytes; i < bytes->size(); ++i) EXPECT_EQ((*bytes)[i], std::byte{0});
    }
    auto cafe = module->FindResource(RT_GROUP_ICON, Text("CAFÉ"));
    ASSERT_TRUE(cafe);
    ASSERT_EQ(GroupImageCount(*cafe), 3);
    EXPECT_EQ(GroupIconId(*cafe, 0), 4);
    EXPECT_EQ(GroupIconId(*cafe, 2), 2);
}

TEST(ModuleReaderTest, FilesThatAreNotModulesDoNotOpen) {
    test::TempDir dir;
    const Bytes dosProgram = [] {
        Bytes bytes(0x80);
        bytes[0] = std::byte{'M'};
        bytes[1] = std::byte{'Z'};
        PutU32(bytes, 0x3C, 0x40);  // points at nothing that is a PE or NE header
        return bytes;
    }();
    const Bytes linearExecutable = [&dosProgram] {
        Bytes bytes = dosProgram;
        bytes[0x40] = std::byte{'L'};
        bytes[0x41] = std::byte{'E'};
        return bytes;
    }();
    struct Case {
        const char* name;
        Bytes bytes;
        const char* reason;
    };
    const std::vector<Case> cases = {
        {"empty", {}, "not a Windows module"},
        {"text", {std::byte{'h'}, std::byte{'i'}}, "not a Windows module"},
        {"one byte", {std::byte{'M'}}, "not a Windows module"},
        {"MZ only", {std::byte{'M'}, std::byte{'Z'}}, "truncated"},
        {"DOS program", dosProgram, "not a Windows module"},
        {"LE module", linearExecutable, "not a Windows module"},
        {"icon file", test::MakeIconFile({{test::MakeBitmapImage({})}}), "not a Windows module"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        auto fromBytes = ModuleReader::FromBytes(c.bytes);
        ASSERT_FALSE(fromBytes);
        EXPECT_NE(fromBytes.reason().find(c.reason), std::string::npos) << fromBytes.reason();
        test::WriteBytes(dir / "file.dll", c.bytes);
        EXPECT_FALSE(ModuleReader::Open(dir / "file.dll"));
    }
    EXPECT_FALSE(ModuleReader::Open(dir / "absent.dll"));
    EXPECT_FALSE(ModuleReader::Open(dir.path().string()));  // a directory
}

// ---------------------------------------------------------------------------------------------
// Malformed modules, made by patching a fixture. Whatever the damage, the reader answers
// with a failure or with what it can read, never by reading outside the bytes (the buffers
// below are exactly the module's size, so the sanitizer build sees any stray read).

// The places that the patches aim at, found with a few reads of our own.
struct PeLayout {
    std::size_t peHeader = 0;      // "PE\0\0"
    std::size_t optionalHeader = 0;
    std::size_t sectionTable = 0;
    std::size_t resourceSection = 0;  // section header of the section holding the resources
    std::size_t root = 0;             // resource directory root, as a file offset
    std::size_t groupTypeEntry = 0;   // the root's entry for RT_GROUP_ICON
    std::size_t groupNames = 0;       // the directory of icon group names
    std::size_t iconNames = 0;        // the directory of icon names

    std::size_t Entry(std::size_t directory, std::size_t i) const { return directory + 16 + 8 * i; }
};

std::size_t Subdirectory(const Bytes& bytes, const PeLayout& layout, std::size_t entry) {
    return layout.root + (test::ReadU32(bytes, entry + 4) & 0x7FFFFFFF);
}

std::size_t RootEntryOfType(const Bytes& bytes, const PeLayout& layout, std::uint16_t type) {
    const std::size_t count = test::ReadU16(bytes, layout.root + 12) + test::ReadU16(bytes, layout.root + 14);
    for (std::size_t i = 0; i < count; ++i)
        if (test::ReadU32(bytes, layout.Entry(layout.root, i)) == type) return layout.Entry(layout.root, i);
    return 0;
}

PeLayout LocatePe(const Bytes& bytes) {
    PeLayout layout;
    layout.peHeader = test::ReadU32(bytes, 0x3C);
    layout.optionalHeader = layout.peHeader + 24;
    layout.sectionTable = layout.optionalHeader + test::ReadU16(bytes, layout.peHeader + 20);
    const bool plus = test::ReadU16(bytes, layout.optionalHeader) == 0x20B;
    const std::uint32_t resourceRva = test::ReadU32(bytes, layout.optionalHeader + (plus ? 112 : 96) + 16);
    for (std::size_t i = 0; i < test::ReadU16(bytes, layout.peHeader + 6); ++i) {
        const std::size_t header = layout.sectionTable + 40 * i;
        const std::uint32_t address = test::ReadU32(bytes, header + 12);
        if (resourceRva >= address && resourceRva < address + test::ReadU32(bytes, header + 16)) {
            layout.resourceSection = header;
            layout.root = test::ReadU32(bytes, header + 20) + (resourceRva - address);
        }
    }
    layout.groupTypeEntry = RootEntryOfType(bytes, layout, RT_GROUP_ICON);
    layout.groupNames = Subdirectory(bytes, layout, layout.groupTypeEntry);
    layout.iconNames = Subdirectory(bytes, layout, RootEntryOfType(bytes, layout, RT_ICON));
    return layout;
}

// The data entry (RVA, size) of the first name's first language in a name directory.
std::size_t FirstDataEntry(const Bytes& bytes, const PeLayout& layout, std::size_t names) {
    const std::size_t languages = Subdirectory(bytes, layout, layout.Entry(names, 0));
    return layout.root + test::ReadU32(bytes, layout.Entry(languages, 0) + 4);
}

struct NeLayout {
    std::size_t neHeader = 0;
    std::size_t table = 0;
    std::size_t iconType = 0;   // type record of RT_ICON, the first in icons.icl
    std::size_t groupType = 0;  // type record of RT_GROUP_ICON, the second

    std::size_t Name(std::size_t type, std::size_t i) const { return type + 8 + 12 * i; }
};

NeLayout LocateNe(const Bytes& bytes) {
    NeLayout layout;
    layout.neHeader = test::ReadU32(bytes, 0x3C);
    layout.table = layout.neHeader + test::ReadU16(bytes, layout.neHeader + 0x24);
    layout.iconType = layout.table + 2;
    layout.groupType = layout.iconType + 8 + 12 * test::ReadU16(bytes, layout.iconType + 2);
    return layout;
}

// What is left of the module after the damage.
enum class Outcome {
    DoesNotOpen,        // Open refuses the file
    NoGroups,           // it opens; enumerating icon groups fails
    GroupsWithoutData,  // the groups enumerate; the first group's data cannot be had
    Readable,           // the damage is outside what the reader needs, or is read around
};

struct MalformedCase {
    const char* name;
    const char* fixture;
    std::function<void(Bytes&)> damage;
    Outcome outcome;
};

void Truncate(Bytes& bytes, std::size_t size) { bytes.resize(size); }

std::vector<MalformedCase> MalformedCases() {
    const auto pe = [](std::function<void(Bytes&, const PeLayout&)> patch) {
        return [patch](Bytes& bytes) { patch(bytes, LocatePe(bytes)); };
    };
    const auto ne = [](std::function<void(Bytes&, const NeLayout&)> patch) {
        return [patch](Bytes& bytes) { patch(bytes, LocateNe(bytes)); };
    };
    return {
        // Truncated headers.
        {"MZ header cut before e_lfanew", "named.dll", [](Bytes& b) { Truncate(b, 0x3E); }, Outcome::DoesNotOpen},
        {"cut inside the COFF header", "named.dll", pe([](Bytes& b, const PeLayout& l) { Truncate(b, l.peHeader + 12); }), Outcome::DoesNotOpen},
        {"cut inside the optional header", "five.dll", pe([](Bytes& b, const PeLayout& l) { Truncate(b, l.optionalHeader + 100); }), Outcome::DoesNotOpen},
        {"cut inside the section table", "named.dll", pe([](Bytes& b, const PeLayout& l) { Truncate(b, l.sectionTable + 50); }), Outcome::DoesNotOpen},
        {"cut inside the resource root", "named.dll", pe([](Bytes& b, const PeLayout& l) { Truncate(b, l.root + 20); }), Outcome::NoGroups},
        {"cut before the group names", "named.dll", pe([](Bytes& b, const PeLayout& l) { Truncate(b, l.groupNames + 20); }), Outcome::NoGroups},
        {"cut inside the last group's data", "named.dll", [](Bytes& b) { Truncate(b, b.size() - 50); }, Outcome::Readable},
        {"e_lfanew past the end", "named.dll", [](Bytes& b) { PutU32(b, 0x3C, 0xFFFFFFF0); }, Outcome::DoesNotOpen},
        {"no PE signature", "named.dll", pe([](Bytes& b, const PeLayout& l) { b[l.peHeader + 1] = std::byte{'X'}; }), Outcome::DoesNotOpen},
        {"unknown optional header", "named.dll", pe([](Bytes& b, const PeLayout& l) { PutU16(b, l.optionalHeader, 0x107); }), Outcome::DoesNotOpen},
        {"optional header too large", "named.dll", pe([](Bytes& b, const PeLayout& l) { PutU16(b, l.peHeader + 20, 0xFFFF); }), Outcome::DoesNotOpen},
        {"65535 sections", "named.dll", pe([](Bytes& b, const PeLayout& l) { PutU16(b, l.peHeader + 6, 0xFFFF); }), Outcome::DoesNotOpen},
        {"no sections", "named.dll", pe([](Bytes& b, const PeLayout& l) { PutU16(b, l.peHeader + 6, 0); }), Outcome::NoGroups},
        // The resource directory placed outside the file.
        {"resource directory address past the image", "five.dll",
         pe([](Bytes& b, const PeLayout& l) { PutU32(b, l.optionalHeader + 112 + 16, 0x7FFFFFF0); }), Outcome::NoGroups},
        {"resource section data past the end", "named.dll",
         pe([](Bytes& b, const PeLayout& l) { PutU32(b, l.resourceSection + 20, 0x10000000); }), Outcome::NoGroups},
        {"resource section larger than the file", "named.dll",
         pe([](Bytes& b, const PeLayout& l) { PutU32(b, l.resourceSection + 16, 0x7FFFFFFF); }), Outcome::Readable},
        // Loops.
        {"type entry pointing at the root", "named.dll",
         pe([](Bytes& b, const PeLayout& l) { PutU32(b, l.groupTypeEntry + 4, 0x80000000); }), Outcome::NoGroups},
        {"name entry pointing at its own directory", "named.dll",
         pe([](Bytes& b, const PeLayout& l) {
             PutU32(b, l.Entry(l.groupNames, 0) + 4, 0x80000000 | static_cast<std::uint32_t>(l.groupNames - l.root));
         }),
         Outcome::GroupsWithoutData},
        {"name entry pointing at the root", "named.dll",
         pe([](Bytes& b, const PeLayout& l) { PutU32(b, l.Entry(l.groupNames, 0) + 4, 0x80000000); }), Outcome::GroupsWithoutData},
        {"name entry pointing at a data entry", "named.dll",
         pe([](Bytes& b, const PeLayout& l) {
             PutU32(b, l.Entry(l.groupNames, 0) + 4, static_cast<std::uint32_t>(FirstDataEntry(b, l, l.groupNames) - l.root));
         }),
         Outcome::GroupsWithoutData},
        {"type entry pointing at a data entry", "named.dll",
         pe([](Bytes& b, const PeLayout& l) { PutU32(b, l.groupTypeEntry + 4, 0x10); }), Outcome::NoGroups},
        // Counts that cannot fit.
        {"65535 + 65535 group names in a small file", "named.dll",
         pe([](Bytes& b, const PeLayout& l) {
             PutU16(b, l.groupNames + 12, 0xFFFF);
             PutU16(b, l.groupNames + 14, 0xFFFF);
         }),
         Outcome::NoGroups},
        {"65535 group names", "five.dll", pe([](Bytes& b, const PeLayout& l) { PutU16(b, l.groupNames + 14, 0xFFFF); }), Outcome::NoGroups},
        {"65535 types", "named.dll", pe([](Bytes& b, const PeLayout& l) { PutU16(b, l.root + 14, 0xFFFF); }), Outcome::NoGroups},
        // Offsets past the section or the file.
        {"text name past the section", "named.dll",
         pe([](Bytes& b, const PeLayout& l) { PutU32(b, l.Entry(l.groupNames, 0), 0xFFFFFFF0); }), Outcome::NoGroups},
        {"text name longer than the section", "named.dll",
         pe([](Bytes& b, const PeLayout& l) {
             PutU16(b, l.root + (test::ReadU32(b, l.Entry(l.groupNames, 0)) & 0x7FFFFFFF), 0xFFFF);
         }),
         Outcome::NoGroups},
        {"group names past the section", "named.dll",
         pe([](Bytes& b, const PeLayout& l) { PutU32(b, l.groupTypeEntry + 4, 0xFFFFFFF0); }), Outcome::NoGroups},
        {"language directory past the section", "named.dll",
         pe([](Bytes& b, const PeLayout& l) { PutU32(b, l.Entry(l.groupNames, 0) + 4, 0xFFFFFFF0); }), Outcome::GroupsWithoutData},
        {"data entry past the section", "named.dll",
         pe([](Bytes& b, const PeLayout& l) {
             const std::size_t languages = Subdirectory(b, l, l.Entry(l.groupNames, 0));
             PutU32(b, l.Entry(languages, 0) + 4, 0x7FFFFFF0);
         }),
         Outcome::GroupsWithoutData},
        {"no language entries", "named.dll",
         pe([](Bytes& b, const PeLayout& l) { PutU16(b, Subdirectory(b, l, l.Entry(l.groupNames, 0)) + 14, 0); }),
         Outcome::GroupsWithoutData},
        {"data address outside every section", "named.dll",
         pe([](Bytes& b, const PeLayout& l) { PutU32(b, FirstDataEntry(b, l, l.groupNames), 0xFFFFFF00); }), Outcome::GroupsWithoutData},
        {"data size of 4 GiB", "named.dll",
         pe([](Bytes& b, const PeLayout& l) { PutU32(b, FirstDataEntry(b, l, l.groupNames) + 4, 0xFFFFFFFF); }), Outcome::GroupsWithoutData},
        {"data address in memory only", "named.dll",
         pe([](Bytes& b, const PeLayout& l) {
             PutU32(b, l.resourceSection + 8, 0x100000);  // virtual size far beyond the file data
             const std::uint32_t address = test::ReadU32(b, l.resourceSection + 12);
             PutU32(b, FirstDataEntry(b, l, l.groupNames), address + 0x80000);
         }),
         Outcome::GroupsWithoutData},
        // NE.
        {"NE header cut", "icons.icl", ne([](Bytes& b, const NeLayout& l) { Truncate(b, l.neHeader + 30); }), Outcome::DoesNotOpen},
        {"NE resource table past the end", "icons.icl",
         ne([](Bytes& b, const NeLayout& l) { PutU16(b, l.neHeader + 0x24, 0xFFF0); }), Outcome::NoGroups},
        {"NE table cut inside the type records", "icons.icl",
         ne([](Bytes& b, const NeLayout& l) { Truncate(b, l.groupType + 4); }), Outcome::NoGroups},
        {"NE table without end record", "icons.icl",
         ne([](Bytes& b, const NeLayout& l) { Truncate(b, l.groupType); }), Outcome::NoGroups},
        {"NE 65535 icons in a small file", "icons.icl",
         ne([](Bytes& b, const NeLayout& l) { PutU16(b, l.iconType + 2, 0xFFFF); }), Outcome::NoGroups},
        {"NE 65535 groups in a small file", "icons.icl",
         ne([](Bytes& b, const NeLayout& l) { PutU16(b, l.groupType + 2, 0xFFFF); }), Outcome::NoGroups},
        {"NE alignment shift out of range", "icons.icl",
         ne([](Bytes& b, const NeLayout& l) { PutU16(b, l.table, 40); }), Outcome::NoGroups},
        {"NE alignment shift addressing past the file", "icons.icl",
         ne([](Bytes& b, const NeLayout& l) { PutU16(b, l.table, 31); }), Outcome::GroupsWithoutData},
        {"NE text name past the end", "icons.icl",
         ne([](Bytes& b, const NeLayout& l) { PutU16(b, l.Name(l.groupType, 0) + 6, 0x7FF0); }), Outcome::NoGroups},
        {"NE resource past the end", "icons.icl",
         ne([](Bytes& b, const NeLayout& l) { PutU16(b, l.Name(l.groupType, 0), 0xFFFF); }), Outcome::GroupsWithoutData},
        {"NE resource longer than the file", "icons.icl",
         ne([](Bytes& b, const NeLayout& l) { PutU16(b, l.Name(l.groupType, 0) + 2, 0xFFFF); }), Outcome::GroupsWithoutData},
        {"NE no resource table", "icons.icl",
         ne([](Bytes& b, const NeLayout& l) { PutU16(b, l.neHeader + 0x24, test::ReadU16(b, l.neHeader + 0x26)); }), Outcome::NoGroups},
    };
}

// Every operation once, on every name and then some, to give a stray read its chance.
void ReadEverything(const ModuleReader& module) {
    for (std::uint16_t type : {RT_GROUP_ICON, RT_ICON, std::uint16_t{10}}) {
        auto names = module.EnumerateNames(type);
        if (names)
            for (const auto& name : *names) (void)module.FindResource(type, name);
        for (std::uint16_t id = 0; id < 16; ++id) (void)module.FindResource(type, Id(id));
        (void)module.FindResource(type, Text("MAINICON"));
        (void)module.FindResource(type, Text("ZETA"));
    }
}

TEST(ModuleReaderTest, MalformedModulesFailCleanly) {
    for (const auto& c : MalformedCases()) {
        SCOPED_TRACE(c.name);
        Bytes bytes = test::ReadBytes(Fixture(c.fixture));
        c.damage(bytes);
        // A buffer of exactly the damaged module's size, so that a read past it is caught.
        const std::vector<std::byte> exact(bytes.begin(), bytes.end());
        auto module = ModuleReader::FromBytes(exact);
        if (c.outcome == Outcome::DoesNotOpen) {
            EXPECT_FALSE(module);
            continue;
        }
        ASSERT_TRUE(module) << module.reason();
        ReadEverything(*module);
        auto groups = module->EnumerateNames(RT_GROUP_ICON);
        if (c.outcome == Outcome::NoGroups) {
            EXPECT_FALSE(groups) << Describe(*groups);
            if (!groups) {
                EXPECT_FALSE(groups.reason().empty());
            }
            continue;
        }
        ASSERT_TRUE(groups) << groups.reason();
        ASSERT_FALSE(groups->empty());
        EXPECT_EQ(module->FindResource(RT_GROUP_ICON, groups->front()).has_value(), c.outcome == Outcome::Readable);
    }
}

// Windows walks the directory as stored and does not re-sort it; a lookup must still find
// every name when the stored order is not the ascending one.
TEST(ModuleReaderTest, UnsortedDirectoryKeepsItsOrderAndFindsEveryName) {
    Bytes bytes = test::ReadBytes(Fixture("named.dll"));
    const PeLayout layout = LocatePe(bytes);
    // Swap icon names 1 and 5 (the first and the last entry) with what they lead to.
    const std::size_t first = layout.Entry(layout.iconNames, 0);
    const std::size_t last = layout.Entry(layout.iconNames, 4);
    for (std::size_t i = 0; i < 8; ++i) std::swap(bytes[first + i], bytes[last + i]);

    auto module = ModuleReader::FromBytes(bytes);
    ASSERT_TRUE(module);
    auto icons = module->EnumerateNames(RT_ICON);
    ASSERT_TRUE(icons);
    EXPECT_EQ(Describe(*icons), "5, 2, 3, 4, 1");
    const std::vector<std::size_t> sizes = {744, 1384, 4264, 296, 176};  // icons 1 … 5
    for (std::uint16_t id = 1; id <= 5; ++id) {
        auto icon = module->FindResource(RT_ICON, Id(id));
        ASSERT_TRUE(icon) << "icon " << id;
        EXPECT_EQ(icon->size(), sizes[id - 1]) << "icon " << id;
    }
    EXPECT_FALSE(module->FindResource(RT_ICON, Id(6)));
}

}  // namespace
}  // namespace nobrelt
