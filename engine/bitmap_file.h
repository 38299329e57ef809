#pragma once
// Writes one icon image as a bitmap (.bmp) file: a 14-byte file header, then the image's
// bitmap header with the picture's height, its colour table and its colour (XOR) bits.
#include <string>

#include "engine/icon_set.h"
#include "engine/result.h"

namespace nobrelt {

inline constexpr std::size_t kBitmapFileHeaderSize = 14;

// Replaces any file of that name atomically; a file held locked elsewhere is left alone.
// The outcome is not reported; WriteBitmapFileDetailed reports it.
void WriteBitmapFile(const std::string& path, const IconImage& image);
Status WriteBitmapFileDetailed(const std::string& path, const IconImage& image);

}  // namespace nobrelt
