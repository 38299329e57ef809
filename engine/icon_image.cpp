#include "engine/icon_image.h"

#include <limits>

#include "engine/png_header.h"

namespace nobrelt {
namespace {

std::int32_t ClampToInt32(std::uint32_t value) {
    return static_cast<std::int32_t>(std::min<std::uint32_t>(value, std::numeric_limits<std::int32_t>::max()));
}

std::optional<std::size_t> PositionInside(std::int64_t position, std::size_t size) {
    if (position < 0 || static_cast<std::uint64_t>(position) > size) return std::nullopt;
    return static_cast<std::size_t>(position);
}

void AnalysePng(IconImage& image) {
    image.format = ImageFormat::Png;
    image.header = image.xorBits = image.andMask = std::nullopt;
    auto png = ParsePngHeader(image.bytes);
    if (!png) {
        image.width = image.height = 0;
        image.bitDepth = 0;
        return;
    }
    image.width = ClampToInt32(png->width);
    image.height = ClampToInt32(png->height);
    image.bitDepth = png->BitsPerPixel();
}

void AnalyseBitmap(IconImage& image) {
    image.format = ImageFormat::Bitmap;
    image.header = image.xorBits = image.andMask = std::nullopt;
    auto header = ParseBitmapInfoHeader(image.bytes);
    if (!header) {
        image.width = image.height = 0;
        image.bitDepth = 0;
        return;
    }
    image.header = 0;
    image.width = header->biWidth;
    image.height = header->biHeight / 2;
    image.bitDepth = std::uint32_t{header->biPlanes} * header->biBitCount;

    const std::size_t size = image.bytes.size();
    std::int64_t xorBits = std::int64_t{header->biSize} + ColourTableBytes(*header);
    image.xorBits = PositionInside(xorBits, size);
    std::int64_t xorLength = 0;
    std::int64_t andMask = 0;
    if (image.xorBits && !__builtin_mul_overflow(RowStrideExact(*header), std::int64_t{image.height}, &xorLength) &&
        !__builtin_add_overflow(xorBits, xorLength, &andMask))
        image.andMask = PositionInside(andMask, size);
}

}  // namespace

void AnalyseImage(IconImage& image) {
    if (HasPngSignature(image.bytes))
        AnalysePng(image);
    else
        AnalyseBitmap(image);
}

std::optional<BitmapInfoHeader> HeaderOf(const IconImage& image) {
    if (image.isPng()) return std::nullopt;
    return ParseBitmapInfoHeader(image.bytes);
}

bool IconImage::IsWellFormed() const {
    if (isPng()) return ParsePngHeader(bytes).has_value();
    return header && xorBits && andMask;
}

std::string NameField(const std::string& path) { return path.substr(0, kNameFieldLength); }

}  // namespace nobrelt
