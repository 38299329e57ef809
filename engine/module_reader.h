#pragma once
// Reads the resources of Windows modules without running them: PE32 and PE32+ images
// (resource directory) and 16-bit NE images (resource table), from a read-only mapping.
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <variant>
#include <vector>

#include "engine/file_io.h"
#include "engine/ne_resources.h"
#include "engine/pe_resources.h"
#include "engine/resource_name.h"
#include "engine/result.h"

namespace nobrelt {

inline constexpr std::uint16_t RT_ICON = 3;
inline constexpr std::uint16_t RT_GROUP_ICON = 14;

enum class ModuleFormat { Pe32, Pe32Plus, Ne };

class ModuleReader {
public:
    // Maps the file read-only; fails for a file that is not a PE or NE module.
    static Result<ModuleReader> Open(const std::string& path);
    // Reads a module from bytes that the caller keeps alive as long as the reader.
    static Result<ModuleReader> FromBytes(std::span<const std::byte> bytes);

    // The names of one resource type in the order Windows enumerates them. Fails when the
    // module holds no resource of that type or its directory cannot be read.
    Result<std::vector<ResourceName>> EnumerateNames(std::uint16_t type) const;

    // The bytes of the resource of that type and name (the first language the directory
    // stores), valid while the reader lives; none when absent.
    std::optional<std::span<const std::byte>> FindResource(std::uint16_t type, const ResourceName& name) const;

    ModuleFormat format() const;

    // Implementation state below is the module reader's own.
private:
    using Resources = std::variant<PeResources, NeResources>;

    ModuleReader(std::optional<MappedFile> mapping, Resources resources)
        : mapping_(std::move(mapping)), resources_(std::move(resources)) {}

    // The mapping of a module opened from a file; the resources read from its bytes, which
    // keep their place in memory when the mapping object moves.
    std::optional<MappedFile> mapping_;
    Resources resources_;
};

}  // namespace nobrelt
