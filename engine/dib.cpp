#include "engine/dib.h"

#include "engine/bitmap_header.h"
#include "engine/byte_reader.h"
#include "engine/icon_image.h"
#include "engine/png_decode.h"

namespace nobrelt {
namespace {

constexpr std::size_t kHeightOffset = 8;

Result<Dib> DibOfBitmap(const IconImage& image) {
    auto header = HeaderOf(image);
    if (!header) return Failure{"the image is shorter than its bitmap header"};
    // A smaller header is another layout (BITMAPCOREHEADER) whose fields we would misread.
    if (header->biSize < kBitmapInfoHeaderSize)
        return Failure{"the image's bitmap header claims " + std::to_string(header->biSize) + " bytes, fewer than 40"};
    // The analysis leaves a position unset when it falls outside the bytes.
    if (!image.xorBits || !image.andMask || *image.andMask < *image.xorBits)
        return Failure{"the image's header claims more pixel bits than the image holds"};

    Dib dib;
    dib.block = image.bytes;
    PutU32(dib.block, kHeightOffset, static_cast<std::uint32_t>(header->biHeight / 2));
    dib.pixelOffset = *image.xorBits;
    dib.pixelEnd = *image.andMask;
    return dib;
}

Result<Dib> DibOfPng(const IconImage& image) {
    auto png = DecodePng(image.bytes);
    if (!png) return Failure{png.reason()};
    const std::size_t pixelBytes = png->bgraBottomUp.size();

    Dib dib;
    dib.block.resize(kBitmapInfoHeaderSize);
    PutU32(dib.block, 0, kBitmapInfoHeaderSize);
    PutU32(dib.block, 4, png->width);
    PutU32(dib.block, 8, png->height);  // positive: bottom-up
    PutU16(dib.block, 12, 1);
    PutU16(dib.block, 14, 32);
    PutU32(dib.block, kSizeImageOffset, static_cast<std::uint32_t>(pixelBytes));
    dib.block.insert(dib.block.end(), png->bgraBottomUp.begin(), png->bgraBottomUp.end());
    dib.pixelOffset = kBitmapInfoHeaderSize;
    dib.pixelEnd = dib.block.size();
    return dib;
}

}  // namespace

Result<Dib> MakeDib(const IconImage& image) {
    return image.isPng() ? DibOfPng(image) : DibOfBitmap(image);
}

}  // namespace nobrelt
