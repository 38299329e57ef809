#include <gtest/gtest.h>

#include "engine/icon_image.h"
#include "test_support.h"

namespace nobrelt {
namespace {

using test::BitmapSpec;
using test::MakeBitmapImage;

BitmapInfoHeader Header(std::uint16_t bitCount, std::int32_t width, std::uint32_t clrUsed = 0, std::uint16_t planes = 1) {
    BitmapInfoHeader header;
    header.biBitCount = bitCount;
    header.biWidth = width;
    header.biClrUsed = clrUsed;
    header.biPlanes = planes;
    return header;
}

TEST(BitmapHeader, PaletteEntryCountFollowsClrUsedThenBitCount) {
    struct Case { std::uint16_t bitCount; std::uint32_t clrUsed; std::uint16_t expected; };
    for (auto c : {Case{1, 0, 2}, Case{4, 0, 16}, Case{8, 0, 256}, Case{8, 16, 16}, Case{24, 0, 0},
                   Case{32, 0, 0}, Case{16, 0, 0}, Case{2, 0, 0}, Case{0, 0, 0}, Case{32, 3, 3},
                   Case{8, 0x10005, 5}}) {
        EXPECT_EQ(PaletteEntryCount(Header(c.bitCount, 32, c.clrUsed)), c.expected) << c.bitCount << "/" << c.clrUsed;
    }
    EXPECT_EQ(ColourTableBytes(Header(8, 32)), 1024u);
    EXPECT_EQ(ColourTableBytes(Header(8, 32, 0xFFFF)), (4u * 0xFFFF) & 0xFFFF);  // a 16-bit quantity
}

TEST(BitmapHeader, RowStrideRoundsRowsUpToFourBytes) {
    struct Case { std::uint16_t bitCount; std::int32_t width; std::uint16_t planes; std::int32_t expected; };
    for (auto c : {Case{4, 32, 1, 16}, Case{1, 16, 1, 4}, Case{24, 20, 1, 60}, Case{24, 48, 1, 144},
                   Case{32, 256, 1, 1024}, Case{1, 1, 1, 4}, Case{8, 3, 2, 8}, Case{0, 32, 1, 0}}) {
        EXPECT_EQ(RowStride(Header(c.bitCount, c.width, 0, c.planes)), c.expected) << c.bitCount << "x" << c.width;
    }
    // A width whose bit count overflows 32 bits wraps in RowStride but not in the exact form.
    auto huge = Header(32, 0x7FFFFFFF);
    EXPECT_EQ(RowStrideExact(huge), ((32LL * 0x7FFFFFFF + 31) >> 3) & ~3LL);
    EXPECT_NE(RowStrideExact(huge), RowStride(huge));
}

TEST(AnalyseImage, FindsColourBitsAndMaskOfA4BitImage) {
    IconImage image;
    image.bytes = MakeBitmapImage({.width = 32, .height = 32, .bitCount = 4});
    ASSERT_EQ(image.byteCount(), 744u);
    AnalyseImage(image);
    EXPECT_EQ(image.width, 32);
    EXPECT_EQ(image.height, 32);
    EXPECT_EQ(image.bitDepth, 4u);
    EXPECT_EQ(image.header, 0u);
    EXPECT_EQ(image.xorBits, 104u);
    EXPECT_EQ(image.andMask, 616u);
    EXPECT_TRUE(image.IsWellFormed());
}

TEST(AnalyseImage, HeightIsHalfTheHeaderHeightTowardZero) {
    for (auto [stored, expected] : {std::pair{-64, -32}, std::pair{65, 32}, std::pair{-65, -32}, std::pair{1, 0}}) {
        IconImage image;
        image.bytes = MakeBitmapImage({.width = 1, .height = 1, .bitCount = 32});
        PutU32(image.bytes, 8, static_cast<std::uint32_t>(stored));
        AnalyseImage(image);
        EXPECT_EQ(image.height, expected) << stored;
    }
}

TEST(AnalyseImage, FlagsPositionsOutsideTheBytes) {
    struct Case { const char* what; std::size_t offset; std::uint32_t value; };
    const Case cases[] = {
        {"biSize past the image", 0, 100000},
        {"colour table past the image", 32, 60000},
        {"rows past the image", 4, 4096},
        {"huge width", 4, 0x7FFFFFFF},
        {"huge height", 8, 0x7FFFFFFE},
        {"negative height pulls the mask before the image", 8, static_cast<std::uint32_t>(-200)},
    };
    for (const auto& c : cases) {
        IconImage image;
        image.bytes = MakeBitmapImage({.width = 16, .height = 16, .bitCount = 8});
        PutU32(image.bytes, c.offset, c.value);
        AnalyseImage(image);
        EXPECT_FALSE(image.IsWellFormed()) << c.what;
    }
    IconImage shortImage;
    shortImage.bytes.resize(39);
    AnalyseImage(shortImage);
    EXPECT_FALSE(shortImage.header.has_value());
    EXPECT_FALSE(shortImage.IsWellFormed());
}

TEST(AnalyseImage, TakesPngSizeAndDepthFromItsHeader) {
    struct Case { std::uint32_t size; std::uint8_t depth; std::uint8_t colourType; std::uint32_t bits; };
    for (auto c : {Case{256, 8, 6, 32}, Case{48, 8, 2, 24}, Case{16, 4, 3, 4}, Case{313, 16, 4, 32}, Case{32, 1, 0, 1}}) {
        IconImage image;
        image.bytes = test::MakePngStub(c.size, c.size + 1, c.depth, c.colourType);
        AnalyseImage(image);
        EXPECT_TRUE(image.isPng());
        EXPECT_TRUE(image.IsWellFormed());
        EXPECT_EQ(image.width, static_cast<std::int32_t>(c.size));
        EXPECT_EQ(image.height, static_cast<std::int32_t>(c.size + 1));
        EXPECT_EQ(image.bitDepth, c.bits);
        EXPECT_FALSE(image.xorBits.has_value());
    }
    IconImage truncated;
    truncated.bytes = test::MakePngStub(32, 32);
    truncated.bytes.resize(20);
    AnalyseImage(truncated);
    EXPECT_TRUE(truncated.isPng());
    EXPECT_FALSE(truncated.IsWellFormed());
}

}  // namespace
}  // namespace nobrelt
