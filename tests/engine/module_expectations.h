#pragma once
// What extracting a group must give, assembled here from the raw group and icon resources
// and the images' own headers, without the engine's group loader or icon file writer.
#include <optional>
#include <string>
#include <vector>

#include "engine/module_reader.h"
#include "test_support.h"

namespace nobrelt::test {

// The directory entry an icon file holds for an image, from the image's own header.
inline IconFileEntry NormalisedEntry(Bytes image) {
    auto sizeByte = [](std::uint32_t pixels) { return static_cast<std::uint8_t>(pixels >= 256 ? 0 : pixels); };
    IconFileEntry entry;
    const bool png = image.size() >= 8 && image[0] == std::byte{0x89} && image[1] == std::byte{'P'};
    if (png) {
        auto big = [&image](std::size_t at) {
            std::uint32_t value = 0;
            for (std::size_t i = 0; i < 4; ++i) value = (value << 8) | static_cast<std::uint8_t>(image[at + i]);
            return value;
        };
        const std::uint8_t depth = static_cast<std::uint8_t>(image[24]);
        const std::uint8_t colourType = static_cast<std::uint8_t>(image[25]);
        const std::uint8_t channels = colourType == 6 ? 4 : colourType == 2 ? 3 : colourType == 4 ? 2 : 1;
        entry.width = sizeByte(big(16));
        entry.height = sizeByte(big(20));
        entry.planes = 1;
        entry.bitCount = static_cast<std::uint16_t>(depth * channels);
    } else {
        const auto width = static_cast<std::int32_t>(ReadU32(image, 4));
        const auto height = static_cast<std::int32_t>(ReadU32(image, 8)) / 2;
        entry.planes = ReadU16(image, 12);
        entry.bitCount = ReadU16(image, 14);
        const unsigned bits = unsigned{entry.planes} * entry.bitCount;
        entry.width = sizeByte(static_cast<std::uint32_t>(width));
        entry.height = sizeByte(static_cast<std::uint32_t>(height));
        entry.colours = bits < 8 ? static_cast<std::uint8_t>(1u << bits) : 0;
        PutU32(image, 20, 0);  // biSizeImage is written as 0
    }
    entry.image = std::move(image);
    return entry;
}

inline Bytes NormalisedIconFile(const std::vector<Bytes>& images) {
    std::vector<IconFileEntry> entries;
    for (const Bytes& image : images) entries.push_back(NormalisedEntry(image));
    return MakeIconFile(entries);
}

// The images of a module's group n (1-based) in the order the group lists them; none when
// the group names an icon the module lacks.
inline std::optional<std::vector<Bytes>> GroupImages(const std::string& modulePath, std::size_t n) {
    auto module = ModuleReader::Open(modulePath);
    if (!module) return std::nullopt;
    auto names = module->EnumerateNames(RT_GROUP_ICON);
    if (!names || n < 1 || n > names->size()) return std::nullopt;
    auto group = module->FindResource(RT_GROUP_ICON, (*names)[n - 1]);
    if (!group) return std::nullopt;
    const Bytes groupBytes(group->begin(), group->end());
    std::vector<Bytes> images;
    for (std::size_t i = 0; i < ReadU16(groupBytes, 4); ++i) {
        auto icon = module->FindResource(RT_ICON, ResourceName{ReadU16(groupBytes, 6 + 14 * i + 12)});
        if (!icon) return std::nullopt;
        images.emplace_back(icon->begin(), icon->end());
    }
    return images;
}

}  // namespace nobrelt::test
