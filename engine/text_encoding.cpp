#include "engine/text_encoding.h"

#include <cstdint>

namespace nobrelt {
namespace {

constexpr char32_t kReplacementCharacter = 0xFFFD;

void AppendUtf8(std::string& out, char32_t codePoint) {
    auto put = [&out](char32_t bits) { out.push_back(static_cast<char>(bits)); };
    if (codePoint < 0x80) {
        put(codePoint);
    } else if (codePoint < 0x800) {
        put(0xC0 | (codePoint >> 6));
        put(0x80 | (codePoint & 0x3F));
    } else if (codePoint < 0x10000) {
        put(0xE0 | (codePoint >> 12));
        put(0x80 | ((codePoint >> 6) & 0x3F));
        put(0x80 | (codePoint & 0x3F));
    } else {
        put(0xF0 | (codePoint >> 18));
        put(0x80 | ((codePoint >> 12) & 0x3F));
        put(0x80 | ((codePoint >> 6) & 0x3F));
        put(0x80 | (codePoint & 0x3F));
    }
}

bool IsHighSurrogate(char32_t unit) { return unit >= 0xD800 && unit <= 0xDBFF; }
bool IsLowSurrogate(char32_t unit) { return unit >= 0xDC00 && unit <= 0xDFFF; }

// The length of the UTF-8 sequence that starts at text[at], or 0 when none is valid there.
std::size_t Utf8SequenceLength(std::span<const std::byte> text, std::size_t at) {
    const auto byte = [&text](std::size_t i) { return static_cast<std::uint8_t>(text[i]); };
    const std::uint8_t lead = byte(at);
    if (lead < 0x80) return 1;
    std::size_t length = 0;
    char32_t codePoint = 0;
    char32_t smallest = 0;
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2, codePoint = lead & 0x1F, smallest = 0x80;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3, codePoint = lead & 0x0F, smallest = 0x800;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4, codePoint = lead & 0x07, smallest = 0x10000;
    } else {
        return 0;
    }
    if (text.size() - at < length) return 0;
    for (std::size_t i = 1; i < length; ++i) {
        if ((byte(at + i) & 0xC0) != 0x80) return 0;
        codePoint = (codePoint << 6) | (byte(at + i) & 0x3F);
    }
    const bool surrogate = codePoint >= 0xD800 && codePoint <= 0xDFFF;
    if (codePoint < smallest || surrogate || codePoint > 0x10FFFF) return 0;
    return length;
}

}  // namespace

std::string Utf16LeToUtf8(std::span<const std::byte> units) {
    const std::size_t count = units.size() / 2;
    const auto unit = [&units](std::size_t i) {
        return static_cast<char32_t>(static_cast<std::uint8_t>(units[2 * i]) |
                                     (static_cast<std::uint8_t>(units[2 * i + 1]) << 8));
    };
    std::string out;
    out.reserve(count);
    for (std::size_t i = 0; i < count; ++i) {
        const char32_t first = unit(i);
        if (IsHighSurrogate(first) && i + 1 < count && IsLowSurrogate(unit(i + 1))) {
            AppendUtf8(out, 0x10000 + ((first - 0xD800) << 10) + (unit(i + 1) - 0xDC00));
            ++i;
        } else if (IsHighSurrogate(first) || IsLowSurrogate(first)) {
            AppendUtf8(out, kReplacementCharacter);
        } else {
            AppendUtf8(out, first);
        }
    }
    return out;
}

bool IsValidUtf8(std::span<const std::byte> text) {
    for (std::size_t at = 0; at < text.size();) {
        const std::size_t length = Utf8SequenceLength(text, at);
        if (length == 0) return false;
        at += length;
    }
    return true;
}

std::string EightBitToUtf8(std::span<const std::byte> text) {
    std::string out;
    if (IsValidUtf8(text)) {
        for (std::byte b : text) out.push_back(static_cast<char>(b));
        return out;
    }
    out.reserve(2 * text.size());
    for (std::byte b : text) AppendUtf8(out, static_cast<std::uint8_t>(b));
    return out;
}

}  // namespace nobrelt
