#pragma once
// One icon image as a device-independent bitmap: the block the clipboard takes as CF_DIB and
// the part of a bitmap file that follows its 14-byte file header. Both are made here.
#include <cstddef>
#include <vector>

#include "engine/icon_set.h"
#include "engine/result.h"

namespace nobrelt {

struct Dib {
    // Bitmap header (height of the picture, not of picture and mask), colour table and pixel
    // bits; a bitmap icon image keeps its AND mask behind them as trailing bytes.
    std::vector<std::byte> block;
    // Where the pixel bits begin in block, and where they end.
    std::size_t pixelOffset = 0;
    std::size_t pixelEnd = 0;
};

// A bitmap image: a copy of its bytes with biHeight halved (rounding toward zero). A PNG
// image: the bottom-up 32-bit bitmap it decodes to. Fails for an image whose header, colour
// table or pixel bits do not lie inside its bytes, and for a PNG that does not decode.
Result<Dib> MakeDib(const IconImage& image);

}  // namespace nobrelt
