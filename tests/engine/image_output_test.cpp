// Bitmap files and clipboard blocks made from icon images, PNG images decoded.
#include <gtest/gtest.h>
#include <sys/file.h>
#include <fcntl.h>

#include <cstdio>
#include <filesystem>

#include "engine/bitmap_file.h"
#include "engine/clipboard_copy.h"
#include "engine/file_io.h"
#include "engine/icon_image.h"
#include "engine/png_decode.h"
#include "fake_clipboard.h"
#include "png_builder.h"
#include "test_support.h"

namespace nobrelt {
namespace {

using test::BitmapSpec;
using test::Bytes;
using test::EncodePng;
using test::FakeClipboard;
using test::GradientPixels;
using test::MakeBitmapImage;
using test::ReadBytes;
using test::ReadU16;
using test::ReadU32;
using test::Rgba;
using test::TempDir;
using test::WriteBytes;

IconImage ImageOf(Bytes bytes) {
    IconImage image;
    image.bytes = std::move(bytes);
    AnalyseImage(image);
    return image;
}

// The same image with a header of biSize bytes: the extra header bytes are zero.
Bytes WithHeaderSize(const Bytes& image, std::uint32_t biSize) {
    Bytes longer(image.begin(), image.begin() + 40);
    longer.resize(biSize);
    longer.insert(longer.end(), image.begin() + 40, image.end());
    PutU32(longer, 0, biSize);
    return longer;
}

// Width and height as ImageMagick's identify reads the file, or none when it cannot.
std::optional<std::string> IdentifySize(const std::string& path) {
    std::string command = "identify -format '%w %h' '" + path + "' 2>/dev/null";
    FILE* pipe = ::popen(command.c_str(), "r");
    if (!pipe) return std::nullopt;
    std::string out;
    char buffer[128];
    while (std::fgets(buffer, sizeof buffer, pipe)) out += buffer;
    if (::pclose(pipe) != 0 || out.empty()) return std::nullopt;
    return out;
}

bool HaveIdentify() { return std::system("command -v identify >/dev/null 2>&1") == 0; }

// The pixel bits of a decoded PNG as a bottom-up 32-bit bitmap stores them.
Bytes BottomUpBgra(std::uint32_t width, std::uint32_t height, const std::vector<Rgba>& pixels) {
    Bytes out;
    for (std::uint32_t row = height; row-- > 0;)
        for (std::uint32_t x = 0; x < width; ++x) {
            const Rgba& p = pixels[row * width + x];
            for (std::uint8_t channel : {p.b, p.g, p.r, p.a}) out.push_back(std::byte{channel});
        }
    return out;
}

void ExpectDecodedPngHeader(const Bytes& dib, std::uint32_t width, std::uint32_t height) {
    ASSERT_GE(dib.size(), 40u);
    EXPECT_EQ(ReadU32(dib, 0), 40u);
    EXPECT_EQ(ReadU32(dib, 4), width);
    EXPECT_EQ(ReadU32(dib, 8), height);  // positive: bottom-up
    EXPECT_EQ(ReadU16(dib, 12), 1u);
    EXPECT_EQ(ReadU16(dib, 14), 32u);
    EXPECT_EQ(ReadU32(dib, 16), 0u);  // uncompressed
}

TEST(BitmapFile, BitmapImagesOpenInAnIndependentDecoder) {
    struct Case {
        const char* what;
        Bytes image;
        std::int32_t width, height;
        std::uint32_t biSize, paletteEntries, pixelBytes;
    };
    const Case cases[] = {
        {"1-bit", MakeBitmapImage({.width = 16, .height = 16, .bitCount = 1}), 16, 16, 40, 2, 4 * 16},
        {"4-bit", MakeBitmapImage({.width = 32, .height = 32, .bitCount = 4}), 32, 32, 40, 16, 16 * 32},
        {"8-bit, 16 colours used", MakeBitmapImage({.width = 24, .height = 24, .bitCount = 8, .clrUsed = 16, .fill = 0x05}), 24, 24, 40, 16, 24 * 24},
        {"24-bit", MakeBitmapImage({.width = 20, .height = 20, .bitCount = 24}), 20, 20, 40, 0, 60 * 20},
        {"32-bit", MakeBitmapImage({.width = 48, .height = 48, .bitCount = 32}), 48, 48, 40, 0, 48 * 4 * 48},
        {"32-bit, biSizeImage set", MakeBitmapImage({.width = 16, .height = 16, .bitCount = 32, .sizeImage = 1088}), 16, 16, 40, 0, 16 * 4 * 16},
        // A longer header: the pixel bits follow the whole header, not byte 54 + colour table.
        {"8-bit, 124-byte header", WithHeaderSize(MakeBitmapImage({.width = 16, .height = 16, .bitCount = 8}), 124), 16, 16, 124, 256, 16 * 16},
    };
    const bool identify = HaveIdentify();
    TempDir dir;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const std::string path = dir / "out.bmp";
        ASSERT_TRUE(WriteBitmapFileDetailed(path, ImageOf(c.image)));
        Bytes file = ReadBytes(path);
        const std::uint32_t pixelOffset = 14 + c.biSize + 4 * c.paletteEntries;
        ASSERT_EQ(file.size(), pixelOffset + c.pixelBytes);
        EXPECT_EQ(file[0], std::byte{'B'});
        EXPECT_EQ(file[1], std::byte{'M'});
        EXPECT_EQ(ReadU32(file, 2), file.size());
        EXPECT_EQ(ReadU32(file, 6), 0u);
        EXPECT_EQ(ReadU32(file, 10), pixelOffset);
        // Behind the file header: the image's own bytes up to the mask, its height halved.
        Bytes expected(c.image.begin(), c.image.begin() + (file.size() - 14));
        PutU32(expected, 8, static_cast<std::uint32_t>(c.height));
        EXPECT_TRUE(std::equal(expected.begin(), expected.end(), file.begin() + 14));
        if (identify) {
            EXPECT_EQ(IdentifySize(path), std::to_string(c.width) + " " + std::to_string(c.height));
        }
    }
    if (!identify) GTEST_SKIP() << "ImageMagick's identify is not installed; the decoder check was skipped";
}

TEST(BitmapFile, PngImageIsWrittenAsTheBitmapItDecodesTo) {
    const auto pixels = GradientPixels(20, 10);
    const IconImage image = ImageOf(EncodePng(20, 10, pixels));
    ASSERT_TRUE(image.isPng());
    TempDir dir;
    const std::string path = dir / "png.bmp";
    ASSERT_TRUE(WriteBitmapFileDetailed(path, image));

    Bytes file = ReadBytes(path);
    ASSERT_EQ(file.size(), 14u + 40u + 20u * 10u * 4u);
    EXPECT_EQ(ReadU32(file, 2), file.size());
    EXPECT_EQ(ReadU32(file, 10), 54u);
    Bytes dib(file.begin() + 14, file.end());
    ExpectDecodedPngHeader(dib, 20, 10);
    EXPECT_EQ(Bytes(dib.begin() + 40, dib.end()), BottomUpBgra(20, 10, pixels));
    if (!HaveIdentify()) GTEST_SKIP() << "ImageMagick's identify is not installed";
    EXPECT_EQ(IdentifySize(path), "20 10");
}

TEST(BitmapFile, NothingIsWrittenForAnImageThatDoesNotHoldWhatItClaims) {
    Bytes truncated = MakeBitmapImage({.width = 32, .height = 32, .bitCount = 4});
    truncated.resize(40 + 64 + 16 * 32 - 1);  // one byte of colour bits short
    Bytes coreHeader = MakeBitmapImage({.width = 16, .height = 16, .bitCount = 4});
    PutU32(coreHeader, 0, 12);
    Bytes hugeHeader = MakeBitmapImage({.width = 16, .height = 16, .bitCount = 4});
    PutU32(hugeHeader, 0, 0xFFFFFFF0u);
    Bytes negativeHeight = MakeBitmapImage({.width = 16, .height = 16, .bitCount = 4});
    PutU32(negativeHeight, 8, static_cast<std::uint32_t>(-32));
    Bytes hugeWidth = MakeBitmapImage({.width = 16, .height = 16, .bitCount = 32});
    PutU32(hugeWidth, 4, 0x7FFFFFFF);
    Bytes hugePalette = MakeBitmapImage({.width = 16, .height = 16, .bitCount = 4});
    PutU32(hugePalette, 32, 0xFFFF);
    Bytes brokenPng = EncodePng(4, 4, GradientPixels(4, 4));
    brokenPng.resize(brokenPng.size() - 30);
    Bytes lyingPng = EncodePng(2, 2, GradientPixels(2, 2), 100000, 100000);

    const std::pair<const char*, Bytes> cases[] = {
        {"empty", {}},
        {"shorter than a header", Bytes(39, std::byte{0x28})},
        {"colour bits cut short", truncated},
        {"12-byte header", coreHeader},
        {"header larger than the image", hugeHeader},
        {"negative height", negativeHeight},
        {"row length beyond the image", hugeWidth},
        {"colour table beyond the image", hugePalette},
        {"PNG cut short", brokenPng},
        {"PNG claiming 100000 x 100000 pixels", lyingPng},
    };
    TempDir dir;
    const Bytes old = {std::byte{'o'}, std::byte{'l'}, std::byte{'d'}};
    WriteBytes(dir / "keep.bmp", old);
    for (const auto& [what, bytes] : cases) {
        SCOPED_TRACE(what);
        const IconImage image = ImageOf(bytes);
        EXPECT_FALSE(WriteBitmapFileDetailed(dir / "new.bmp", image));
        EXPECT_FALSE(WriteBitmapFileDetailed(dir / "keep.bmp", image));
        EXPECT_EQ(ReadBytes(dir / "keep.bmp"), old);
        EXPECT_FALSE(std::filesystem::exists(dir / "new.bmp"));
        FakeClipboard clipboard;
        EXPECT_FALSE(CopyImageToClipboardDetailed(&clipboard, image));
        EXPECT_TRUE(clipboard.blocks.empty());
    }
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), {}), 1);
}

TEST(BitmapFile, ReplacesAnExistingFileButNotOneLockedElsewhere) {
    const IconImage image = ImageOf(MakeBitmapImage({.width = 16, .height = 16, .bitCount = 4}));
    TempDir dir;
    const Bytes old(5, std::byte{'x'});
    WriteBytes(dir / "a.bmp", old);
    WriteBitmapFile(dir / "a.bmp", image);
    EXPECT_EQ(ReadBytes(dir / "a.bmp").size(), 14u + 40u + 64u + 8u * 16u);

    WriteBytes(dir / "b.bmp", old);
    FileDescriptor other(::open((dir / "b.bmp").c_str(), O_RDONLY));
    ASSERT_EQ(::flock(other.get(), LOCK_EX | LOCK_NB), 0);
    WriteBitmapFile(dir / "b.bmp", image);
    EXPECT_EQ(ReadBytes(dir / "b.bmp"), old);
}

TEST(Clipboard, BlockIsTheWholeImageWithItsHeightHalved) {
    const Bytes bytes = MakeBitmapImage({.width = 32, .height = 32, .bitCount = 4});
    const IconImage image = ImageOf(bytes);
    FakeClipboard clipboard;
    CopyImageToClipboard(&clipboard, image);
    EXPECT_EQ(clipboard.calls, (std::vector<std::string>{"open", "empty", "set", "close"}));
    ASSERT_EQ(clipboard.blocks.size(), 1u);
    Bytes expected = bytes;
    PutU32(expected, 8, 32);
    EXPECT_EQ(clipboard.blocks[0], expected);  // the AND mask trails the colour bits
    EXPECT_EQ(image.bytes, bytes);
    EXPECT_EQ(ReadU32(image.bytes, 8), 64u);
}

TEST(Clipboard, PngGivesTheDecoded32BitBitmap) {
    const auto pixels = GradientPixels(7, 5);
    const Bytes png = EncodePng(7, 5, pixels);
    const IconImage image = ImageOf(png);
    FakeClipboard clipboard;
    CopyImageToClipboard(&clipboard, image);
    ASSERT_EQ(clipboard.blocks.size(), 1u);
    const Bytes& dib = clipboard.blocks[0];
    ExpectDecodedPngHeader(dib, 7, 5);
    EXPECT_EQ(Bytes(dib.begin() + 40, dib.end()), BottomUpBgra(7, 5, pixels));
    EXPECT_EQ(image.bytes, png);
}

TEST(Clipboard, StopsAtTheFirstStepThatFailsAndClosesWhatItOpened) {
    const IconImage sound = ImageOf(MakeBitmapImage({.width = 16, .height = 16, .bitCount = 1}));
    const IconImage empty = ImageOf({});
    struct Case {
        const char* what;
        bool refuseOpen, refuseEmpty, refuseSet;
        const IconImage* image;
        std::vector<std::string> calls;
    };
    const Case cases[] = {
        {"cannot open", true, false, false, &sound, {"open"}},
        {"cannot empty", false, true, false, &sound, {"open", "empty", "close"}},
        {"empty image", false, false, false, &empty, {"open", "empty", "close"}},
        {"refused block", false, false, true, &sound, {"open", "empty", "set", "close"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        FakeClipboard clipboard;
        clipboard.refuseOpen = c.refuseOpen;
        clipboard.refuseEmpty = c.refuseEmpty;
        clipboard.refuseSet = c.refuseSet;
        EXPECT_FALSE(CopyImageToClipboardDetailed(&clipboard, *c.image));
        EXPECT_EQ(clipboard.calls, c.calls);
        EXPECT_TRUE(clipboard.blocks.empty());
    }
    EXPECT_FALSE(CopyImageToClipboardDetailed(nullptr, sound));
}

TEST(PngDecode, RefusesASizeItsDataCannotHoldBeforeAllocating) {
    auto lying = DecodePng(EncodePng(2, 2, GradientPixels(2, 2), 4000, 4000));
    ASSERT_FALSE(lying);
    EXPECT_NE(lying.reason().find("4000 x 4000"), std::string::npos) << lying.reason();
    // The same pixels under their own size decode.
    auto honest = DecodePng(EncodePng(2, 2, GradientPixels(2, 2)));
    ASSERT_TRUE(honest) << honest.reason();
    EXPECT_EQ(honest->width, 2u);
    EXPECT_EQ(honest->bgraBottomUp, BottomUpBgra(2, 2, GradientPixels(2, 2)));
}

}  // namespace
}  // namespace nobrelt
