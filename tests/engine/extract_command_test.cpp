// The extraction command: argument rules, source and output kinds, results, what is written.
#include <gtest/gtest.h>
#include <sys/file.h>
#include <fcntl.h>
#include <unistd.h>

#include <filesystem>

#include "engine/extract_command.h"
#include "engine/file_io.h"
#include "engine/path_kind.h"
#include "fake_clipboard.h"
#include "module_expectations.h"
#include "png_builder.h"
#include "test_support.h"

namespace nobrelt {
namespace {

using test::Bytes;
using test::FakeClipboard;
using test::GroupImages;
using test::MakeBitmapImage;
using test::MakeIconFile;
using test::NormalisedIconFile;
using test::ReadBytes;
using test::ReadU16;
using test::ReadU32;
using test::TempDir;
using test::WriteBytes;

std::string Fixture(const std::string& name) { return std::string(NOBRELT_FIXTURES_DIR) + "/" + name; }

std::vector<std::string> FilesIn(const std::filesystem::path& dir) {
    std::vector<std::string> names;
    for (auto& entry : std::filesystem::directory_iterator(dir)) names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

// The images of the icon file every icon-file case reads: a 4-bit and a 32-bit bitmap, each
// with biSizeImage set, so that writing them shows the normalised form.
std::vector<Bytes> AppIconImages() {
    return {MakeBitmapImage({.width = 32, .height = 32, .bitCount = 4, .sizeImage = 744, .fill = 0x12}),
            MakeBitmapImage({.width = 16, .height = 16, .bitCount = 32, .sizeImage = 1088, .fill = 0x34})};
}

// The first image as a CF_DIB block: its bytes with the height halved.
Bytes ClipboardBlockOf(Bytes image) {
    PutU32(image, 8, ReadU32(image, 8) / 2);
    return image;
}

// Restores the working directory when a case had to run elsewhere.
class InDirectory {
public:
    explicit InDirectory(const std::filesystem::path& dir) : previous_(std::filesystem::current_path()) {
        std::filesystem::current_path(dir);
    }
    ~InDirectory() { std::filesystem::current_path(previous_); }

private:
    std::filesystem::path previous_;
};

enum class Output { Nothing, IconFile, Bitmap };

struct Case {
    const char* what;
    std::optional<std::string> source;  // a name in the scratch directory; none = omitted
    std::optional<std::int32_t> mode;
    std::optional<std::string> output;  // a name in the output directory, "" = empty
    std::optional<std::int32_t> group;
    std::int32_t result;
    Output written;
    std::size_t groupWritten = 1;  // which group the written file holds
    bool copied = false;           // a block reaches the clipboard
};

// Sources: APP.ICO and missing.ico (icon files); lib.DLL, myexe and a.ocx (named.dll with 3
// groups: MAINICON, 1, 7); hole.dll (missing-icon.dll: group 2 names a missing icon);
// zero.dll (empty-group.dll: one group of 0 images); none.dll (no groups); text.dll (not a
// module); ab (two bytes).
const Case kCases[] = {
    {"mode 0, empty output path, icon file", "APP.ICO", 0, "", 1, 0, Output::Nothing},
    {"mode 0, empty output path, valid module", "lib.DLL", 0, "", 1, 0, Output::Nothing},
    {"mode 0, omitted output path", "lib.DLL", 0, std::nullopt, 1, 0, Output::Nothing},
    {"mode 2 copies", "APP.ICO", 2, "out.ico", 1, 1, Output::Nothing, 1, true},
    {"mode -1 copies", "APP.ICO", -1, "out.ico", 1, 1, Output::Nothing, 1, true},
    {"omitted mode copies", "lib.DLL", std::nullopt, "out.ico", 2, 3, Output::Nothing, 2, true},
    {"mode 1 needs no output path", "lib.DLL", 1, "", 3, 3, Output::Nothing, 3, true},
    {"group 0 is group 1", "lib.DLL", 0, "out.ico", 0, 3, Output::IconFile, 1},
    {"group -5 is group 1", "lib.DLL", 0, "out.ico", -5, 3, Output::IconFile, 1},
    {"omitted group is group 1", "lib.DLL", 0, "out.ico", std::nullopt, 3, Output::IconFile, 1},
    {"module group 3", "lib.DLL", 0, "out.ico", 3, 3, Output::IconFile, 3},
    {"module group above the count", "lib.DLL", 0, "out.ico", 4, 0, Output::Nothing},
    {"module without a dot", "myexe", 0, "out.ico", 2, 3, Output::IconFile, 2},
    {"refused kind ocx", "a.ocx", 0, "out.ico", 1, 0, Output::Nothing},
    {"two-byte path is its own kind", "ab", 0, "out.ico", 1, 0, Output::Nothing},
    {"omitted source", std::nullopt, 0, "out.ico", 1, 0, Output::Nothing},
    {"empty source", "", 0, "out.ico", 1, 0, Output::Nothing},
    {"icon file in capitals", "APP.ICO", 0, "out.ico", 1, 1, Output::IconFile},
    {"icon file, group 2", "APP.ICO", 0, "out.ico", 2, 0, Output::Nothing},
    {"missing icon file counts one group", "missing.ico", 0, "out.ico", 1, 1, Output::Nothing},
    {"missing icon file, group 2", "missing.ico", 0, "out.ico", 2, 0, Output::Nothing},
    {"output in capitals", "lib.DLL", 0, "OUT.ICO", 1, 3, Output::IconFile, 1},
    {"png output writes nothing", "lib.DLL", 0, "out.png", 1, 3, Output::Nothing},
    {"output of another kind", "lib.DLL", 0, "out.ic", 1, 3, Output::Nothing},
    {"bmp output", "lib.DLL", 0, "out.bmp", 3, 3, Output::Bitmap, 3},
    {"bmp output from an icon file", "APP.ICO", 0, "a.BMP", 1, 1, Output::Bitmap},
    {"group naming a missing icon", "hole.dll", 0, "out.ico", 2, 2, Output::Nothing},
    {"its sound neighbour", "hole.dll", 0, "out.ico", 1, 2, Output::IconFile, 1},
    {"missing icon, clipboard", "hole.dll", 1, "", 2, 2, Output::Nothing},
    {"group of 0 images", "zero.dll", 0, "out.ico", 1, 1, Output::IconFile, 1},
    {"group of 0 images, bmp", "zero.dll", 0, "out.bmp", 1, 1, Output::Nothing},
    {"group of 0 images, clipboard", "zero.dll", 1, "", 1, 1, Output::Nothing},
    {"module without icon groups", "none.dll", 0, "out.ico", 1, 0, Output::Nothing},
    {"not a module", "text.dll", 0, "out.ico", 1, 0, Output::Nothing},
    {"missing module", "gone.exe", 0, "out.ico", 1, 0, Output::Nothing},
};

class ExtractCommandTest : public ::testing::Test {
protected:
    void SetUp() override {
        WriteBytes(sources_ / "APP.ICO", MakeIconFile({{AppIconImages()[0]}, {AppIconImages()[1]}}));
        for (const char* name : {"lib.DLL", "myexe", "a.ocx", "ab"})
            std::filesystem::copy_file(Fixture("named.dll"), sources_ / name);
        std::filesystem::copy_file(Fixture("missing-icon.dll"), sources_ / "hole.dll");
        std::filesystem::copy_file(Fixture("empty-group.dll"), sources_ / "zero.dll");
        std::filesystem::copy_file(Fixture("noicons.dll"), sources_ / "none.dll");
        WriteBytes(sources_ / "text.dll", Bytes(4096, std::byte{'M'}));
    }

    // The images of group n of a scratch source.
    std::vector<Bytes> ImagesOf(const std::string& source, std::size_t n) {
        if (SourceKindOf(source) == SourceKind::IconFile) return AppIconImages();
        auto images = GroupImages(sources_ / source, n);
        EXPECT_TRUE(images) << source << " group " << n;
        return images.value_or(std::vector<Bytes>{});
    }

    TempDir sources_;
};

TEST_F(ExtractCommandTest, ArgumentsKindsAndResults) {
    for (const Case& c : kCases) {
        SCOPED_TRACE(c.what);
        TempDir out;
        FakeClipboard clipboard;
        const ExtractCommand command(&clipboard);
        std::optional<std::string> output = c.output;
        if (output && !output->empty()) output = out / *output;
        std::int32_t result;
        {
            // "ab" must be the whole path, so that case runs beside the file.
            InDirectory here(sources_.path());
            std::optional<std::string> source = c.source;
            if (source && !source->empty() && *source != "ab") source = sources_ / *source;
            result = command.ExtractIconGroup(source, c.mode, output, c.group);
        }
        EXPECT_EQ(result, c.result);

        const std::vector<std::string> files = FilesIn(out.path());
        if (c.written == Output::Nothing) {
            EXPECT_TRUE(files.empty());
        } else {
            ASSERT_EQ(files.size(), 1u);
            const Bytes file = ReadBytes(out / files[0]);
            const std::vector<Bytes> images = ImagesOf(*c.source, c.groupWritten);
            if (c.written == Output::IconFile) {
                EXPECT_EQ(file, NormalisedIconFile(images));
            } else {
                ASSERT_GE(file.size(), 14u);
                EXPECT_EQ(ReadU16(file, 0), 0x4D42u);  // "BM"
                EXPECT_EQ(ReadU32(file, 2), file.size());
                EXPECT_EQ(ReadU32(file, 14 + 4), ReadU32(images[0], 4));
                EXPECT_EQ(ReadU32(file, 14 + 8), ReadU32(images[0], 8) / 2);
            }
        }

        if (c.copied) {
            ASSERT_EQ(clipboard.blocks.size(), 1u);
            EXPECT_EQ(clipboard.blocks[0], ClipboardBlockOf(ImagesOf(*c.source, c.groupWritten)[0]));
            EXPECT_EQ(clipboard.calls, (std::vector<std::string>{"open", "empty", "set", "close"}));
        } else {
            EXPECT_TRUE(clipboard.blocks.empty());
        }
    }
}

TEST_F(ExtractCommandTest, WithoutAClipboardTheCopyStopsAndTheCountStands) {
    TempDir out;
    EXPECT_EQ(ExtractIconGroup(sources_ / "lib.DLL", 1, std::nullopt, 1), 3);
    EXPECT_EQ(ExtractIconGroup(sources_ / "APP.ICO", std::nullopt, out / "x.ico", std::nullopt), 1);
    EXPECT_TRUE(FilesIn(out.path()).empty());
    FakeClipboard closed;
    closed.refuseOpen = true;
    EXPECT_EQ(ExtractCommand(&closed).ExtractIconGroup(sources_ / "APP.ICO", 1, std::nullopt, 1), 1);
    EXPECT_EQ(closed.calls, std::vector<std::string>{"open"});
}

TEST_F(ExtractCommandTest, ReplacesAnExistingOutput) {
    TempDir out;
    WriteBytes(out / "1.ico", Bytes(10000, std::byte{0xEE}));
    EXPECT_EQ(ExtractIconGroup(sources_ / "lib.DLL", 0, out / "1.ico", 2), 3);
    EXPECT_EQ(ReadBytes(out / "1.ico"), NormalisedIconFile(ImagesOf("lib.DLL", 2)));
    EXPECT_EQ(FilesIn(out.path()), std::vector<std::string>{"1.ico"});
}

TEST_F(ExtractCommandTest, AnOutputLockedElsewhereIsLeftAsItWas) {
    TempDir out;
    const Bytes old(100, std::byte{0xEE});
    for (const char* name : {"1.ico", "1.bmp"}) {
        SCOPED_TRACE(name);
        WriteBytes(out / name, old);
        FileDescriptor other(::open((out / name).c_str(), O_RDONLY));
        ASSERT_EQ(::flock(other.get(), LOCK_EX | LOCK_NB), 0);
        EXPECT_EQ(ExtractIconGroup(sources_ / "lib.DLL", 0, out / name, 1), 3);
        EXPECT_EQ(ReadBytes(out / name), old);
    }
    EXPECT_EQ(FilesIn(out.path()), (std::vector<std::string>{"1.bmp", "1.ico"}));
}

TEST_F(ExtractCommandTest, AnIconFileExtractedOntoItsOwnNameIsNormalised) {
    // Written with a directory that lies about every image and with biSizeImage set.
    const std::string path = sources_ / "self.ico";
    WriteBytes(path, MakeIconFile({{AppIconImages()[0], 48, 48, 0, 9, 9}, {AppIconImages()[1], 1, 2, 3, 4, 5}}));
    EXPECT_EQ(ExtractIconGroup(path, 0, path, 1), 1);
    EXPECT_EQ(ReadBytes(path), NormalisedIconFile(AppIconImages()));
}

// Group count of every module fixture, and what the first groups hold, as the fixtures'
// sources define them: width x height x bits of each image.
struct ModuleFixture {
    const char* name;
    std::int32_t groups;
    std::vector<std::vector<std::array<int, 3>>> firstGroups;
};

const ModuleFixture kModules[] = {
    {"named.dll", 3, {{{32, 32, 4}, {16, 16, 8}}, {{16, 16, 1}}, {{32, 32, 32}, {16, 16, 4}}}},
    {"five.dll", 5, {{{16, 16, 1}, {32, 32, 4}}, {{16, 16, 8}, {32, 32, 32}}, {{48, 48, 4}, {16, 16, 32}, {16, 16, 1}}}},
    {"missing-icon.dll", 2, {{{16, 16, 4}}}},
    {"empty-group.dll", 1, {{}}},
    {"lang.dll", 3, {{{16, 16, 1}}, {{16, 16, 4}}, {{16, 16, 4}}}},
    {"png.dll", 1, {{{0, 0, 32}, {32, 32, 32}}}},
    {"noicons.dll", 0, {}},
    {"unicode.exe", 3, {{{32, 32, 8}, {16, 16, 1}}, {{16, 16, 4}}, {{16, 16, 32}}}},
    {"icons.icl", 4, {{{32, 32, 4}, {16, 16, 1}}, {{16, 16, 8}}, {{32, 32, 32}, {16, 16, 4}, {16, 16, 1}}}},
};

TEST(ExtractCommandModules, EveryGroupOfEveryModuleIsItsNormalisedIconFile) {
    for (const ModuleFixture& module : kModules) {
        SCOPED_TRACE(module.name);
        const std::string source = Fixture(module.name);
        TempDir out;
        for (std::int32_t n = 1; n <= module.groups + 1; ++n) {
            SCOPED_TRACE("group " + std::to_string(n));
            const std::string output = out / (std::to_string(n) + ".ico");
            const std::int32_t result = ExtractIconGroup(source, 0, output, n);
            if (n > module.groups) {
                EXPECT_EQ(result, 0);
                EXPECT_FALSE(std::filesystem::exists(output));
                continue;
            }
            EXPECT_EQ(result, module.groups);
            auto images = GroupImages(source, static_cast<std::size_t>(n));
            if (!images) {  // a group naming a missing icon writes nothing
                EXPECT_FALSE(std::filesystem::exists(output));
                continue;
            }
            const Bytes file = ReadBytes(output);
            EXPECT_EQ(file, NormalisedIconFile(*images));
            if (static_cast<std::size_t>(n) > module.firstGroups.size()) continue;
            const auto& expected = module.firstGroups[static_cast<std::size_t>(n) - 1];
            ASSERT_EQ(ReadU16(file, 4), expected.size());
            for (std::size_t i = 0; i < expected.size(); ++i) {
                const std::size_t entry = 6 + 16 * i;
                EXPECT_EQ(static_cast<int>(file[entry]), expected[i][0]) << "image " << i;
                EXPECT_EQ(static_cast<int>(file[entry + 1]), expected[i][1]) << "image " << i;
                EXPECT_EQ(ReadU16(file, entry + 6), expected[i][2]) << "image " << i;
            }
        }
    }
}

TEST(ExtractCommandModules, PngImageIsCarriedIntoIconFilesAndDecodedForBitmaps) {
    const std::string source = Fixture("png.dll");
    auto images = GroupImages(source, 1);
    ASSERT_TRUE(images);
    ASSERT_GE((*images)[0].size(), 8u);
    ASSERT_EQ((*images)[0][1], std::byte{'P'});
    TempDir out;

    ASSERT_EQ(ExtractIconGroup(source, 0, out / "1.ico", 1), 1);
    const Bytes icon = ReadBytes(out / "1.ico");
    const std::uint32_t offset = ReadU32(icon, 6 + 12);
    EXPECT_EQ(Bytes(icon.begin() + offset, icon.begin() + offset + (*images)[0].size()), (*images)[0]);

    ASSERT_EQ(ExtractIconGroup(source, 0, out / "1.bmp", 1), 1);
    const Bytes bitmap = ReadBytes(out / "1.bmp");
    EXPECT_EQ(bitmap.size(), 14u + 40u + 256u * 256u * 4u);
    EXPECT_EQ(ReadU32(bitmap, 2), bitmap.size());
    EXPECT_EQ(ReadU32(bitmap, 14 + 4), 256u);
    EXPECT_EQ(ReadU32(bitmap, 14 + 8), 256u);
    EXPECT_EQ(ReadU16(bitmap, 14 + 14), 32u);

    FakeClipboard clipboard;
    ASSERT_EQ(ExtractCommand(&clipboard).ExtractIconGroup(source, 1, std::nullopt, 1), 1);
    ASSERT_EQ(clipboard.blocks.size(), 1u);
    EXPECT_EQ(clipboard.blocks[0], Bytes(bitmap.begin() + 14, bitmap.end()));
}

// Sources that are broken in many ways: the command returns 0 or a count and never reads
// outside what it holds (the sanitizer build checks that).
TEST(ExtractCommandMalformed, BrokenSourcesGiveAResultAndNoCrash) {
    TempDir dir;
    const Bytes module = ReadBytes(Fixture("named.dll"));
    std::vector<std::pair<std::string, Bytes>> sources;
    for (std::size_t length : {0, 1, 2, 63, 64, 65, 200, 400, 1024, 2048, 4000}) {
        if (length < module.size())
            sources.emplace_back("cut-" + std::to_string(length) + ".dll", Bytes(module.begin(), module.begin() + length));
    }
    sources.emplace_back("cut-last.dll", Bytes(module.begin(), module.end() - 1));
    // One byte changed at a time, walking through the headers and the resource directory.
    for (std::size_t at = 0; at < module.size(); at += 37) {
        Bytes changed = module;
        changed[at] = ~changed[at];
        sources.emplace_back("flip-" + std::to_string(at) + ".dll", changed);
    }
    Bytes truncatedImage = MakeBitmapImage({.width = 32, .height = 32, .bitCount = 4});
    Bytes iconFile = MakeIconFile({{truncatedImage}});
    iconFile.resize(iconFile.size() - 100);
    sources.emplace_back("cut-image.ico", iconFile);
    Bytes damaged = MakeBitmapImage({.width = 32, .height = 32, .bitCount = 4});
    PutU32(damaged, 0, 0x7FFFFFFF);  // biSize far beyond the image
    sources.emplace_back("damaged.ico", MakeIconFile({{damaged}}));
    Bytes manyImages(64);
    PutU16(manyImages, 2, 1);
    PutU16(manyImages, 4, 65535);
    sources.emplace_back("many.ico", manyImages);

    for (const auto& [name, bytes] : sources) {
        SCOPED_TRACE(name);
        WriteBytes(dir / name, bytes);
        for (const char* output : {"o.ico", "o.bmp"}) {
            const std::int32_t result = ExtractIconGroup(dir / name, 0, dir / output, 1);
            EXPECT_GE(result, 0);
            std::filesystem::remove(dir / output);
        }
        FakeClipboard clipboard;
        const std::int32_t result = ExtractCommand(&clipboard).ExtractIconGroup(dir / name, 1, std::nullopt, 2);
        EXPECT_GE(result, 0);
    }
    // A broken icon file still counts as one group, and nothing is written from it.
    for (const char* name : {"cut-image.ico", "damaged.ico", "many.ico"}) {
        EXPECT_EQ(ExtractIconGroup(dir / name, 0, dir / "x.ico", 1), 1) << name;
        EXPECT_FALSE(std::filesystem::exists(dir / "x.ico")) << name;
    }
}

}  // namespace
}  // namespace nobrelt
