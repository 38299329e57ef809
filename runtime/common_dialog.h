#pragma once
// The common-dialog component: the open/save file dialog described by its settings.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "runtime/layout.h"

class QWidget;

namespace nobrelt::runtime {

inline constexpr std::uint32_t OFN_OVERWRITEPROMPT = 0x2;
inline constexpr std::uint32_t OFN_HIDEREADONLY = 0x4;
inline constexpr std::uint32_t OFN_NOCHANGEDIR = 0x8;
inline constexpr std::uint32_t OFN_PATHMUSTEXIST = 0x800;
inline constexpr std::uint32_t OFN_FILEMUSTEXIST = 0x1000;
inline constexpr std::uint32_t OFN_CREATEPROMPT = 0x2000;

struct FileFilter {
    std::string description;
    std::vector<std::string> patterns;  // "*.*" already stands as "*", all files
};

// The filter text as description and pattern pairs joined by "|": trailing blanks cut, the
// list ends at the first empty description. Patterns are separated by ";".
std::vector<FileFilter> ParseFilter(std::string_view filter);

// OFN_HIDEREADONLY plus one flag for every switch that is on.
std::uint32_t DialogFlags(const CommonDialogSettings& settings);

// Everything the file dialog is run with.
struct FileDialogRequest {
    bool save = false;
    std::string title;  // empty: the dialog's own title
    std::string fileName;
    std::string initialDirectory;
    std::string defaultExtension;
    std::vector<FileFilter> filters;
    int filterIndex = 0;  // from 0
    std::uint32_t flags = 0;
};

FileDialogRequest DescribeDialog(const CommonDialogSettings& settings);

// The filter as a Qt name filter: the description, then the patterns in parentheses.
std::string QtNameFilter(const FileFilter& filter);

// Runs a Qt (not native) file dialog: the chosen full path, or none after Cancel.
std::optional<std::string> RunFileDialog(const FileDialogRequest& request, QWidget* owner);

}  // namespace nobrelt::runtime
