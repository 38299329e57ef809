// Cross-checks the module reader against icoutils' wrestool, an independent reader, on
// every module fixture: the same icon groups in the same order, the same bytes for every
// icon and group resource, and the same images in every group. Where wrestool follows a
// different rule, the test says so and checks that the difference is exactly that rule.
#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "engine/module_reader.h"
#include "test_support.h"

namespace nobrelt {
namespace {

using test::Bytes;

std::string Fixture(const std::string& name) { return std::string(NOBRELT_FIXTURES_DIR) + "/" + name; }

const std::vector<std::string> kModules = {"named.dll", "five.dll",    "missing-icon.dll", "empty-group.dll", "lang.dll",
                                           "png.dll",   "noicons.dll", "unicode.exe",      "icons.icl"};

std::optional<std::string> FindProgram(const std::string& name) {
    const char* path = std::getenv("PATH");
    std::stringstream directories(path ? path : "");
    for (std::string directory; std::getline(directories, directory, ':');) {
        const std::string candidate = directory + "/" + name;
        if (!directory.empty() && ::access(candidate.c_str(), X_OK) == 0) return candidate;
    }
    return std::nullopt;
}

// Runs a program with these arguments (no shell) and returns what it wrote to stdout.
Bytes RunProgram(const std::vector<std::string>& arguments) {
    int pipeEnds[2];
    if (::pipe(pipeEnds) != 0) return {};
    const pid_t child = ::fork();
    if (child == 0) {
        ::dup2(pipeEnds[1], STDOUT_FILENO);
        const int null = ::open("/dev/null", O_WRONLY);
        ::dup2(null, STDERR_FILENO);
        ::close(pipeEnds[0]);
        std::vector<char*> argv;
        for (const auto& argument : arguments) argv.push_back(const_cast<char*>(argument.c_str()));
        argv.push_back(nullptr);
        ::execv(argv[0], argv.data());
        ::_exit(127);
    }
    ::close(pipeEnds[1]);
    Bytes output;
    std::byte buffer[4096];
    for (ssize_t got; (got = ::read(pipeEnds[0], buffer, sizeof buffer)) > 0;) output.insert(output.end(), buffer, buffer + got);
    ::close(pipeEnds[0]);
    int status = 0;
    ::waitpid(child, &status, 0);
    return output;
}

// How wrestool shows a text name: the low byte of each UTF-16 code unit, up to the first zero
// byte. Our names are UTF-8, so they are taken back to UTF-16 first.
std::string WrestoolText(const std::string& utf8) {
    std::vector<char32_t> codePoints;
    for (std::size_t i = 0; i < utf8.size();) {
        const auto lead = static_cast<unsigned char>(utf8[i]);
        const std::size_t length = lead < 0x80 ? 1 : lead < 0xE0 ? 2 : lead < 0xF0 ? 3 : 4;
        char32_t codePoint = length == 1 ? lead : lead & (0x3F >> (length - 1));
        for (std::size_t k = 1; k < length && i + k < utf8.size(); ++k)
            codePoint = (codePoint << 6) | (static_cast<unsigned char>(utf8[i + k]) & 0x3F);
        codePoints.push_back(codePoint);
        i += length;
    }
    std::string shown;
    for (char32_t codePoint : codePoints) {
        std::vector<char32_t> units{codePoint};
        if (codePoint >= 0x10000) units = {0xD800 + ((codePoint - 0x10000) >> 10), 0xDC00 + ((codePoint - 0x10000) & 0x3FF)};
        for (char32_t unit : units) {
            if ((unit & 0xFF) == 0) return shown;
            shown.push_back(static_cast<char>(unit & 0xFF));
        }
    }
    return shown;
}

std::string WrestoolName(const ResourceName& name) {
    if (const auto* id = std::get_if<std::uint16_t>(&name)) return std::to_string(*id);
    return "'" + WrestoolText(std::get<std::string>(name)) + "'";
}

// One line of `wrestool -l`: --type=14 --name='MAINICON' --language=1033 [...]
struct Listed {
    std::string type;  // as shown: 14, or 'CUSTOM'
    std::string name;  // as shown: 7, or 'MAINICON'
    std::optional<std::string> language;  // NE modules have none
};

std::string FieldAfter(const std::string& line, const std::string& key) {
    const std::size_t start = line.find(key);
    if (start == std::string::npos) return {};
    const std::size_t from = start + key.size();
    if (line[from] == '\'') return line.substr(from, line.find("' ", from + 1) + 1 - from);
    return line.substr(from, line.find(' ', from) - from);
}

std::vector<Listed> List(const std::string& wrestool, const std::string& module) {
    const Bytes output = RunProgram({wrestool, "-l", module});
    std::stringstream lines(std::string(reinterpret_cast<const char*>(output.data()), output.size()));
    std::vector<Listed> listed;
    for (std::string line; std::getline(lines, line);) {
        Listed entry{FieldAfter(line, "--type="), FieldAfter(line, "--name="), std::nullopt};
        if (line.find("--language=") != std::string::npos) entry.language = FieldAfter(line, "--language=");
        listed.push_back(entry);
    }
    return listed;
}

// The distinct names of one type in listing order, each with the first language listed.
std::vector<Listed> NamesOfType(const std::vector<Listed>& listed, std::uint16_t type) {
    std::vector<Listed> names;
    for (const auto& entry : listed) {
        if (entry.type != std::to_string(type)) continue;
        bool seen = false;
        for (const auto& name : names) seen = seen || name.name == entry.name;
        if (!seen) names.push_back(entry);
    }
    return names;
}

class WrestoolCrossCheck : public ::testing::Test {
protected:
    void SetUp() override {
        auto found = FindProgram("wrestool");
        if (!found) GTEST_SKIP() << "wrestool (Debian icoutils) is not installed";
        wrestool_ = *found;
    }

    // wrestool's raw bytes of a resource; the name as wrestool shows it.
    Bytes Extract(const std::string& module, std::uint16_t type, const Listed& name, bool raw = true) const {
        std::vector<std::string> arguments = {wrestool_, "-x", "-t", std::to_string(type)};
        if (raw) arguments.push_back("--raw");
        const bool text = name.name.front() == '\'';
        arguments.push_back("--name=" + (text ? "+" + name.name.substr(1, name.name.size() - 2) : name.name));
        if (name.language) arguments.push_back("--language=" + *name.language);
        arguments.push_back(module);
        return RunProgram(arguments);
    }

    std::string wrestool_;
};

TEST_F(WrestoolCrossCheck, SameGroupsInTheSameOrder) {
    for (const auto& file : kModules) {
        SCOPED_TRACE(file);
        auto module = ModuleReader::Open(Fixture(file));
        ASSERT_TRUE(module);
        for (std::uint16_t type : {RT_GROUP_ICON, RT_ICON}) {
            std::vector<std::string> theirs;
            for (const auto& name : NamesOfType(List(wrestool_, Fixture(file)), type)) theirs.push_back(name.name);
            std::vector<std::string> ours;
            auto names = module->EnumerateNames(type);
            if (names)
                for (const auto& name : *names) ours.push_back(WrestoolName(name));
            EXPECT_EQ(ours, theirs) << "type " << type;
        }
    }
}

// Every icon and icon group resource, in the first language stored, byte for byte. For NE
// modules both give the resource as the table sizes it, alignment padding included.
TEST_F(WrestoolCrossCheck, SameResourceBytes) {
    for (const auto& file : kModules) {
        SCOPED_TRACE(file);
        auto module = ModuleReader::Open(Fixture(file));
        ASSERT_TRUE(module);
        const auto listed = List(wrestool_, Fixture(file));
        for (std::uint16_t type : {RT_GROUP_ICON, RT_ICON}) {
            auto names = module->EnumerateNames(type);
            if (!names) continue;
            const auto theirs = NamesOfType(listed, type);
            ASSERT_EQ(theirs.size(), names->size());
            for (std::size_t i = 0; i < names->size(); ++i) {
                SCOPED_TRACE("type " + std::to_string(type) + " name " + theirs[i].name);
                auto ours = module->FindResource(type, (*names)[i]);
                ASSERT_TRUE(ours);
                EXPECT_EQ(Bytes(ours->begin(), ours->end()), Extract(Fixture(file), type, theirs[i]));
            }
        }
    }
}

struct IconFileImage {
    std::uint32_t size;
    Bytes bytes;  // the size the entry claims, or what the file holds of it
};

std::vector<IconFileImage> ImagesOfIconFile(const Bytes& file) {
    std::vector<IconFileImage> images;
    if (file.size() < 6) return images;
    for (std::size_t i = 0; i < test::ReadU16(file, 4) && 6 + 16 * (i + 1) <= file.size(); ++i) {
        const std::uint32_t size = test::ReadU32(file, 6 + 16 * i + 8);
        const std::uint32_t offset = test::ReadU32(file, 6 + 16 * i + 12);
        const std::size_t end = std::min<std::size_t>(file.size(), std::size_t{offset} + size);
        images.push_back({size, offset < end ? Bytes(file.begin() + offset, file.begin() + end) : Bytes{}});
    }
    return images;
}

// Each group as wrestool turns it into an icon file, against the images our lookups give.
// Two rules differ, and ours hold:
//  - wrestool takes an icon image in the group's own language; we take the first language
//    stored, whatever the group's language (lang.dll: the German group 2 names icon 3, which
//    is stored as neutral first and German second).
//  - wrestool cuts an NE image to the size the group entry claims; we keep the resource's
//    own size, padding included, as the table gives it.
// A group that names an icon the module lacks gives nothing in either reader.
TEST_F(WrestoolCrossCheck, SameImagesInEveryGroupWhereTheRulesAgree) {
    int languageDifferences = 0;
    int trimmedNeImages = 0;
    for (const auto& file : kModules) {
        SCOPED_TRACE(file);
        auto module = ModuleReader::Open(Fixture(file));
        ASSERT_TRUE(module);
        auto names = module->EnumerateNames(RT_GROUP_ICON);
        if (!names) continue;
        const auto listed = List(wrestool_, Fixture(file));
        const auto theirs = NamesOfType(listed, RT_GROUP_ICON);
        ASSERT_EQ(theirs.size(), names->size());

        for (std::size_t g = 0; g < names->size(); ++g) {
            SCOPED_TRACE("group " + theirs[g].name);
            auto group = module->FindResource(RT_GROUP_ICON, (*names)[g]);
            ASSERT_TRUE(group);
            const Bytes groupBytes(group->begin(), group->end());
            const std::uint16_t count = test::ReadU16(groupBytes, 4);
            const Bytes iconFile = Extract(Fixture(file), RT_GROUP_ICON, theirs[g], /*raw=*/false);

            std::vector<Bytes> ours;
            bool complete = true;
            for (std::size_t i = 0; i < count; ++i) {
                auto image = module->FindResource(RT_ICON, ResourceName{test::ReadU16(groupBytes, 6 + 14 * i + 12)});
                if (!image) complete = false;
                if (image) ours.emplace_back(image->begin(), image->end());
            }
            if (!complete) {
                EXPECT_TRUE(iconFile.empty()) << "wrestool made an icon file of a group with a missing icon";
                continue;
            }
            ASSERT_GE(iconFile.size(), 6u);
            ASSERT_EQ(test::ReadU16(iconFile, 4), count);
            if (count == 0) continue;  // wrestool adds stray bytes behind an empty header; nothing to compare

            const auto images = ImagesOfIconFile(iconFile);
            ASSERT_EQ(images.size(), count);
            for (std::size_t i = 0; i < count; ++i) {
                SCOPED_TRACE("image " + std::to_string(i + 1));
                const std::uint16_t iconId = test::ReadU16(groupBytes, 6 + 14 * i + 12);
                const std::uint32_t claimed = test::ReadU32(groupBytes, 6 + 14 * i + 8);
                if (module->format() == ModuleFormat::Ne) {
                    // Cut to the claimed size; ours runs on through the padding to the next unit.
                    EXPECT_EQ(images[i].size, claimed);
                    ASSERT_GE(ours[i].size(), claimed);
                    EXPECT_LT(ours[i].size() - claimed, 16u);
                    EXPECT_EQ(images[i].bytes, Bytes(ours[i].begin(), ours[i].begin() + claimed));
                    if (ours[i].size() != claimed) ++trimmedNeImages;
                    continue;
                }
                Listed inGroupLanguage{std::to_string(RT_ICON), std::to_string(iconId), theirs[g].language};
                const Bytes wrestoolsChoice = Extract(Fixture(file), RT_ICON, inGroupLanguage);
                if (!wrestoolsChoice.empty() && wrestoolsChoice != ours[i]) {
                    // The icon exists in the group's language too, and that is not the first stored.
                    ++languageDifferences;
                    const std::size_t shown = std::min<std::size_t>(images[i].bytes.size(), wrestoolsChoice.size());
                    EXPECT_EQ(images[i].bytes, Bytes(wrestoolsChoice.begin(), wrestoolsChoice.begin() + shown));
                    continue;
                }
                EXPECT_EQ(images[i].size, ours[i].size());
                EXPECT_EQ(images[i].bytes, ours[i]);
            }
        }
    }
    // The fixtures show each difference: lang.dll's group 2, and the NE images whose length
    // is not a whole number of alignment units.
    EXPECT_EQ(languageDifferences, 1);
    EXPECT_GT(trimmedNeImages, 0);
}

}  // namespace
}  // namespace nobrelt
