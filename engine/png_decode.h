#pragma once
// Decodes a PNG-compressed icon image into the pixels a 32-bit bitmap holds. This is the one
// place the engine uses the PNG library.
#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

#include "engine/result.h"

namespace nobrelt {

struct DecodedPng {
    std::uint32_t width = 0;
    std::uint32_t height = 0;
    // 4 bytes per pixel in the order blue, green, red, alpha (not premultiplied), rows
    // bottom-up and unpadded: the pixel bits of a bottom-up 32-bit bitmap.
    std::vector<std::byte> bgraBottomUp;
};

// Largest decoded image accepted (an 8192 x 8192 picture); icons are far smaller.
inline constexpr std::uint64_t kMaxDecodedPngBytes = std::uint64_t{256} << 20;

// Fails for bytes that are not a complete, valid PNG, and for a picture whose claimed size
// is larger than its compressed data could hold or than kMaxDecodedPngBytes, before
// anything is allocated for it.
Result<DecodedPng> DecodePng(std::span<const std::byte> png);

}  // namespace nobrelt
