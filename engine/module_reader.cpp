#include "engine/module_reader.h"

#include <utility>

namespace nobrelt {
namespace {

constexpr std::uint16_t kMzSignature = 0x5A4D;      // "MZ"
constexpr std::uint64_t kNewHeaderPointerAt = 0x3C;  // e_lfanew: where the PE or NE header is
constexpr std::uint16_t kPeSignature = 0x4550;      // "PE", followed by two zero bytes
constexpr std::uint16_t kNeSignature = 0x454E;      // "NE"

// Tells a PE image from an NE module by the header that the MZ header points to, and reads
// that header. Anything else (a DOS program, LE/LX modules, other files) is not a module.
Result<std::variant<PeResources, NeResources>> ReadResources(ByteReader file) {
    if (file.size() == 0) return Failure{"not a Windows module (the file is empty)"};
    auto mz = file.U16(0);
    if (!mz || *mz != kMzSignature) return Failure{"not a Windows module (no MZ header)"};
    auto newHeader = file.U32(kNewHeaderPointerAt);
    if (!newHeader) return Failure{"truncated: the MZ header is incomplete"};
    auto signature = file.U16(*newHeader);
    if (signature == kPeSignature && file.U16(*newHeader + 2) == 0) {
        auto pe = PeResources::Open(file, *newHeader);
        if (!pe) return Failure{pe.reason()};
        return std::variant<PeResources, NeResources>(std::move(*pe));
    }
    if (signature == kNeSignature) {
        auto ne = NeResources::Open(file, *newHeader);
        if (!ne) return Failure{ne.reason()};
        return std::variant<PeResources, NeResources>(std::move(*ne));
    }
    return Failure{"not a Windows module (no PE or NE header)"};
}

}  // namespace

Result<ModuleReader> ModuleReader::Open(const std::string& path) {
    auto mapping = MappedFile::Open(path);
    if (!mapping) return Failure{mapping.reason()};
    auto resources = ReadResources(ByteReader(mapping->bytes()));
    if (!resources) return Failure{resources.reason()};
    return ModuleReader(std::move(*mapping), std::move(*resources));
}

Result<ModuleReader> ModuleReader::FromBytes(std::span<const std::byte> bytes) {
    auto resources = ReadResources(ByteReader(bytes));
    if (!resources) return Failure{resources.reason()};
    return ModuleReader(std::nullopt, std::move(*resources));
}

Result<std::vector<ResourceName>> ModuleReader::EnumerateNames(std::uint16_t type) const {
    return std::visit([type](const auto& resources) { return resources.EnumerateNames(type); }, resources_);
}

std::optional<std::span<const std::byte>> ModuleReader::FindResource(std::uint16_t type, const ResourceName& name) const {
    return std::visit([&](const auto& resources) { return resources.FindResource(type, name); }, resources_);
}

ModuleFormat ModuleReader::format() const {
    if (const auto* pe = std::get_if<PeResources>(&resources_)) return pe->is64Bit() ? ModuleFormat::Pe32Plus : ModuleFormat::Pe32;
    return ModuleFormat::Ne;
}

}  // namespace nobrelt
