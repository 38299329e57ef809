// Icon sources opened once: group names in order, groups loaded on demand, and reasons that
// say what went wrong.
#include <gtest/gtest.h>

#include "engine/icon_group_loader.h"
#include "engine/icon_source.h"
#include "module_expectations.h"
#include "test_support.h"

namespace nobrelt {
namespace {

using test::Bytes;
using test::MakeBitmapImage;
using test::MakeIconFile;
using test::TempDir;
using test::WriteBytes;

std::string Fixture(const std::string& name) { return std::string(NOBRELT_FIXTURES_DIR) + "/" + name; }

TEST(IconSource, ModuleGroupsInEnumerationOrder) {
    const std::string path = Fixture("named.dll");
    auto source = IconSource::Open(path);
    ASSERT_TRUE(source) << source.reason();
    EXPECT_EQ(source->kind(), SourceKind::Module);
    ASSERT_EQ(source->groupCount(), 3u);
    EXPECT_EQ(source->groupName(1), ResourceName{std::string("MAINICON")});
    EXPECT_EQ(source->groupName(2), ResourceName{std::uint16_t{1}});
    EXPECT_EQ(source->groupName(3), ResourceName{std::uint16_t{7}});
    EXPECT_FALSE(source->groupName(0));
    EXPECT_FALSE(source->groupName(4));

    for (std::size_t n = 1; n <= 3; ++n) {
        SCOPED_TRACE(n);
        auto set = source->LoadGroup(n);
        ASSERT_TRUE(set) << set.reason();
        EXPECT_EQ(set->moduleFileName, path);
        EXPECT_TRUE(set->iconFileName.empty());
        auto expected = test::GroupImages(path, n);
        ASSERT_TRUE(expected);
        ASSERT_EQ(set->images.size(), expected->size());
        for (std::size_t i = 0; i < expected->size(); ++i) EXPECT_EQ(set->images[i].bytes, (*expected)[i]);
    }
    EXPECT_FALSE(source->LoadGroup(4));
}

TEST(IconSource, AnIconFileIsOneGroupNamedByItsFile) {
    TempDir dir;
    WriteBytes(dir / "app.ico", MakeIconFile({{MakeBitmapImage({})}}));
    auto source = IconSource::Open(dir / "app.ico");
    ASSERT_TRUE(source) << source.reason();
    EXPECT_EQ(source->kind(), SourceKind::IconFile);
    EXPECT_EQ(source->groupCount(), 1u);
    EXPECT_EQ(source->groupName(1), ResourceName{std::string("app.ico")});
    auto set = source->LoadGroup(1);
    ASSERT_TRUE(set);
    EXPECT_EQ(set->images.size(), 1u);
    EXPECT_EQ(set->iconFileName, dir / "app.ico");
    EXPECT_FALSE(source->LoadGroup(2));
}

// What nobrelt-cli shows: each reason names the problem.
TEST(IconSource, ReasonsSayWhatWentWrong) {
    TempDir dir;
    WriteBytes(dir / "text.dll", Bytes(300, std::byte{'x'}));
    WriteBytes(dir / "cursor.ico", Bytes{std::byte{0}, std::byte{0}, std::byte{2}, std::byte{0}, std::byte{0}, std::byte{0}});
    struct Case {
        std::string path;
        const char* reason;
    };
    const Case openCases[] = {
        {dir / "a.ocx", "not an icon source"},
        {dir / "text.dll", "not a Windows module"},
        {Fixture("noicons.dll"), "no readable icon groups"},
        {dir / "missing.ico", "cannot open"},
        {dir / "cursor.ico", "not an icon file"},
    };
    for (const Case& c : openCases) {
        auto source = IconSource::Open(c.path);
        ASSERT_FALSE(source) << c.path;
        EXPECT_NE(source.reason().find(c.reason), std::string::npos) << source.reason();
        EXPECT_NE(source.reason().find(c.path), std::string::npos) << source.reason();
    }

    auto source = IconSource::Open(Fixture("missing-icon.dll"));
    ASSERT_TRUE(source);
    auto missing = source->LoadGroup(2);
    ASSERT_FALSE(missing);
    EXPECT_NE(missing.reason().find("group 2 (#2) names icon 99, which the module lacks"), std::string::npos)
        << missing.reason();
    auto above = source->LoadGroup(3);
    ASSERT_FALSE(above);
    EXPECT_NE(above.reason().find("no group 3, the source holds 2"), std::string::npos) << above.reason();
}

TEST(LoadIconGroup, OpensTheModuleByItselfAndFindsTheGroupByName) {
    const std::string path = Fixture("unicode.exe");
    auto set = LoadIconGroup(path, ResourceName{std::string("ÜBER")});
    ASSERT_TRUE(set);
    EXPECT_EQ(set->images.size(), 2u);
    EXPECT_EQ(set->moduleFileName, path);
    EXPECT_FALSE(LoadIconGroup(path, std::nullopt));
    EXPECT_FALSE(LoadIconGroup(path, ResourceName{std::string("UBER")}));
    EXPECT_FALSE(LoadIconGroup(Fixture("missing-icon.dll"), ResourceName{std::uint16_t{2}}));
    EXPECT_FALSE(LoadIconGroup(Fixture("nothing-here.dll"), ResourceName{std::uint16_t{1}}));
    EXPECT_TRUE(LoadIconGroup(Fixture("empty-group.dll"), ResourceName{std::uint16_t{1}}));
}

// A group resource must hold the entries it claims: its count is never read past its end.
TEST(LoadModuleGroup, RefusesAGroupThatClaimsMoreEntriesThanItHolds) {
    const Bytes module = test::ReadBytes(Fixture("empty-group.dll"));
    auto reader = ModuleReader::FromBytes(module);
    ASSERT_TRUE(reader);
    auto group = reader->FindResource(RT_GROUP_ICON, ResourceName{std::uint16_t{1}});
    ASSERT_TRUE(group);
    ASSERT_EQ(group->size(), 6u);
    // The 6-byte group says 0 images; the same module with a count of 3 in it.
    Bytes patched = module;
    const auto at = static_cast<std::size_t>(group->data() - module.data());
    PutU16(patched, at + 4, 3);
    auto patchedReader = ModuleReader::FromBytes(patched);
    ASSERT_TRUE(patchedReader);
    auto set = LoadModuleGroup(*patchedReader, ResourceName{std::uint16_t{1}});
    ASSERT_FALSE(set);
    EXPECT_NE(set.reason().find("claims 3 images but holds entries for 0"), std::string::npos) << set.reason();
}

}  // namespace
}  // namespace nobrelt
