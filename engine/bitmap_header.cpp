#include "engine/bitmap_header.h"

#include "engine/byte_reader.h"

namespace nobrelt {

std::optional<BitmapInfoHeader> ParseBitmapInfoHeader(std::span<const std::byte> bytes) {
    ByteReader reader(bytes);
    if (!reader.Contains(0, kBitmapInfoHeaderSize)) return std::nullopt;
    BitmapInfoHeader header;
    header.biSize = *reader.U32(0);
    header.biWidth = *reader.I32(4);
    header.biHeight = *reader.I32(8);
    header.biPlanes = *reader.U16(12);
    header.biBitCount = *reader.U16(14);
    header.biCompression = *reader.U32(16);
    header.biSizeImage = *reader.U32(20);
    header.biXPelsPerMeter = *reader.I32(24);
    header.biYPelsPerMeter = *reader.I32(28);
    header.biClrUsed = *reader.U32(32);
    header.biClrImportant = *reader.U32(36);
    return header;
}

std::uint16_t PaletteEntryCount(const BitmapInfoHeader& header) {
    if (header.biClrUsed != 0) return static_cast<std::uint16_t>(header.biClrUsed & 0xFFFF);
    switch (header.biBitCount) {
        case 1: return 2;
        case 4: return 16;
        case 8: return 256;
        default: return 0;
    }
}

std::int64_t RowStrideExact(const BitmapInfoHeader& header) {
    std::int64_t bits = std::int64_t{header.biBitCount} * header.biPlanes * header.biWidth;
    return ((bits + 31) >> 3) & ~std::int64_t{3};
}

std::int32_t RowStride(const BitmapInfoHeader& header) {
    // Two's-complement wrap of the 32-bit product, then the rounding, as 32-bit arithmetic gives it.
    auto wrap = [](std::int64_t value) { return static_cast<std::int32_t>(static_cast<std::uint32_t>(value)); };
    std::int32_t bits = wrap(std::int64_t{header.biBitCount} * header.biPlanes * header.biWidth);
    std::int32_t rounded = wrap(std::int64_t{bits} + 31);
    return (rounded >> 3) & ~std::int32_t{3};
}

std::uint32_t ColourTableBytes(const BitmapInfoHeader& header) {
    return (4u * PaletteEntryCount(header)) & 0xFFFFu;
}

}  // namespace nobrelt
