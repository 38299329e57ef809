#pragma once
// Writes small, valid PNG files for tests: 8-bit RGBA, the pixel data in stored (uncompressed)
// deflate blocks, so that a test knows every pixel a decoder must give back.
#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "test_support.h"

namespace nobrelt::test {

struct Rgba {
    std::uint8_t r, g, b, a;
};

namespace png_detail {

inline std::uint32_t Crc32(const Bytes& bytes, std::size_t from) {
    std::uint32_t crc = 0xFFFFFFFFu;
    for (std::size_t i = from; i < bytes.size(); ++i) {
        crc ^= static_cast<std::uint8_t>(bytes[i]);
        for (int bit = 0; bit < 8; ++bit) crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1u)));
    }
    return ~crc;
}

inline void PutBigEndian(Bytes& out, std::uint32_t value) {
    for (int shift = 24; shift >= 0; shift -= 8) out.push_back(std::byte((value >> shift) & 0xFF));
}

inline void AppendChunk(Bytes& png, const std::string& type, const Bytes& data) {
    PutBigEndian(png, static_cast<std::uint32_t>(data.size()));
    const std::size_t typeStart = png.size();
    for (char c : type) png.push_back(std::byte(c));
    png.insert(png.end(), data.begin(), data.end());
    PutBigEndian(png, Crc32(png, typeStart));
}

// A zlib stream holding raw in stored blocks.
inline Bytes StoredZlib(const Bytes& raw) {
    Bytes out{std::byte{0x78}, std::byte{0x01}};
    std::size_t at = 0;
    do {
        const std::size_t length = std::min<std::size_t>(raw.size() - at, 0xFFFF);
        const bool last = at + length == raw.size();
        out.push_back(std::byte{last ? std::uint8_t{1} : std::uint8_t{0}});
        out.push_back(std::byte(length & 0xFF));
        out.push_back(std::byte(length >> 8));
        out.push_back(std::byte(~length & 0xFF));
        out.push_back(std::byte((~length >> 8) & 0xFF));
        out.insert(out.end(), raw.begin() + static_cast<std::ptrdiff_t>(at),
                   raw.begin() + static_cast<std::ptrdiff_t>(at + length));
        at += length;
    } while (at < raw.size());
    std::uint32_t a = 1, b = 0;
    for (std::byte byte : raw) {
        a = (a + static_cast<std::uint8_t>(byte)) % 65521;
        b = (b + a) % 65521;
    }
    PutBigEndian(out, (b << 16) | a);
    return out;
}

}  // namespace png_detail

// pixels: height rows of width pixels, top row first. The IHDR may claim another size
// (claimedWidth/claimedHeight) to make a PNG that lies about its size.
inline Bytes EncodePng(std::uint32_t width, std::uint32_t height, const std::vector<Rgba>& pixels,
                       std::uint32_t claimedWidth = 0, std::uint32_t claimedHeight = 0) {
    using namespace png_detail;
    Bytes png = {std::byte{0x89}, std::byte{'P'}, std::byte{'N'}, std::byte{'G'},
                 std::byte{'\r'}, std::byte{'\n'}, std::byte{0x1A}, std::byte{'\n'}};
    Bytes header;
    PutBigEndian(header, claimedWidth ? claimedWidth : width);
    PutBigEndian(header, claimedHeight ? claimedHeight : height);
    for (std::uint8_t value : {8, 6, 0, 0, 0}) header.push_back(std::byte{value});  // 8-bit RGBA
    AppendChunk(png, "IHDR", header);

    Bytes raw;
    for (std::uint32_t y = 0; y < height; ++y) {
        raw.push_back(std::byte{0});  // filter: none
        for (std::uint32_t x = 0; x < width; ++x) {
            const Rgba& p = pixels[y * width + x];
            for (std::uint8_t channel : {p.r, p.g, p.b, p.a}) raw.push_back(std::byte{channel});
        }
    }
    AppendChunk(png, "IDAT", StoredZlib(raw));
    AppendChunk(png, "IEND", {});
    return png;
}

// A picture whose every pixel differs, so that row order and channel order show.
inline std::vector<Rgba> GradientPixels(std::uint32_t width, std::uint32_t height) {
    std::vector<Rgba> pixels;
    for (std::uint32_t y = 0; y < height; ++y)
        for (std::uint32_t x = 0; x < width; ++x)
            pixels.push_back({static_cast<std::uint8_t>(x * 7), static_cast<std::uint8_t>(y * 11),
                              static_cast<std::uint8_t>(x + y), static_cast<std::uint8_t>(255 - x - y)});
    return pixels;
}

}  // namespace nobrelt::test
