#pragma once
// One icon group in memory. A set owns its images and each image owns its bytes; the
// positions of the header, colour bits and mask are offsets into those bytes.
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace nobrelt {

// Longest path a set remembers as its source name (the rest is cut).
inline constexpr std::size_t kNameFieldLength = 259;

enum class ImageFormat { Bitmap, Png };

struct IconImage {
    std::int32_t width = 0;
    std::int32_t height = 0;
    std::uint32_t bitDepth = 0;
    std::vector<std::byte> bytes;
    // Positions inside bytes; none where the image has no such part inside its bytes.
    std::optional<std::size_t> header;
    std::optional<std::size_t> xorBits;
    std::optional<std::size_t> andMask;
    ImageFormat format = ImageFormat::Bitmap;

    std::uint32_t byteCount() const { return static_cast<std::uint32_t>(bytes.size()); }
    bool isPng() const { return format == ImageFormat::Png; }
    // True when every position the analysis derived lies inside bytes.
    bool IsWellFormed() const;
};

struct IconSet {
    std::string iconFileName;
    std::string moduleFileName;
    std::vector<IconImage> images;

    std::uint32_t imageCount() const { return static_cast<std::uint32_t>(images.size()); }
};

// Keeps a path within the name field's length.
std::string NameField(const std::string& path);

}  // namespace nobrelt
