#include "engine/icon_file.h"

#include <vector>

#include "engine/byte_reader.h"
#include "engine/icon_image.h"

namespace nobrelt {
namespace {

constexpr std::uint16_t kIconResourceType = 1;
constexpr std::uint64_t kLargestOffset = 0x7FFFFFFF;  // offsets are signed 32-bit distances

std::optional<std::uint16_t> ReadWord(ByteSource& source, std::uint64_t offset) {
    std::array<std::byte, 2> word{};
    auto got = source.ReadAt(offset, word);
    if (!got || *got != word.size()) return std::nullopt;
    return *ByteReader(word).U16(0);
}

struct DirectoryEntry {
    std::uint32_t size;
    std::uint32_t offset;
};

// Checks every entry against the file before anything is allocated for the images.
Result<std::vector<DirectoryEntry>> ReadDirectory(ByteSource& source, std::uint16_t count) {
    const std::uint64_t directoryBytes = std::uint64_t{kIconDirectoryEntrySize} * count;
    if (kIconFileHeaderSize + directoryBytes > source.size()) return Failure{"icon directory runs past the end of the file"};
    std::vector<std::byte> directory(directoryBytes);
    auto got = source.ReadAt(kIconFileHeaderSize, directory);
    if (!got || *got != directory.size()) return Failure{"cannot read the icon directory"};

    ByteReader reader(directory);
    std::vector<DirectoryEntry> entries;
    entries.reserve(count);
    std::uint64_t totalBytes = 0;
    for (std::uint16_t i = 0; i < count; ++i) {
        const std::uint64_t at = std::uint64_t{kIconDirectoryEntrySize} * i;
        DirectoryEntry entry{*reader.U32(at + 8), *reader.U32(at + 12)};
        if (entry.offset > kLargestOffset) return Failure{"image " + std::to_string(i + 1) + " has an offset beyond 2 GiB"};
        if (std::uint64_t{entry.offset} + entry.size > source.size())
            return Failure{"image " + std::to_string(i + 1) + " runs past the end of the file"};
        totalBytes += entry.size;
        entries.push_back(entry);
    }
    // Images do not share bytes, so together they cannot be larger than the file.
    if (totalBytes > source.size()) return Failure{"the images claim more bytes than the file holds"};
    return entries;
}

}  // namespace

Result<IconSet> ReadIconSet(ByteSource& source) {
    auto reserved = ReadWord(source, 0);
    auto type = ReadWord(source, 2);
    auto count = ReadWord(source, 4);
    if (!reserved || !type || !count) return Failure{"too short for an icon file"};
    if (*reserved != 0 || *type != kIconResourceType) return Failure{"not an icon file"};

    auto entries = ReadDirectory(source, *count);
    if (!entries) return Failure{entries.reason()};

    IconSet set;
    set.images.resize(*count);
    for (std::uint16_t i = 0; i < *count; ++i) {
        IconImage& image = set.images[i];
        image.bytes.resize((*entries)[i].size);
        auto got = source.ReadAt((*entries)[i].offset, image.bytes);
        if (!got || *got != image.bytes.size()) return Failure{"cannot read image " + std::to_string(i + 1)};
        AnalyseImage(image);
        if (!image.IsWellFormed()) return Failure{"image " + std::to_string(i + 1) + " is damaged"};
    }
    return set;
}

Result<IconSet> ReadIconFileDetailed(const std::string& path) {
    auto file = InputFile::Open(path);
    if (!file) return Failure{file.reason()};
    auto set = ReadIconSet(*file);
    if (!set) return Failure{path + ": " + set.reason()};
    set->iconFileName = NameField(path);
    return set;
}

std::optional<IconSet> ReadIconFile(const std::string& path) { return ReadIconFileDetailed(path).ToOptional(); }

std::array<std::byte, kIconDirectoryEntrySize> IconDirectoryEntry(const IconImage& image, std::uint32_t imageOffset) {
    // Sizes of 256 and more are stored as 0, the format's "256 or more".
    auto sizeByte = [](std::int32_t pixels) {
        return static_cast<std::byte>(pixels >= 256 ? 0 : static_cast<std::uint32_t>(pixels) & 0xFF);
    };
    std::uint8_t colourCount = 0;
    std::uint16_t planes = 0;
    std::uint16_t bitCount = 0;
    if (image.isPng()) {
        planes = 1;
        bitCount = static_cast<std::uint16_t>(image.bitDepth);
    } else if (auto header = HeaderOf(image)) {
        planes = header->biPlanes;
        bitCount = header->biBitCount;
        std::uint32_t bits = std::uint32_t{planes} * bitCount;
        colourCount = bits < 8 ? static_cast<std::uint8_t>(1u << bits) : 0;
    }
    std::array<std::byte, kIconDirectoryEntrySize> entry{};
    entry[0] = sizeByte(image.width);
    entry[1] = sizeByte(image.height);
    entry[2] = static_cast<std::byte>(colourCount);
    PutU16(entry, 4, planes);
    PutU16(entry, 6, bitCount);
    PutU32(entry, 8, image.byteCount());
    PutU32(entry, 12, imageOffset);
    return entry;
}

Status WriteIconFileDetailed(const IconSet& set, const std::string& path) {
    if (set.images.size() > 0xFFFF) return Failure{"an icon file holds at most 65535 images"};
    // Header and directory are built in memory and go out with every image in one gathered
    // write: the file appears under its name only once it is complete, so the order of the
    // writes is invisible and one system call serves them all.
    std::vector<std::byte> headerAndDirectory(kIconFileHeaderSize + kIconDirectoryEntrySize * set.images.size());
    PutU16(headerAndDirectory, 2, kIconResourceType);
    PutU16(headerAndDirectory, 4, static_cast<std::uint16_t>(set.images.size()));
    std::uint64_t offset = headerAndDirectory.size();
    for (std::size_t i = 0; i < set.images.size(); ++i) {
        if (offset > 0xFFFFFFFF) return Failure{"an icon file cannot exceed 4 GiB"};
        const auto entry = IconDirectoryEntry(set.images[i], static_cast<std::uint32_t>(offset));
        std::copy(entry.begin(), entry.end(), headerAndDirectory.begin() + kIconFileHeaderSize + kIconDirectoryEntrySize * i);
        offset += set.images[i].byteCount();
    }
    // biSizeImage goes out as 0; the set keeps its own value.
    static constexpr std::array<std::byte, 4> kZeroSizeImage{};
    std::vector<std::span<const std::byte>> pieces{headerAndDirectory};
    pieces.reserve(1 + 3 * set.images.size());
    for (const IconImage& image : set.images) {
        std::span<const std::byte> bytes = image.bytes;
        if (!image.isPng() && bytes.size() >= kSizeImageOffset + 4) {
            pieces.insert(pieces.end(), {bytes.first(kSizeImageOffset), kZeroSizeImage, bytes.subspan(kSizeImageOffset + 4)});
        } else {
            pieces.push_back(bytes);
        }
    }

    auto file = AtomicOutputFile::Create(path);
    if (!file) return Failure{file.reason()};
    if (auto written = file->WriteGather(pieces); !written) return written;
    return file->Commit();
}

void WriteIconFile(const IconSet& set, const std::string& path) { (void)WriteIconFileDetailed(set, path); }

}  // namespace nobrelt
