#include "engine/text_encoding.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace nobrelt {
namespace {

std::vector<std::byte> Utf16Le(const std::vector<std::uint16_t>& units) {
    std::vector<std::byte> bytes;
    for (std::uint16_t unit : units) {
        bytes.push_back(static_cast<std::byte>(unit & 0xFF));
        bytes.push_back(static_cast<std::byte>(unit >> 8));
    }
    return bytes;
}

std::vector<std::byte> Bytes(const std::string& text) {
    std::vector<std::byte> bytes;
    for (char c : text) bytes.push_back(static_cast<std::byte>(c));
    return bytes;
}

TEST(TextEncodingTest, Utf16BecomesUtf8) {
    struct Case {
        const char* name;
        std::vector<std::uint16_t> units;
        std::string utf8;
    };
    const std::vector<Case> cases = {
        {"empty", {}, ""},
        {"ASCII", {'M', 'A', 'I', 'N'}, "MAIN"},
        {"Latin", {0x00DC, 'B'}, "\xC3\x9C" "B"},                       // Ü
        {"CJK, not its low bytes", {0x56FE, 0x6807}, "\xE5\x9B\xBE\xE6\xA0\x87"},  // 图标
        {"surrogate pair", {0xD83D, 0xDE00}, "\xF0\x9F\x98\x80"},       // 😀
        {"highest code point", {0xDBFF, 0xDFFF}, "\xF4\x8F\xBF\xBF"},
        {"lone high surrogate at the end", {'A', 0xD83D}, "A\xEF\xBF\xBD"},
        {"high surrogate before a letter", {0xD83D, 'A'}, "\xEF\xBF\xBD" "A"},
        {"lone low surrogate", {0xDE00, 'A'}, "\xEF\xBF\xBD" "A"},
        {"two high surrogates then a low one", {0xD83D, 0xD83D, 0xDE00}, "\xEF\xBF\xBD\xF0\x9F\x98\x80"},
        {"zero unit kept", {'A', 0, 'B'}, std::string("A\0B", 3)},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(Utf16LeToUtf8(Utf16Le(c.units)), c.utf8) << c.name;
    }
    auto odd = Utf16Le({'O', 'K'});
    odd.push_back(std::byte{'!'});
    EXPECT_EQ(Utf16LeToUtf8(odd), "OK");
}

TEST(TextEncodingTest, EightBitTextBecomesUtf8) {
    struct Case {
        const char* name;
        std::string bytes;
        std::string utf8;
    };
    const std::vector<Case> cases = {
        {"ASCII", "ZETA", "ZETA"},
        {"Latin-1", "CAF\xC9", "CAF\xC3\x89"},
        {"already UTF-8", "CAF\xC3\x89", "CAF\xC3\x89"},
        {"overlong UTF-8 is Latin-1", "\xC0\x80", "\xC3\x80\xC2\x80"},
        {"encoded surrogate is Latin-1", "\xED\xA0\x80", "\xC3\xAD\xC2\xA0\xC2\x80"},
        {"cut sequence is Latin-1", "A\xE5\x9B", "A\xC3\xA5\xC2\x9B"},
        {"beyond U+10FFFF is Latin-1", "\xF4\x90\x80\x80", "\xC3\xB4\xC2\x90\xC2\x80\xC2\x80"},
    };
    for (const auto& c : cases) {
        const std::string utf8 = EightBitToUtf8(Bytes(c.bytes));
        EXPECT_EQ(utf8, c.utf8) << c.name;
        EXPECT_TRUE(IsValidUtf8(Bytes(utf8))) << c.name;
    }
}

}  // namespace
}  // namespace nobrelt
