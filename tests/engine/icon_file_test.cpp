#include <gtest/gtest.h>

#include "engine/icon_file.h"
#include "test_support.h"

namespace nobrelt {
namespace {

using test::Bytes;
using test::IconFileEntry;
using test::MakeBitmapImage;
using test::MakeIconFile;
using test::ReadBytes;
using test::ReadU16;
using test::ReadU32;
using test::TempDir;
using test::WriteBytes;

Bytes WithSizeImage(Bytes image, std::uint32_t value) {
    PutU32(image, 20, value);
    return image;
}

TEST(IconFile, ReadingAndWritingNormalisesTheFile) {
    // The directory lies about sizes and depths, the images sit in reverse order behind a gap,
    // and both carry biSizeImage: the written file is rebuilt from the images alone.
    Bytes small = MakeBitmapImage({.width = 32, .height = 32, .bitCount = 4, .sizeImage = 744, .fill = 0x11});
    Bytes large = MakeBitmapImage({.width = 32, .height = 32, .bitCount = 8, .sizeImage = 2216, .fill = 0x22});
    ASSERT_EQ(small.size(), 744u);
    ASSERT_EQ(large.size(), 2216u);
    Bytes source(6 + 32 + 10);
    PutU16(source, 2, 1);
    PutU16(source, 4, 2);
    auto entry = [&](std::size_t i, std::size_t size, std::size_t offset) {
        source[6 + 16 * i] = std::byte{48};
        source[7 + 16 * i] = std::byte{48};
        PutU16(source, 6 + 16 * i + 6, 99);
        PutU32(source, 6 + 16 * i + 8, static_cast<std::uint32_t>(size));
        PutU32(source, 6 + 16 * i + 12, static_cast<std::uint32_t>(offset));
    };
    entry(0, small.size(), source.size() + large.size());
    entry(1, large.size(), source.size());
    source.insert(source.end(), large.begin(), large.end());
    source.insert(source.end(), small.begin(), small.end());

    TempDir dir;
    WriteBytes(dir / "in.ico", source);
    auto set = ReadIconFile(dir / "in.ico");
    ASSERT_TRUE(set);
    EXPECT_EQ(set->iconFileName, dir / "in.ico");
    EXPECT_TRUE(set->moduleFileName.empty());
    WriteIconFile(*set, dir / "out.ico");

    Bytes expected = MakeIconFile({{WithSizeImage(small, 0), 32, 32, 16, 1, 4}, {WithSizeImage(large, 0), 32, 32, 0, 1, 8}});
    Bytes written = ReadBytes(dir / "out.ico");
    EXPECT_EQ(written, expected);
    EXPECT_EQ(written.size(), 2998u);
    EXPECT_EQ(ReadU32(written, 6 + 12), 38u);
    EXPECT_EQ(ReadU32(written, 22 + 12), 782u);
    // The set keeps its own biSizeImage.
    EXPECT_EQ(ReadU32(set->images[0].bytes, 20), 744u);
}

TEST(IconFile, DirectoryEntryComesFromTheImageHeader) {
    struct Case {
        const char* what;
        Bytes image;
        std::uint8_t width, height, colours;
        std::uint16_t planes, bitCount;
    };
    Bytes zeroPlanes = MakeBitmapImage({.width = 16, .height = 16, .bitCount = 4, .planes = 1});
    PutU16(zeroPlanes, 12, 0);
    const Case cases[] = {
        {"1-bit", MakeBitmapImage({.width = 16, .height = 16, .bitCount = 1}), 16, 16, 2, 1, 1},
        {"4-bit", MakeBitmapImage({.width = 32, .height = 32, .bitCount = 4}), 32, 32, 16, 1, 4},
        {"8-bit", MakeBitmapImage({.width = 48, .height = 48, .bitCount = 8}), 48, 48, 0, 1, 8},
        {"24-bit", MakeBitmapImage({.width = 20, .height = 20, .bitCount = 24}), 20, 20, 0, 1, 24},
        {"32-bit 256", MakeBitmapImage({.width = 256, .height = 256, .bitCount = 32}), 0, 0, 0, 1, 32},
        {"313 is not 57", MakeBitmapImage({.width = 313, .height = 300, .bitCount = 1}), 0, 0, 2, 1, 1},
        {"255 stays", MakeBitmapImage({.width = 255, .height = 1, .bitCount = 1}), 255, 1, 2, 1, 1},
        {"planes 0", zeroPlanes, 16, 16, 1, 0, 4},
        {"PNG 256 RGBA", test::MakePngStub(256, 256, 8, 6), 0, 0, 0, 1, 32},
        {"PNG 48 RGB", test::MakePngStub(48, 48, 8, 2), 48, 48, 0, 1, 24},
        {"PNG 313", test::MakePngStub(313, 16, 8, 3), 0, 16, 0, 1, 8},
    };
    TempDir dir;
    for (const auto& c : cases) {
        WriteBytes(dir / "in.ico", MakeIconFile({{c.image, 7, 7, 7, 7, 7}}));
        auto set = ReadIconFile(dir / "in.ico");
        ASSERT_TRUE(set) << c.what;
        WriteIconFile(*set, dir / "out.ico");
        Bytes written = ReadBytes(dir / "out.ico");
        ASSERT_EQ(written.size(), 22 + c.image.size()) << c.what;
        EXPECT_EQ(std::to_integer<int>(written[6]), c.width) << c.what;
        EXPECT_EQ(std::to_integer<int>(written[7]), c.height) << c.what;
        EXPECT_EQ(std::to_integer<int>(written[8]), c.colours) << c.what;
        EXPECT_EQ(std::to_integer<int>(written[9]), 0) << c.what;
        EXPECT_EQ(ReadU16(written, 10), c.planes) << c.what;
        EXPECT_EQ(ReadU16(written, 12), c.bitCount) << c.what;
        EXPECT_EQ(ReadU32(written, 14), c.image.size()) << c.what;
        EXPECT_EQ(ReadU32(written, 18), 22u) << c.what;
    }
}

TEST(IconFile, PngImagesAreCarriedUntouched) {
    Bytes png = test::MakePngStub(256, 256);
    TempDir dir;
    WriteBytes(dir / "in.ico", MakeIconFile({{png}, {MakeBitmapImage({.sizeImage = 744})}}));
    auto set = ReadIconFile(dir / "in.ico");
    ASSERT_TRUE(set);
    WriteIconFile(*set, dir / "out.ico");
    Bytes written = ReadBytes(dir / "out.ico");
    ASSERT_GE(written.size(), 38 + png.size());
    EXPECT_EQ(Bytes(written.begin() + 38, written.begin() + 38 + png.size()), png);
    EXPECT_EQ(ReadU32(written, 38 + png.size() + 20), 0u);
}

TEST(IconFile, ManyImagesAreWrittenWhole) {
    // More pieces than one gathered write takes at once.
    std::vector<IconFileEntry> entries;
    std::vector<IconFileEntry> expected;
    for (int i = 0; i < 1500; ++i) {
        Bytes image = MakeBitmapImage({.width = 1, .height = 1, .bitCount = 32, .sizeImage = 8, .fill = static_cast<std::uint8_t>(i)});
        entries.push_back({image});
        expected.push_back({WithSizeImage(image, 0), 1, 1, 0, 1, 32});
    }
    TempDir dir;
    WriteBytes(dir / "many.ico", MakeIconFile(entries));
    auto set = ReadIconFile(dir / "many.ico");
    ASSERT_TRUE(set);
    ASSERT_TRUE(WriteIconFileDetailed(*set, dir / "out.ico"));
    EXPECT_EQ(ReadBytes(dir / "out.ico"), MakeIconFile(expected));
}

TEST(IconFile, EmptySetIsTheSixByteFile) {
    TempDir dir;
    WriteBytes(dir / "empty.ico", MakeIconFile({}));
    auto set = ReadIconFile(dir / "empty.ico");
    ASSERT_TRUE(set);
    EXPECT_EQ(set->imageCount(), 0u);
    WriteIconFile(*set, dir / "out.ico");
    EXPECT_EQ(ReadBytes(dir / "out.ico"), (Bytes{std::byte{0}, std::byte{0}, std::byte{1}, std::byte{0}, std::byte{0}, std::byte{0}}));
}

TEST(IconFile, CanBeWrittenBackUnderItsOwnName) {
    TempDir dir;
    Bytes image = MakeBitmapImage({.width = 16, .height = 16, .bitCount = 8, .sizeImage = 1});
    WriteBytes(dir / "self.ico", MakeIconFile({{image, 99, 99}}));
    auto set = ReadIconFile(dir / "self.ico");
    ASSERT_TRUE(set);
    WriteIconFile(*set, dir / "self.ico");
    EXPECT_EQ(ReadBytes(dir / "self.ico"), MakeIconFile({{WithSizeImage(image, 0), 16, 16, 0, 1, 8}}));
    std::size_t files = 0;
    for (auto& entry : std::filesystem::directory_iterator(dir.path())) files += entry.is_regular_file();
    EXPECT_EQ(files, 1u);
}

TEST(IconFile, RefusesBadInputAtOnce) {
    Bytes good = MakeIconFile({{MakeBitmapImage({})}});
    auto patched = [&](std::size_t offset, std::uint32_t value, bool word = false) {
        Bytes file = good;
        if (word) PutU16(file, offset, static_cast<std::uint16_t>(value));
        else PutU32(file, offset, value);
        return file;
    };
    Bytes hugeClaims(100);
    PutU16(hugeClaims, 2, 1);
    PutU16(hugeClaims, 4, 65535);
    Bytes manyClaims(6 + 16 * 65535 + 64);
    PutU16(manyClaims, 2, 1);
    PutU16(manyClaims, 4, 65535);
    for (std::size_t i = 0; i < 65535; ++i) {
        PutU32(manyClaims, 6 + 16 * i + 8, 0xFFFFFFFF);
        PutU32(manyClaims, 6 + 16 * i + 12, 6);
    }
    Bytes overlapping(6 + 16 * 1000 + 1000);
    PutU16(overlapping, 2, 1);
    PutU16(overlapping, 4, 1000);
    for (std::size_t i = 0; i < 1000; ++i) {
        PutU32(overlapping, 6 + 16 * i + 8, 16000);
        PutU32(overlapping, 6 + 16 * i + 12, 6);
    }
    Bytes shortImage = MakeIconFile({{Bytes(39)}});

    struct Case { const char* what; Bytes file; };
    const Case cases[] = {
        {"empty file", Bytes{}},
        {"5 bytes", Bytes(good.begin(), good.begin() + 5)},
        {"reserved 1", patched(0, 1, true)},
        {"cursor", patched(2, 2, true)},
        {"directory past the end", patched(4, 3, true)},
        {"image past the end", Bytes(good.begin(), good.end() - 1)},
        {"image size past the end", patched(6 + 8, 745)},
        {"offset of 2^31", patched(6 + 12, 0x80000000)},
        {"offset of 4 GiB - 1", patched(6 + 12, 0xFFFFFFFF)},
        {"image shorter than its header", shortImage},
        {"biSize past the image", patched(22 + 0, 5000)},
        {"colour table past the image", patched(22 + 32, 5000)},
        {"rows past the image", patched(22 + 8, 5000)},
        {"65535 images of 4 GiB in 100 bytes", hugeClaims},
        {"65535 images of 4 GiB each", manyClaims},
        {"images sharing bytes", overlapping},
    };
    TempDir dir;
    for (const auto& c : cases) {
        WriteBytes(dir / "bad.ico", c.file);
        auto result = ReadIconFileDetailed(dir / "bad.ico");
        EXPECT_FALSE(result) << c.what;
        EXPECT_FALSE(result.reason().empty()) << c.what;
        MemorySource memory(c.file);
        EXPECT_FALSE(ReadIconSet(memory)) << c.what;
    }
    EXPECT_FALSE(ReadIconFile(dir / "missing.ico"));
    EXPECT_FALSE(ReadIconFile(dir.path().string()));
}

}  // namespace
}  // namespace nobrelt
