#include "engine/icon_group_loader.h"

#include <span>
#include <vector>

#include "engine/byte_reader.h"
#include "engine/icon_image.h"

namespace nobrelt {
namespace {

// Finds every image of the group before anything is copied, so that a group that cannot
// be loaded whole, or that claims absurd sizes, costs no allocation.
Result<std::vector<std::span<const std::byte>>> FindGroupImages(const ModuleReader& module,
                                                                 std::span<const std::byte> group) {
    ByteReader reader(group);
    auto count = reader.U16(4);
    if (!count) return Failure{"is shorter than its 6-byte header"};
    const std::uint64_t entriesEnd = kGroupHeaderSize + std::uint64_t{kGroupEntrySize} * *count;
    if (!reader.Contains(0, entriesEnd))
        return Failure{"claims " + std::to_string(*count) + " images but holds entries for " +
                       std::to_string((group.size() - kGroupHeaderSize) / kGroupEntrySize)};

    std::vector<std::span<const std::byte>> images;
    images.reserve(*count);
    std::uint64_t totalBytes = 0;
    for (std::uint16_t i = 0; i < *count; ++i) {
        const std::uint16_t iconId = *reader.U16(kGroupHeaderSize + std::uint64_t{kGroupEntrySize} * i + 12);
        auto image = module.FindResource(RT_ICON, ResourceName{iconId});
        if (!image) return Failure{"names icon " + std::to_string(iconId) + ", which the module lacks"};
        totalBytes += image->size();
        if (totalBytes > kMaxGroupImageBytes) return Failure{"claims more image bytes than any icon group holds"};
        images.push_back(*image);
    }
    return images;
}

}  // namespace

std::string DescribeResourceName(const ResourceName& name) {
    if (const auto* id = std::get_if<std::uint16_t>(&name)) return std::string("#").append(std::to_string(*id));
    return std::get<std::string>(name);
}

Result<IconSet> LoadModuleGroup(const ModuleReader& module, const ResourceName& groupName) {
    auto group = module.FindResource(RT_GROUP_ICON, groupName);
    if (!group) return Failure{"is missing"};
    auto images = FindGroupImages(module, *group);
    if (!images) return Failure{images.reason()};

    IconSet set;
    set.images.resize(images->size());
    for (std::size_t i = 0; i < images->size(); ++i) {
        set.images[i].bytes.assign((*images)[i].begin(), (*images)[i].end());
        AnalyseImage(set.images[i]);
    }
    return set;
}

Result<IconSet> LoadIconGroupDetailed(const std::string& modulePath, const ResourceName& groupName) {
    auto module = ModuleReader::Open(modulePath);
    if (!module) return Failure{modulePath + ": " + module.reason()};
    auto set = LoadModuleGroup(*module, groupName);
    if (!set) return Failure{modulePath + ": icon group " + DescribeResourceName(groupName) + " " + set.reason()};
    set->moduleFileName = NameField(modulePath);
    return set;
}

std::optional<IconSet> LoadIconGroup(const std::string& modulePath, const std::optional<ResourceName>& groupName) {
    if (!groupName) return std::nullopt;
    return LoadIconGroupDetailed(modulePath, *groupName).ToOptional();
}

}  // namespace nobrelt
