#pragma once
// Resource names arrive as UTF-16 (PE modules) or as 8-bit text (NE modules); the engine
// hands every text on as UTF-8.
#include <cstddef>
#include <span>
#include <string>

namespace nobrelt {

// Little-endian UTF-16 code units to UTF-8. Surrogate pairs become one code point; a
// surrogate without its partner becomes U+FFFD. An odd trailing byte is ignored.
std::string Utf16LeToUtf8(std::span<const std::byte> units);

// 8-bit text of unknown code page to UTF-8: text that already is valid UTF-8 (ASCII
// included) stays as it is; anything else is read as Latin-1, one character per byte, so
// that no byte is lost and the result is always valid UTF-8.
std::string EightBitToUtf8(std::span<const std::byte> text);

bool IsValidUtf8(std::span<const std::byte> text);

}  // namespace nobrelt
