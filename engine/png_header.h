#pragma once
// Recognises PNG-compressed icon images and reads their size and depth from the IHDR chunk.
#include <cstdint>
#include <optional>
#include <span>

namespace nobrelt {

bool HasPngSignature(std::span<const std::byte> bytes);

struct PngHeader {
    std::uint32_t width = 0;
    std::uint32_t height = 0;
    std::uint8_t bitDepth = 0;
    std::uint8_t colourType = 0;
    // Bits per pixel: bit depth times the channels of the colour type.
    std::uint32_t BitsPerPixel() const;
};

// None when the bytes do not start with a PNG signature followed by an IHDR chunk.
std::optional<PngHeader> ParsePngHeader(std::span<const std::byte> bytes);

}  // namespace nobrelt
