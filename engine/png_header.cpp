#include "engine/png_header.h"

#include <array>
#include <cstring>

#include "engine/byte_reader.h"

namespace nobrelt {
namespace {
constexpr std::array<unsigned char, 8> kSignature{0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
}

bool HasPngSignature(std::span<const std::byte> bytes) {
    return bytes.size() >= kSignature.size() && std::memcmp(bytes.data(), kSignature.data(), kSignature.size()) == 0;
}

std::uint32_t PngHeader::BitsPerPixel() const {
    unsigned channels = 0;
    switch (colourType) {
        case 0: channels = 1; break;  // grey
        case 2: channels = 3; break;  // RGB
        case 3: channels = 1; break;  // palette index
        case 4: channels = 2; break;  // grey and alpha
        case 6: channels = 4; break;  // RGBA
        default: channels = 0; break;
    }
    return std::uint32_t{bitDepth} * channels;
}

std::optional<PngHeader> ParsePngHeader(std::span<const std::byte> bytes) {
    if (!HasPngSignature(bytes)) return std::nullopt;
    ByteReader reader(bytes);
    auto type = reader.Bytes(12, 4);
    if (!type || std::memcmp(type->data(), "IHDR", 4) != 0) return std::nullopt;
    auto width = reader.U32BigEndian(16);
    auto height = reader.U32BigEndian(20);
    auto depth = reader.U8(24);
    auto colour = reader.U8(25);
    if (!width || !height || !depth || !colour) return std::nullopt;
    return PngHeader{*width, *height, *depth, *colour};
}

}  // namespace nobrelt
