#pragma once
// Small builders for icon images, icon files and scratch directories used across the tests.
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <initializer_list>
#include <iterator>
#include <stdexcept>
#include <string>
#include <vector>

#include "engine/byte_reader.h"

namespace nobrelt::test {

using Bytes = std::vector<std::byte>;

class TempDir {
public:
    TempDir() {
        std::string pattern = (std::filesystem::temp_directory_path() / "nobrelt-test-XXXXXX").string();
        if (::mkdtemp(pattern.data()) == nullptr) throw std::runtime_error("cannot create a temporary directory");
        path_ = pattern;
    }
    ~TempDir() {
        std::error_code ignored;
        std::filesystem::remove_all(path_, ignored);
    }
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;
    const std::filesystem::path& path() const { return path_; }
    std::string operator/(const std::string& name) const { return (path_ / name).string(); }

private:
    std::filesystem::path path_;
};

inline Bytes ReadBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::vector<char> chars((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    Bytes bytes(chars.size());
    for (std::size_t i = 0; i < chars.size(); ++i) bytes[i] = static_cast<std::byte>(chars[i]);
    return bytes;
}

inline void WriteBytes(const std::string& path, const Bytes& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

inline std::uint32_t ReadU32(const Bytes& bytes, std::size_t offset) { return *ByteReader(bytes).U32(offset); }
inline std::uint16_t ReadU16(const Bytes& bytes, std::size_t offset) { return *ByteReader(bytes).U16(offset); }

struct BitmapSpec {
    std::int32_t width = 32;
    std::int32_t height = 32;  // picture height; the header stores twice this
    std::uint16_t bitCount = 4;
    std::uint16_t planes = 1;
    std::uint32_t clrUsed = 0;
    std::uint32_t sizeImage = 0;
    std::uint8_t fill = 0x5A;  // pixel bytes, so that images differ
};

// A complete bitmap icon image: header, colour table, XOR rows and AND mask.
inline Bytes MakeBitmapImage(const BitmapSpec& spec) {
    std::uint32_t palette = spec.clrUsed ? spec.clrUsed : (spec.bitCount == 1 ? 2 : spec.bitCount == 4 ? 16 : spec.bitCount == 8 ? 256 : 0);
    std::size_t xorStride = ((std::size_t(spec.bitCount) * spec.planes * spec.width + 31) / 32) * 4;
    std::size_t andStride = ((std::size_t(spec.width) + 31) / 32) * 4;
    Bytes image(40 + 4 * palette + (xorStride + andStride) * spec.height, std::byte{spec.fill});
    for (std::size_t i = 0; i < 40; ++i) image.at(i) = std::byte{0};
    PutU32(image, 0, 40);
    PutU32(image, 4, static_cast<std::uint32_t>(spec.width));
    PutU32(image, 8, static_cast<std::uint32_t>(spec.height * 2));
    PutU16(image, 12, spec.planes);
    PutU16(image, 14, spec.bitCount);
    PutU32(image, 20, spec.sizeImage);
    PutU32(image, 32, spec.clrUsed);
    return image;
}

// The start of a PNG file: signature and IHDR chunk (enough to be recognised and measured).
inline Bytes MakePngStub(std::uint32_t width, std::uint32_t height, std::uint8_t depth = 8, std::uint8_t colourType = 6) {
    Bytes png = {std::byte{0x89}, std::byte{'P'}, std::byte{'N'}, std::byte{'G'},
                 std::byte{'\r'}, std::byte{'\n'}, std::byte{0x1A}, std::byte{'\n'}};
    auto big = [&png](std::uint32_t v) {
        for (int shift = 24; shift >= 0; shift -= 8) png.push_back(std::byte((v >> shift) & 0xFF));
    };
    big(13);
    for (char c : std::string("IHDR")) png.push_back(std::byte(c));
    big(width);
    big(height);
    png.push_back(std::byte{depth});
    png.push_back(std::byte{colourType});
    for (int i = 0; i < 3 + 4 + 20; ++i) png.push_back(std::byte(i));  // rest of IHDR, CRC, filler
    return png;
}

struct IconFileEntry {
    Bytes image;
    std::uint8_t width = 0, height = 0, colours = 0;  // what the directory claims
    std::uint16_t planes = 0, bitCount = 0;
};

// An icon file with images packed behind the directory in order, the directory filled with
// whatever the entries claim.
inline Bytes MakeIconFile(const std::vector<IconFileEntry>& entries) {
    Bytes file(6 + 16 * entries.size());
    PutU16(file, 2, 1);
    PutU16(file, 4, static_cast<std::uint16_t>(entries.size()));
    std::uint32_t offset = static_cast<std::uint32_t>(file.size());
    for (std::size_t i = 0; i < entries.size(); ++i) {
        std::size_t at = 6 + 16 * i;
        file[at] = std::byte{entries[i].width};
        file[at + 1] = std::byte{entries[i].height};
        file[at + 2] = std::byte{entries[i].colours};
        PutU16(file, at + 4, entries[i].planes);
        PutU16(file, at + 6, entries[i].bitCount);
        PutU32(file, at + 8, static_cast<std::uint32_t>(entries[i].image.size()));
        PutU32(file, at + 12, offset);
        offset += static_cast<std::uint32_t>(entries[i].image.size());
    }
    for (const auto& entry : entries) file.insert(file.end(), entry.image.begin(), entry.image.end());
    return file;
}

}  // namespace nobrelt::test
