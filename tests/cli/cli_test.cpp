// Runs the built nobrelt-cli and checks what it writes, prints and returns.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <spawn.h>
#include <sys/file.h>
#include <sys/wait.h>
#include <unistd.h>

#include <nlohmann/json.hpp>

#include "engine/extract_command.h"
#include "engine/icon_file.h"
#include "test_support.h"

extern char** environ;

namespace nobrelt {
namespace {

using test::ReadBytes;
using test::TempDir;

const std::string kFixtures = NOBRELT_FIXTURES_DIR;

struct CliRun {
    int status = -1;
    std::string out;
    std::string err;
};

std::string ReadText(const std::string& path) {
    auto bytes = ReadBytes(path);
    return std::string(reinterpret_cast<const char*>(bytes.data()), bytes.size());
}

CliRun RunCli(const std::vector<std::string>& arguments, const std::string& workingDirectory = ".") {
    TempDir capture;
    const std::string outPath = capture / "out", errPath = capture / "err";
    std::vector<std::string> argv = {NOBRELT_CLI};
    argv.insert(argv.end(), arguments.begin(), arguments.end());
    std::vector<char*> pointers;
    for (auto& argument : argv) pointers.push_back(argument.data());
    pointers.push_back(nullptr);

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, outPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    posix_spawn_file_actions_addopen(&actions, 2, errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    posix_spawn_file_actions_addchdir_np(&actions, workingDirectory.c_str());
    pid_t pid = 0;
    CliRun run;
    if (posix_spawn(&pid, NOBRELT_CLI, &actions, nullptr, pointers.data(), environ) == 0) {
        int wait = 0;
        ::waitpid(pid, &wait, 0);
        run.status = WIFEXITED(wait) ? WEXITSTATUS(wait) : 128 + WTERMSIG(wait);
    }
    posix_spawn_file_actions_destroy(&actions);
    run.out = ReadText(outPath);
    run.err = ReadText(errPath);
    return run;
}

std::vector<std::string> FilesIn(const std::string& directory) {
    std::vector<std::string> names;
    if (!std::filesystem::exists(directory)) return names;
    for (auto& entry : std::filesystem::recursive_directory_iterator(directory))
        names.push_back(std::filesystem::relative(entry.path(), directory).string());
    std::sort(names.begin(), names.end());
    return names;
}

const std::vector<std::pair<std::string, int>> kModules = {
    {"named.dll", 3}, {"five.dll", 5}, {"lang.dll", 3}, {"png.dll", 1}, {"unicode.exe", 3}, {"icons.icl", 4},
    {"empty-group.dll", 1},
};

TEST(Cli, ExtractWritesEveryGroupAsTheCommandDoes) {
    for (const auto& [module, groups] : kModules) {
        TempDir dir;
        const std::string source = kFixtures + "/" + module;
        CliRun run = RunCli({"extract", source, "-o", dir / "out"});
        EXPECT_EQ(run.status, 0) << module << run.err;
        EXPECT_EQ(run.out, "wrote " + std::to_string(groups) + " icon file" + (groups == 1 ? "" : "s") + " to " + (dir / "out") + "\n");
        std::vector<std::string> expected;
        for (int n = 1; n <= groups; ++n) expected.push_back(std::to_string(n) + ".ico");
        std::sort(expected.begin(), expected.end());
        EXPECT_EQ(FilesIn(dir / "out"), expected) << module;
        for (int n = 1; n <= groups; ++n) {
            const std::string reference = dir / ("reference" + std::to_string(n) + ".ico");
            ASSERT_EQ(ExtractIconGroup(source, 0, reference, n), groups) << module;
            EXPECT_EQ(ReadBytes(dir / ("out/" + std::to_string(n) + ".ico")), ReadBytes(reference)) << module << " group " << n;
        }
    }
}

TEST(Cli, ListJsonAgreesWithTheExtractedFiles) {
    for (const auto& [module, groups] : kModules) {
        TempDir dir;
        const std::string source = kFixtures + "/" + module;
        CliRun list = RunCli({"list", "--json", source});
        ASSERT_EQ(list.status, 0) << module << list.err;
        auto json = nlohmann::json::parse(list.out);
        ASSERT_EQ(json.size(), static_cast<std::size_t>(groups)) << module;
        ASSERT_EQ(RunCli({"extract", source, "-q", "-o", dir.path().string()}).status, 0);
        for (int n = 1; n <= groups; ++n) {
            const auto& group = json[n - 1];
            EXPECT_EQ(group["group"], n);
            auto set = ReadIconFile(dir / (std::to_string(n) + ".ico"));
            ASSERT_TRUE(set) << module << " " << n;
            ASSERT_EQ(group["images"].size(), set->images.size()) << module << " " << n;
            for (std::size_t i = 0; i < set->images.size(); ++i) {
                const auto& image = group["images"][i];
                EXPECT_EQ(image["width"], set->images[i].width);
                EXPECT_EQ(image["height"], set->images[i].height);
                EXPECT_EQ(image["bitDepth"], set->images[i].bitDepth);
                EXPECT_EQ(image["png"], set->images[i].isPng());
                EXPECT_EQ(image["bytes"], set->images[i].byteCount());
            }
        }
    }
}

TEST(Cli, ListNamesGroupsAndImages) {
    CliRun named = RunCli({"list", kFixtures + "/named.dll"});
    EXPECT_EQ(named.status, 0);
    EXPECT_EQ(named.out,
              "1\tMAINICON\t32x32 4-bit, 16x16 8-bit\n"
              "2\t#1\t16x16 1-bit\n"
              "3\t#7\t32x32 32-bit, 16x16 4-bit\n");
    CliRun png = RunCli({"list", kFixtures + "/png.dll"});
    EXPECT_EQ(png.out, "1\t#1\t256x256 PNG, 32x32 32-bit\n");
    auto json = nlohmann::json::parse(RunCli({"list", "--json", kFixtures + "/named.dll"}).out);
    EXPECT_EQ(json[0]["name"], "MAINICON");
    EXPECT_EQ(json[2]["name"], 7);
}

TEST(Cli, ChosenGroupsSeveralSourcesAndBitmaps) {
    TempDir dir;
    CliRun one = RunCli({"extract", kFixtures + "/five.dll", "-g", "3", "-o", dir / "one"});
    EXPECT_EQ(one.status, 0) << one.err;
    EXPECT_EQ(FilesIn(dir / "one"), std::vector<std::string>{"3.ico"});
    std::filesystem::copy_file(kFixtures + "/named.dll", dir / "-named.dll");
    CliRun inlineForms = RunCli({"extract", "-g2", "--output-dir=" + (dir / "inline"), "--", "-named.dll"}, dir.path().string());
    EXPECT_EQ(inlineForms.status, 0) << inlineForms.err;
    EXPECT_EQ(FilesIn(dir / "inline"), std::vector<std::string>{"2.ico"});

    CliRun several = RunCli({"extract", kFixtures + "/five.dll", kFixtures + "/named.dll", "--group=1", "-o", dir / "many"});
    EXPECT_EQ(several.status, 0) << several.err;
    EXPECT_EQ(FilesIn(dir / "many"), (std::vector<std::string>{"five.dll", "five.dll/1.ico", "named.dll", "named.dll/1.ico"}));
    EXPECT_TRUE(several.err.empty()) << "no progress into a pipe: " << several.err;

    CliRun bitmaps = RunCli({"extract", kFixtures + "/png.dll", "--bmp", "-o", dir / "bmp"});
    EXPECT_EQ(bitmaps.status, 0) << bitmaps.err;
    EXPECT_EQ(bitmaps.out, "wrote 1 bitmap file to " + (dir / "bmp") + "\n");
    auto bmp = ReadBytes(dir / "bmp/1.bmp");
    ASSERT_GE(bmp.size(), 54u);
    EXPECT_EQ(test::ReadU32(bmp, 2), bmp.size());

    CliRun here = RunCli({"extract", kFixtures + "/named.dll", "-q"}, dir / "one");
    EXPECT_EQ(here.status, 0);
    EXPECT_TRUE(here.out.empty());
    EXPECT_EQ(FilesIn(dir / "one"), (std::vector<std::string>{"1.ico", "2.ico", "3.ico"}));
}

TEST(Cli, FailuresAndUsageErrorsAreReported) {
    TempDir dir;
    test::WriteBytes(dir / "text.dll", test::Bytes(300, std::byte{'x'}));
    std::filesystem::create_directories(dir / "locked");
    test::WriteBytes(dir / "locked/1.ico", test::Bytes(3, std::byte{1}));
    FileDescriptor held(::open((dir / "locked/1.ico").c_str(), O_RDONLY));
    ASSERT_EQ(::flock(held.get(), LOCK_EX | LOCK_NB), 0);

    struct Case {
        const char* what;
        std::vector<std::string> arguments;
        int status;
        std::string message;  // part of stderr
    };
    const std::string out = dir / "out";
    const Case cases[] = {
        {"unsupported kind", {"extract", kFixtures + "/README.md", "-o", out}, 1, "README.md"},
        {"missing file", {"extract", dir / "absent.dll", "-o", out}, 1, "absent.dll"},
        {"not a module", {"extract", dir / "text.dll", "-o", out}, 1, "text.dll"},
        {"no icon groups", {"extract", kFixtures + "/noicons.dll", "-o", out}, 1, "noicons.dll"},
        {"group out of range", {"extract", kFixtures + "/five.dll", "-g", "6", "-o", out}, 1, "no group 6"},
        {"missing icon", {"extract", kFixtures + "/missing-icon.dll", "-o", out}, 1, "icon 99"},
        {"locked output", {"extract", kFixtures + "/named.dll", "-g", "1", "-o", dir / "locked"}, 1, "1.ico"},
        {"list of no module", {"list", dir / "text.dll"}, 1, "text.dll"},
        {"no command", {}, 2, "Usage:"},
        {"unknown command", {"explode"}, 2, "unknown command"},
        {"unknown option", {"extract", "--frobnicate", kFixtures + "/five.dll"}, 2, "--frobnicate"},
        {"group zero", {"extract", kFixtures + "/five.dll", "-g", "0"}, 2, "group number"},
        {"group not a number", {"extract", kFixtures + "/five.dll", "-g", "x"}, 2, "group number"},
        {"no source", {"extract", "-o", out}, 2, "SOURCE"},
        {"two sources for list", {"list", "a.dll", "b.dll"}, 2, "SOURCE"},
        {"same file name twice", {"extract", kFixtures + "/five.dll", dir / "five.dll"}, 2, "five.dll"},
    };
    for (const auto& c : cases) {
        CliRun run = RunCli(c.arguments, dir.path().string());
        EXPECT_EQ(run.status, c.status) << c.what << ": " << run.err;
        EXPECT_NE(run.err.find(c.message), std::string::npos) << c.what << ": " << run.err;
    }
    // The missing icon fails group 2 alone; the failures leave no partial files.
    EXPECT_EQ(FilesIn(out), std::vector<std::string>{"1.ico"});
    EXPECT_EQ(FilesIn(dir / "locked"), std::vector<std::string>{"1.ico"});
    EXPECT_EQ(ReadBytes(dir / "locked/1.ico"), test::Bytes(3, std::byte{1}));
}

TEST(Cli, HelpAndVersion) {
    CliRun help = RunCli({"--help"});
    EXPECT_EQ(help.status, 0);
    for (const char* text : {"list", "extract", "--json", "--output-dir", "--group", "--bmp", "--quiet", "--version",
                             "index n - 1", "enumerates"})
        EXPECT_NE(help.out.find(text), std::string::npos) << text;
    CliRun version = RunCli({"--version"});
    EXPECT_EQ(version.status, 0);
    EXPECT_EQ(version.out.rfind("nobrelt-cli ", 0), 0u);
}

}  // namespace
}  // namespace nobrelt
