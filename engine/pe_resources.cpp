#include "engine/pe_resources.h"

#include <algorithm>
#include <string>

#include "engine/text_encoding.h"

namespace nobrelt {
namespace {

constexpr std::uint64_t kCoffHeaderSize = 20;
constexpr std::uint16_t kPe32Magic = 0x10B;
constexpr std::uint16_t kPe32PlusMagic = 0x20B;
constexpr std::uint64_t kSectionHeaderSize = 40;
constexpr std::uint64_t kDataDirectorySize = 8;
constexpr std::uint32_t kResourceDataDirectory = 2;

constexpr std::uint64_t kDirectoryHeaderSize = 16;
constexpr std::uint64_t kDirectoryEntrySize = 8;
constexpr std::uint64_t kDataEntrySize = 16;
constexpr std::uint32_t kHighBit = 0x80000000;

// Where the optional header keeps the number of data directories and the directories.
struct OptionalHeaderLayout {
    std::uint64_t directoryCountAt;
    std::uint64_t directoriesAt;
};

std::string Hex(std::uint32_t value) {
    static constexpr char kDigits[] = "0123456789abcdef";
    std::string digits;
    do {
        digits.insert(digits.begin(), kDigits[value & 0xF]);
        value >>= 4;
    } while (value != 0);
    return "0x" + digits;
}

}  // namespace

struct PeResources::Directory {
    std::uint32_t offset;      // from the root of the resource directory
    std::uint32_t textCount;   // entries named by text, stored first
    std::uint32_t entryCount;  // text and integer entries together
};

struct PeResources::Entry {
    std::uint32_t name;    // high bit: offset of a text name; else the integer identifier
    std::uint32_t target;  // high bit: offset of a subdirectory; else offset of a data entry

    bool hasTextName() const { return (name & kHighBit) != 0; }
    std::uint16_t id() const { return static_cast<std::uint16_t>(name & 0xFFFF); }
    std::uint32_t textOffset() const { return name & ~kHighBit; }
    bool leadsToDirectory() const { return (target & kHighBit) != 0; }
    std::uint32_t targetOffset() const { return target & ~kHighBit; }
};

namespace {

using Directory = PeResources::Directory;
using Entry = PeResources::Entry;

// A directory whose entries all lie inside the resource section, or none. The counts are
// checked against the bytes that remain before anything trusts them.
std::optional<Directory> ReadDirectory(const ByteReader& section, std::uint32_t offset) {
    auto textCount = section.U16(offset + 12);
    auto idCount = section.U16(offset + 14);
    if (!textCount || !idCount) return std::nullopt;
    const std::uint32_t entryCount = std::uint32_t{*textCount} + *idCount;
    if (!section.Contains(offset + kDirectoryHeaderSize, kDirectoryEntrySize * entryCount)) return std::nullopt;
    return Directory{offset, *textCount, entryCount};
}

// Entry i of a directory that ReadDirectory has accepted, so the read cannot fail.
Entry ReadEntry(const ByteReader& section, const Directory& directory, std::uint32_t i) {
    const std::uint64_t at = directory.offset + kDirectoryHeaderSize + kDirectoryEntrySize * i;
    return Entry{section.U32(at).value_or(0), section.U32(at + 4).value_or(0)};
}

// A text name: a 16-bit count of UTF-16 code units and the units.
std::optional<std::string> ReadTextName(const ByteReader& section, const Entry& entry) {
    auto length = section.U16(entry.textOffset());
    if (!length) return std::nullopt;
    auto units = section.Bytes(std::uint64_t{entry.textOffset()} + 2, std::uint64_t{*length} * 2);
    if (!units) return std::nullopt;
    return Utf16LeToUtf8(*units);
}

// Integer identifiers follow the text names in ascending order, so a binary search finds
// the first stored entry of an identifier at once. A directory that breaks that order is
// still searched entry by entry, and then the first stored match is found.
std::optional<Entry> FindIdEntry(const ByteReader& section, const Directory& directory, std::uint16_t id) {
    std::uint32_t low = std::min(directory.textCount, directory.entryCount);
    std::uint32_t high = directory.entryCount;
    while (low < high) {
        const std::uint32_t middle = low + (high - low) / 2;
        const Entry entry = ReadEntry(section, directory, middle);
        if (entry.hasTextName()) break;
        if (entry.id() < id) {
            low = middle + 1;
        } else {
            high = middle;
        }
    }
    if (low < directory.entryCount) {
        const Entry candidate = ReadEntry(section, directory, low);
        if (!candidate.hasTextName() && candidate.id() == id) return candidate;
    }
    for (std::uint32_t i = 0; i < directory.entryCount; ++i) {
        const Entry entry = ReadEntry(section, directory, i);
        if (!entry.hasTextName() && entry.id() == id) return entry;
    }
    return std::nullopt;
}

std::optional<Entry> FindTextEntry(const ByteReader& section, const Directory& directory, const std::string& text) {
    for (std::uint32_t i = 0; i < directory.entryCount; ++i) {
        const Entry entry = ReadEntry(section, directory, i);
        if (!entry.hasTextName()) continue;
        auto name = ReadTextName(section, entry);
        if (name && *name == text) return entry;
    }
    return std::nullopt;
}

}  // namespace

Result<PeResources> PeResources::Open(ByteReader file, std::uint64_t signatureOffset) {
    const std::uint64_t coffHeader = signatureOffset + 4;
    if (!file.Contains(coffHeader, kCoffHeaderSize)) return Failure{"truncated: the COFF header runs past the end of the file"};
    const std::uint16_t sectionCount = *file.U16(coffHeader + 2);
    const std::uint16_t optionalHeaderSize = *file.U16(coffHeader + 16);

    const std::uint64_t optionalHeader = coffHeader + kCoffHeaderSize;
    auto magic = file.U16(optionalHeader);
    if (!magic || !file.Contains(optionalHeader, optionalHeaderSize))
        return Failure{"truncated: the optional header runs past the end of the file"};
    OptionalHeaderLayout layout{};
    if (*magic == kPe32Magic) {
        layout = {92, 96};
    } else if (*magic == kPe32PlusMagic) {
        layout = {108, 112};
    } else {
        return Failure{"not a PE32 or PE32+ image (optional header magic " + Hex(*magic) + ")"};
    }

    const std::uint64_t sectionTable = optionalHeader + optionalHeaderSize;
    if (!file.Contains(sectionTable, kSectionHeaderSize * sectionCount))
        return Failure{"truncated: the section table runs past the end of the file"};

    PeResources resources(file, *magic == kPe32PlusMagic, sectionTable, sectionCount);
    const std::uint64_t resourceEntry = layout.directoriesAt + kDataDirectorySize * kResourceDataDirectory;
    if (resourceEntry + kDataDirectorySize > optionalHeaderSize) return resources;
    const std::uint32_t directoryCount = *file.U32(optionalHeader + layout.directoryCountAt);
    const std::uint32_t rootAddress = *file.U32(optionalHeader + resourceEntry);
    if (directoryCount <= kResourceDataDirectory || rootAddress == 0) return resources;

    auto root = resources.MapAddress(rootAddress);
    if (root) {
        resources.directory_ = *root;
    } else {
        resources.directory_ = Failure{"the resource directory (at " + Hex(rootAddress) + ") lies outside the file"};
    }
    return resources;
}

// The file bytes behind an image address, up to the end of its section's data in the file.
// Bytes that exist only in memory (past a section's file data) are not in the file: none.
std::optional<ByteReader> PeResources::MapAddress(std::uint32_t rva) const {
    for (std::uint16_t i = 0; i < sectionCount_; ++i) {
        const std::uint64_t header = sectionTable_ + kSectionHeaderSize * i;
        const std::uint32_t virtualSize = *file_.U32(header + 8);
        const std::uint32_t virtualAddress = *file_.U32(header + 12);
        const std::uint32_t fileSize = *file_.U32(header + 16);
        const std::uint32_t fileOffset = *file_.U32(header + 20);
        const std::uint64_t extent = std::max(virtualSize, fileSize);
        if (rva < virtualAddress || rva - virtualAddress >= extent) continue;

        const std::uint64_t delta = rva - virtualAddress;
        if (delta >= fileSize) return std::nullopt;
        const std::uint64_t start = std::uint64_t{fileOffset} + delta;
        if (start >= file_.size()) return std::nullopt;
        return file_.Sub(start, std::min<std::uint64_t>(fileSize - delta, file_.size() - start));
    }
    return std::nullopt;
}

Result<PeResources::Directory> PeResources::NameDirectory(std::uint16_t type) const {
    if (!directory_) return Failure{directory_.reason()};
    const ByteReader& section = *directory_;
    auto root = ReadDirectory(section, 0);
    if (!root) return Failure{"the resource directory is truncated"};
    auto typeEntry = FindIdEntry(section, *root, type);
    if (!typeEntry) return Failure{"the module has no resources of type " + std::to_string(type)};
    if (!typeEntry->leadsToDirectory()) return Failure{"the resource directory is malformed (type " + std::to_string(type) + " has no names)"};
    if (typeEntry->targetOffset() == root->offset) return Failure{"the resource directory loops back to its root"};
    auto names = ReadDirectory(section, typeEntry->targetOffset());
    if (!names) return Failure{"the names of resource type " + std::to_string(type) + " lie outside the resource section"};
    return *names;
}

Result<std::vector<ResourceName>> PeResources::EnumerateNames(std::uint16_t type) const {
    auto names = NameDirectory(type);
    if (!names) return Failure{names.reason()};
    const ByteReader& section = *directory_;
    std::vector<ResourceName> result;
    result.reserve(names->entryCount);
    for (std::uint32_t i = 0; i < names->entryCount; ++i) {
        const Entry entry = ReadEntry(section, *names, i);
        if (!entry.hasTextName()) {
            result.emplace_back(entry.id());
            continue;
        }
        auto text = ReadTextName(section, entry);
        if (!text) return Failure{"resource name " + std::to_string(i + 1) + " lies outside the resource section"};
        result.emplace_back(std::move(*text));
    }
    return result;
}

std::optional<std::span<const std::byte>> PeResources::FindResource(std::uint16_t type, const ResourceName& name) const {
    auto names = NameDirectory(type);
    if (!names) return std::nullopt;
    auto entry = FindNameEntry(*names, name);
    if (!entry) return std::nullopt;
    return FirstLanguageData(*names, *entry);
}

std::optional<PeResources::Entry> PeResources::FindNameEntry(const Directory& names, const ResourceName& name) const {
    if (const auto* id = std::get_if<std::uint16_t>(&name)) return FindIdEntry(*directory_, names, *id);
    return FindTextEntry(*directory_, names, std::get<std::string>(name));
}

std::optional<std::span<const std::byte>> PeResources::FirstLanguageData(const Directory& names, const Entry& entry) const {
    const ByteReader& section = *directory_;
    // The directory has three levels; a language directory that is the root or the name
    // directory again would be a loop.
    if (!entry.leadsToDirectory()) return std::nullopt;
    const std::uint32_t languagesAt = entry.targetOffset();
    if (languagesAt == 0 || languagesAt == names.offset) return std::nullopt;
    auto languages = ReadDirectory(section, languagesAt);
    if (!languages || languages->entryCount == 0) return std::nullopt;

    const Entry first = ReadEntry(section, *languages, 0);
    if (first.leadsToDirectory()) return std::nullopt;
    if (!section.Contains(first.targetOffset(), kDataEntrySize)) return std::nullopt;
    const std::uint32_t dataAddress = *section.U32(first.targetOffset());
    const std::uint32_t dataSize = *section.U32(first.targetOffset() + 4);
    auto data = MapAddress(dataAddress);
    if (!data) return std::nullopt;
    return data->Bytes(0, dataSize);
}

}  // namespace nobrelt
