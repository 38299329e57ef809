#include "engine/ne_resources.h"

#include <string>

#include "engine/text_encoding.h"

namespace nobrelt {
namespace {

constexpr std::uint64_t kNeHeaderSize = 64;
constexpr std::uint64_t kResourceTableAt = 0x24;   // 16-bit offset from the NE header
constexpr std::uint64_t kResidentNamesAt = 0x26;   // the table that follows the resource table
constexpr std::uint64_t kTypeRecordSize = 8;       // type id, count, reserved dword
constexpr std::uint64_t kNameRecordSize = 12;      // offset, length, flags, id, two reserved words
constexpr std::uint16_t kIntegerBit = 0x8000;
// Offsets are 16-bit counts of 2^shift bytes; beyond 2^31-byte units nothing can be addressed.
constexpr std::uint16_t kLargestAlignmentShift = 31;

struct NameRecord {
    std::uint16_t offsetUnits;
    std::uint16_t lengthUnits;
    std::uint16_t id;  // 0x8000 bit: integer identifier; else offset of a text name in the table
};

}  // namespace

struct NeResources::TypeRecord {
    std::uint16_t alignmentShift;
    std::uint64_t namesAt;  // first name record, from the start of the table
    std::uint16_t count;

    NameRecord Name(const ByteReader& table, std::uint16_t i) const {
        const std::uint64_t at = namesAt + kNameRecordSize * i;
        return NameRecord{table.U16(at).value_or(0), table.U16(at + 2).value_or(0), table.U16(at + 6).value_or(0)};
    }
};

Result<NeResources> NeResources::Open(ByteReader file, std::uint64_t headerOffset) {
    if (!file.Contains(headerOffset, kNeHeaderSize)) return Failure{"truncated: the NE header runs past the end of the file"};
    NeResources resources(file);
    const std::uint16_t tableOffset = *file.U16(headerOffset + kResourceTableAt);
    const std::uint16_t residentNamesOffset = *file.U16(headerOffset + kResidentNamesAt);
    // An empty resource table takes no room: the resident names start where it would.
    if (tableOffset == residentNamesOffset) return resources;
    const std::uint64_t tableStart = headerOffset + tableOffset;
    if (tableStart >= file.size()) {
        resources.table_ = Failure{"the resource table lies past the end of the file"};
    } else {
        resources.table_ = *file.Sub(tableStart, file.size() - tableStart);
    }
    return resources;
}

// The first type record of that integer type. Every record is checked to fit before the
// walk moves past it, so the walk ends at the table's end at the latest.
Result<NeResources::TypeRecord> NeResources::FindType(std::uint16_t type) const {
    if (!table_) return Failure{table_.reason()};
    const ByteReader& table = *table_;
    auto shift = table.U16(0);
    if (!shift) return Failure{"the resource table is truncated"};
    if (*shift > kLargestAlignmentShift) return Failure{"the resource table's alignment shift " + std::to_string(*shift) + " is out of range"};
    for (std::uint64_t at = 2;;) {
        auto typeId = table.U16(at);
        if (!typeId) return Failure{"the resource table runs past the end of the file"};
        if (*typeId == 0) return Failure{"the module has no resources of type " + std::to_string(type)};
        auto count = table.U16(at + 2);
        if (!count || !table.Contains(at + kTypeRecordSize, kNameRecordSize * *count))
            return Failure{"a resource type record claims more names than the file holds"};
        if (*typeId == (kIntegerBit | type)) return TypeRecord{*shift, at + kTypeRecordSize, *count};
        at += kTypeRecordSize + kNameRecordSize * *count;
    }
}

std::optional<ResourceName> NeResources::ReadName(std::uint16_t nameId) const {
    if (nameId & kIntegerBit) return ResourceName{static_cast<std::uint16_t>(nameId & ~kIntegerBit)};
    const ByteReader& table = *table_;
    auto length = table.U8(nameId);
    if (!length) return std::nullopt;
    auto text = table.Bytes(std::uint64_t{nameId} + 1, *length);
    if (!text) return std::nullopt;
    return ResourceName{EightBitToUtf8(*text)};
}

bool NeResources::NameMatches(std::uint16_t nameId, const ResourceName& name) const {
    if (const auto* id = std::get_if<std::uint16_t>(&name)) return *id < kIntegerBit && nameId == (kIntegerBit | *id);
    if (nameId & kIntegerBit) return false;
    auto text = ReadName(nameId);
    return text && *text == name;
}

Result<std::vector<ResourceName>> NeResources::EnumerateNames(std::uint16_t type) const {
    auto record = FindType(type);
    if (!record) return Failure{record.reason()};
    std::vector<ResourceName> names;
    names.reserve(record->count);
    for (std::uint16_t i = 0; i < record->count; ++i) {
        auto name = ReadName(record->Name(*table_, i).id);
        if (!name) return Failure{"resource name " + std::to_string(i + 1) + " lies outside the file"};
        names.push_back(std::move(*name));
    }
    return names;
}

std::optional<std::span<const std::byte>> NeResources::FindResource(std::uint16_t type, const ResourceName& name) const {
    auto record = FindType(type);
    if (!record) return std::nullopt;
    for (std::uint16_t i = 0; i < record->count; ++i) {
        const NameRecord entry = record->Name(*table_, i);
        if (!NameMatches(entry.id, name)) continue;
        return file_.Bytes(std::uint64_t{entry.offsetUnits} << record->alignmentShift,
                           std::uint64_t{entry.lengthUnits} << record->alignmentShift);
    }
    return std::nullopt;
}

}  // namespace nobrelt
