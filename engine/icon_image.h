#pragma once
#include "engine/bitmap_header.h"
#include "engine/icon_set.h"

namespace nobrelt {

// Fills size, depth, format and the positions of header, colour bits and mask from the
// image's own bytes. PNG images take their size and depth from the PNG header. A position
// that would fall outside bytes is left as none; nothing outside bytes is read.
void AnalyseImage(IconImage& image);

// The image's bitmap header, when it has one.
std::optional<BitmapInfoHeader> HeaderOf(const IconImage& image);

}  // namespace nobrelt
