#include "engine/png_decode.h"

#include <png.h>

#include <string>

namespace nobrelt {
namespace {

// Deflate expands its input at most about 1032 times, and one bit of raw PNG data (a
// 1-bit pixel) becomes 4 bytes of output: a size beyond this bound is a lie.
constexpr std::uint64_t kMaxExpansion = 1100 * 32;

// Releases whatever the PNG library holds for an image, on every path out.
class PngImage {
public:
    PngImage() {
        image_.version = PNG_IMAGE_VERSION;
    }
    ~PngImage() { png_image_free(&image_); }
    PngImage(const PngImage&) = delete;
    PngImage& operator=(const PngImage&) = delete;
    png_image* get() { return &image_; }
    std::string message() const { return image_.message; }

private:
    png_image image_{};
};

}  // namespace

Result<DecodedPng> DecodePng(std::span<const std::byte> png) {
    PngImage image;
    if (!png_image_begin_read_from_memory(image.get(), png.data(), png.size()))
        return Failure{"cannot decode the PNG image: " + image.message()};

    const std::uint64_t width = image.get()->width;
    const std::uint64_t height = image.get()->height;
    const std::uint64_t bytes = width * height * 4;
    if (bytes > kMaxDecodedPngBytes || bytes > png.size() * kMaxExpansion)
        return Failure{"the PNG image claims " + std::to_string(width) + " x " + std::to_string(height) +
                       " pixels, more than it can hold"};

    DecodedPng decoded;
    decoded.width = static_cast<std::uint32_t>(width);
    decoded.height = static_cast<std::uint32_t>(height);
    decoded.bgraBottomUp.resize(bytes);
    image.get()->format = PNG_FORMAT_BGRA;
    // A negative stride asks for the bottom row first, as a bottom-up bitmap stores it.
    const auto stride = -static_cast<png_int_32>(width * 4);
    if (!png_image_finish_read(image.get(), nullptr, decoded.bgraBottomUp.data(), stride, nullptr))
        return Failure{"cannot decode the PNG image: " + image.message()};
    return decoded;
}

}  // namespace nobrelt
