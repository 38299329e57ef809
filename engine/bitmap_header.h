#pragma once
// The BITMAPINFOHEADER at the start of every bitmap icon image, and the sizes derived from it.
#include <cstdint>
#include <optional>
#include <span>

namespace nobrelt {

inline constexpr std::size_t kBitmapInfoHeaderSize = 40;
inline constexpr std::size_t kSizeImageOffset = 20;

struct BitmapInfoHeader {
    std::uint32_t biSize = 0;
    std::int32_t biWidth = 0;
    std::int32_t biHeight = 0;
    std::uint16_t biPlanes = 0;
    std::uint16_t biBitCount = 0;
    std::uint32_t biCompression = 0;
    std::uint32_t biSizeImage = 0;
    std::int32_t biXPelsPerMeter = 0;
    std::int32_t biYPelsPerMeter = 0;
    std::uint32_t biClrUsed = 0;
    std::uint32_t biClrImportant = 0;
};

// None when the bytes are shorter than the 40-byte header.
std::optional<BitmapInfoHeader> ParseBitmapInfoHeader(std::span<const std::byte> bytes);

// Colour-table entries: biClrUsed when non-zero, else by bit count (1, 4, 8 bits: 2, 16, 256).
std::uint16_t PaletteEntryCount(const BitmapInfoHeader& header);

// Bytes per XOR row rounded up to 4, in signed 32-bit arithmetic as the format defines it.
std::int32_t RowStride(const BitmapInfoHeader& header);

// The same row length computed exactly, for positions that must not wrap.
std::int64_t RowStrideExact(const BitmapInfoHeader& header);

// Colour-table bytes: 4 per entry, as a 16-bit quantity.
std::uint32_t ColourTableBytes(const BitmapInfoHeader& header);

}  // namespace nobrelt
