#pragma once
// The extraction command: counts the icon groups of a source (an icon file is one group,
// a module has its RT_GROUP_ICON resources) and saves one chosen group.
#include <cstdint>
#include <optional>
#include <string>

#include "engine/bitmap_file.h"
#include "engine/clipboard_copy.h"
#include "engine/clipboard_port.h"
#include "engine/icon_group_loader.h"

namespace nobrelt {

// Mode 0 saves the group to the output path: an icon file for a path ending in "ico", the
// group's first image as a bitmap file for one ending in "bmp", nothing otherwise.
// Mode 1 places the group's first image on the clipboard.
inline constexpr std::int32_t kModeSaveToFile = 0;
inline constexpr std::int32_t kModeCopyToClipboard = 1;

class ExtractCommand {
public:
    // Without a clipboard, mode 1 copies nothing.
    explicit ExtractCommand(ClipboardPort* clipboard = nullptr) : clipboard_(clipboard) {}

    // Every argument may be omitted. The mode is 0 or 1, any other or none meaning 1; the
    // output path defaults to empty; a group number below 1 or none means 1. Returns the
    // number of groups the source holds when the group number is within it, else 0; whether
    // the output could be written does not change the result. Mode 0 with an empty output
    // path returns 0 without opening the source.
    std::int32_t ExtractIconGroup(std::optional<std::string> sourcePath, std::optional<std::int32_t> mode,
                                  std::optional<std::string> outputPath,
                                  std::optional<std::int32_t> groupNumber) const;

    void CopyImageToClipboard(const IconImage& image) const { nobrelt::CopyImageToClipboard(clipboard_, image); }

private:
    ClipboardPort* clipboard_;
};

// The command with no clipboard.
std::int32_t ExtractIconGroup(std::optional<std::string> sourcePath, std::optional<std::int32_t> mode,
                              std::optional<std::string> outputPath, std::optional<std::int32_t> groupNumber);

}  // namespace nobrelt
