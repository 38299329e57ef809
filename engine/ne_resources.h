#pragma once
// The resource table of a 16-bit NE module (icon libraries are usually these), read in
// place from the file's bytes. The table starts with an alignment shift, then one record
// per resource type (ending at type 0), each followed by its 12-byte name records; resource
// offsets and lengths in the records count units of 2^shift bytes.
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <vector>

#include "engine/byte_reader.h"
#include "engine/resource_name.h"
#include "engine/result.h"

namespace nobrelt {

class NeResources {
public:
    // Reads the NE header whose "NE" signature lies at headerOffset. A module without a
    // resource table, or whose table lies outside the file, still opens with no resources.
    static Result<NeResources> Open(ByteReader file, std::uint64_t headerOffset);

    // Names in the order the table stores them (NE tables need not be sorted). Text names are
    // 8-bit strings of unknown code page, handed on as EightBitToUtf8 gives them. The whole
    // enumeration fails when any part of it lies outside the file.
    Result<std::vector<ResourceName>> EnumerateNames(std::uint16_t type) const;

    // The resource's bytes: its length is the table's, alignment padding included. None when
    // the name is absent or the bytes lie outside the file.
    std::optional<std::span<const std::byte>> FindResource(std::uint16_t type, const ResourceName& name) const;

    // The records of one resource type; defined with the reader.
    struct TypeRecord;

private:
    explicit NeResources(ByteReader file) : file_(file) {}

    Result<TypeRecord> FindType(std::uint16_t type) const;
    std::optional<ResourceName> ReadName(std::uint16_t nameId) const;
    bool NameMatches(std::uint16_t nameId, const ResourceName& name) const;

    ByteReader file_;
    // From the start of the resource table to the end of the file; text names are at
    // offsets from the start of the table.
    Result<ByteReader> table_ = Failure{"the module has no resources"};
};

}  // namespace nobrelt
