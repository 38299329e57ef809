#pragma once
// The resource directory of a PE32 or PE32+ image, read in place from the file's bytes.
// The directory has three levels (type, name, language) that lead to data entries, whose
// addresses are image addresses (RVAs) that the section table maps to file offsets.
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <vector>

#include "engine/byte_reader.h"
#include "engine/resource_name.h"
#include "engine/result.h"

namespace nobrelt {

class PeResources {
public:
    // Reads the headers of the image whose "PE\0\0" signature lies at signatureOffset. An
    // image without a resource directory, or whose directory cannot be placed, still opens:
    // it just has no readable resources.
    static Result<PeResources> Open(ByteReader file, std::uint64_t signatureOffset);

    bool is64Bit() const { return is64Bit_; }

    // Names in the order the directory stores them. The whole enumeration fails when any
    // part of it (the directories on the way, a text name) lies outside the section.
    Result<std::vector<ResourceName>> EnumerateNames(std::uint16_t type) const;

    // The data of the first language entry stored for that name; none when anything on the
    // way is missing or malformed.
    std::optional<std::span<const std::byte>> FindResource(std::uint16_t type, const ResourceName& name) const;

    // One directory and one directory entry; defined with the reader.
    struct Directory;
    struct Entry;

private:
    PeResources(ByteReader file, bool is64Bit, std::uint64_t sectionTable, std::uint16_t sectionCount)
        : file_(file), is64Bit_(is64Bit), sectionTable_(sectionTable), sectionCount_(sectionCount) {}

    std::optional<ByteReader> MapAddress(std::uint32_t rva) const;
    Result<Directory> NameDirectory(std::uint16_t type) const;
    std::optional<Entry> FindNameEntry(const Directory& names, const ResourceName& name) const;
    std::optional<std::span<const std::byte>> FirstLanguageData(const Directory& names, const Entry& entry) const;

    ByteReader file_;
    bool is64Bit_ = false;
    std::uint64_t sectionTable_ = 0;
    std::uint16_t sectionCount_ = 0;
    // From the root of the resource directory to the end of its section's data in the file;
    // every offset inside the directory counts from this root.
    Result<ByteReader> directory_ = Failure{"the module has no resources"};
};

}  // namespace nobrelt
