#pragma once
// Loads one icon group of a Windows module: the group resource (RT_GROUP_ICON) lists the
// integer names of the icon resources (RT_ICON) that hold its images.
#include <cstdint>
#include <optional>
#include <string>

#include "engine/icon_set.h"
#include "engine/module_reader.h"
#include "engine/result.h"

namespace nobrelt {

inline constexpr std::size_t kGroupHeaderSize = 6;
inline constexpr std::size_t kGroupEntrySize = 14;
// Most image bytes one group may copy; real groups hold a few megabytes at most.
inline constexpr std::uint64_t kMaxGroupImageBytes = std::uint64_t{256} << 20;

// A resource name as text for listings and messages: a text name as it is, an integer
// identifier as "#7".
std::string DescribeResourceName(const ResourceName& name);

// Loads the named group of an open module, copying only that group's images. The reason
// of a failure reads after the group's name: "names icon 12, which the module lacks".
Result<IconSet> LoadModuleGroup(const ModuleReader& module, const ResourceName& groupName);

// Opens the module on its own, loads the named group and closes the module again; none
// when there is no name, the module does not open or the group cannot be loaded.
std::optional<IconSet> LoadIconGroup(const std::string& modulePath, const std::optional<ResourceName>& groupName);
Result<IconSet> LoadIconGroupDetailed(const std::string& modulePath, const ResourceName& groupName);

}  // namespace nobrelt
