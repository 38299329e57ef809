#include "engine/icon_source.h"

#include <filesystem>

#include "engine/icon_file.h"
#include "engine/icon_group_loader.h"

namespace nobrelt {
namespace {

std::string GroupLabel(std::size_t n, const ResourceName& name) {
    return "group " + std::to_string(n) + " (" + DescribeResourceName(name) + ")";
}

}  // namespace

Result<IconSource> IconSource::Open(const std::string& path) {
    switch (SourceKindOf(path)) {
        case SourceKind::IconFile: {
            auto set = ReadIconFileDetailed(path);
            if (!set) return Failure{set.reason()};
            std::vector<ResourceName> names{std::filesystem::path(path).filename().string()};
            return IconSource(path, std::nullopt, std::move(names), std::move(*set));
        }
        case SourceKind::Module: {
            auto module = ModuleReader::Open(path);
            if (!module) return Failure{path + ": " + module.reason()};
            auto names = module->EnumerateNames(RT_GROUP_ICON);
            if (!names) return Failure{path + ": no readable icon groups (" + names.reason() + ")"};
            if (names->empty()) return Failure{path + ": no icon groups"};
            return IconSource(path, std::move(*module), std::move(*names), std::nullopt);
        }
        case SourceKind::Unsupported:
            break;
    }
    return Failure{path + ": not an icon source (the name must end in ico, exe, dll or icl, not \"" + PathKind(path) + "\")"};
}

std::optional<ResourceName> IconSource::groupName(std::size_t n) const {
    if (n < 1 || n > names_.size()) return std::nullopt;
    return names_[n - 1];
}

Result<IconSet> IconSource::LoadGroup(std::size_t n) const {
    if (n < 1 || n > names_.size())
        return Failure{path_ + ": no group " + std::to_string(n) + ", the source holds " + std::to_string(names_.size())};
    if (iconFile_) return *iconFile_;
    auto set = LoadModuleGroup(*module_, names_[n - 1]);
    if (!set) return Failure{path_ + ": " + GroupLabel(n, names_[n - 1]) + " " + set.reason()};
    set->moduleFileName = NameField(path_);
    return set;
}

}  // namespace nobrelt
