#pragma once
// A source of icon groups opened once: an icon file (one group) or a Windows module (its
// icon groups in Windows' enumeration order). Counting touches names only; loading a group
// copies that group's images alone. The extraction command and the command line share it.
#include <cstddef>
#include <optional>
#include <string>
#include <vector>

#include "engine/icon_set.h"
#include "engine/module_reader.h"
#include "engine/path_kind.h"
#include "engine/result.h"

namespace nobrelt {

class IconSource {
public:
    // Chooses the kind by the path's last three bytes ("ico"; "exe", "dll", "icl"). Fails,
    // with the reason, for any other kind, an icon file that cannot be read, a file that is
    // not a module, and a module without readable icon groups.
    static Result<IconSource> Open(const std::string& path);

    SourceKind kind() const { return module_ ? SourceKind::Module : SourceKind::IconFile; }
    const std::string& path() const { return path_; }
    std::size_t groupCount() const { return names_.size(); }
    // The name of group n (1-based): the module's resource name; for an icon file, its file
    // name as text. None outside 1 ... groupCount().
    std::optional<ResourceName> groupName(std::size_t n) const;
    // Group n (1-based) with its images; the reason says what is missing or broken.
    Result<IconSet> LoadGroup(std::size_t n) const;

private:
    IconSource(std::string path, std::optional<ModuleReader> module, std::vector<ResourceName> names,
               std::optional<IconSet> iconFile)
        : path_(std::move(path)), module_(std::move(module)), names_(std::move(names)), iconFile_(std::move(iconFile)) {}

    std::string path_;
    std::optional<ModuleReader> module_;
    std::vector<ResourceName> names_;
    std::optional<IconSet> iconFile_;
};

}  // namespace nobrelt
