// The icon file reader on arbitrary bytes. Whatever it accepts must write, read back to the
// same images, and be a fixed point of normalisation: writing the read-back set again gives
// the very same file.
#include "engine/bitmap_header.h"
#include "engine/icon_file.h"
#include "fuzz/fuzz_support.h"

namespace nobrelt {
namespace {

bool SameImages(const IconSet& read, const IconSet& reread) {
    if (read.imageCount() != reread.imageCount()) return false;
    for (std::size_t i = 0; i < read.images.size(); ++i) {
        const IconImage& a = read.images[i];
        const IconImage& b = reread.images[i];
        if (a.width != b.width || a.height != b.height || a.bitDepth != b.bitDepth || a.format != b.format ||
            a.byteCount() != b.byteCount())
            return false;
        // The writer zeroes biSizeImage of bitmap images and carries every other byte.
        for (std::size_t at = 0; at < a.bytes.size(); ++at) {
            bool sizeImage = !a.isPng() && at >= kSizeImageOffset && at < kSizeImageOffset + 4;
            if (b.bytes[at] != (sizeImage ? std::byte{0} : a.bytes[at])) return false;
        }
    }
    return true;
}

}  // namespace
}  // namespace nobrelt

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace nobrelt;
    MemorySource source(fuzz::InputBytes(data, size));
    auto set = ReadIconSet(source);
    if (!set) return 0;

    const std::string first = fuzz::ScratchDir() / "first.ico";
    const std::string second = fuzz::ScratchDir() / "second.ico";
    fuzz::Require(WriteIconFileDetailed(*set, first).ok(), "a set that was read can be written");
    auto reread = ReadIconFile(first);
    fuzz::Require(reread.has_value(), "a written icon file reads back");
    fuzz::Require(SameImages(*set, *reread), "reading back gives the same images");
    fuzz::Require(WriteIconFileDetailed(*reread, second).ok(), "a read-back set can be written");
    fuzz::Require(test::ReadBytes(first) == test::ReadBytes(second), "normalisation is a fixed point");
    return 0;
}
