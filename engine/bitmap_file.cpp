#include "engine/bitmap_file.h"

#include <array>
#include <limits>

#include "engine/byte_reader.h"
#include "engine/dib.h"
#include "engine/file_io.h"

namespace nobrelt {

Status WriteBitmapFileDetailed(const std::string& path, const IconImage& image) {
    auto dib = MakeDib(image);
    if (!dib) return Failure{dib.reason()};
    const std::span<const std::byte> written = std::span<const std::byte>(dib->block).first(dib->pixelEnd);
    const std::uint64_t fileSize = kBitmapFileHeaderSize + written.size();
    if (fileSize > std::numeric_limits<std::uint32_t>::max()) return Failure{"a bitmap file cannot exceed 4 GiB"};

    // The pixel bits follow the whole bitmap header, whatever its biSize, and the colour table.
    std::array<std::byte, kBitmapFileHeaderSize> fileHeader{std::byte{'B'}, std::byte{'M'}};
    PutU32(fileHeader, 2, static_cast<std::uint32_t>(fileSize));
    PutU32(fileHeader, 10, static_cast<std::uint32_t>(kBitmapFileHeaderSize + dib->pixelOffset));

    auto file = AtomicOutputFile::Create(path);
    if (!file) return Failure{file.reason()};
    if (auto done = file->WriteGather({fileHeader, written}); !done) return done;
    return file->Commit();
}

void WriteBitmapFile(const std::string& path, const IconImage& image) { (void)WriteBitmapFileDetailed(path, image); }

}  // namespace nobrelt
