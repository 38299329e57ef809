#include "engine/extract_command.h"

#include <algorithm>

#include "engine/icon_file.h"
#include "engine/icon_source.h"
#include "engine/path_kind.h"

namespace nobrelt {
namespace {

struct Arguments {
    std::string sourcePath;
    std::int32_t mode;
    std::string outputPath;
    std::int32_t groupNumber;
};

Arguments ResolveArguments(std::optional<std::string> sourcePath, std::optional<std::int32_t> mode,
                           std::optional<std::string> outputPath, std::optional<std::int32_t> groupNumber) {
    return Arguments{
        std::move(sourcePath).value_or(std::string()),
        mode == kModeSaveToFile ? kModeSaveToFile : kModeCopyToClipboard,
        std::move(outputPath).value_or(std::string()),
        std::max(groupNumber.value_or(1), std::int32_t{1}),
    };
}

// The group count and, when the group number lies within it, the chosen group. The group is
// loaded through the same opening of the module that counted it: the result is what opening
// it again would give, and mapping a module is the costliest step of a small extraction.
// The enumeration lives only in this call.
struct Counted {
    std::int32_t count = 0;
    std::optional<IconSet> set;
};

Counted CountAndLoad(const std::string& sourcePath, std::int32_t groupNumber) {
    auto source = IconSource::Open(sourcePath);
    if (!source) {
        // An icon file is one group even when it cannot be read.
        return Counted{SourceKindOf(sourcePath) == SourceKind::IconFile ? 1 : 0, std::nullopt};
    }
    Counted counted{static_cast<std::int32_t>(source->groupCount()), std::nullopt};
    if (groupNumber > counted.count) return counted;
    counted.set = source->LoadGroup(static_cast<std::size_t>(groupNumber)).ToOptional();
    return counted;
}

}  // namespace

std::int32_t ExtractCommand::ExtractIconGroup(std::optional<std::string> sourcePath, std::optional<std::int32_t> mode,
                                              std::optional<std::string> outputPath,
                                              std::optional<std::int32_t> groupNumber) const {
    const Arguments args = ResolveArguments(std::move(sourcePath), mode, std::move(outputPath), groupNumber);
    if (args.mode == kModeSaveToFile && args.outputPath.empty()) return 0;

    Counted counted = CountAndLoad(args.sourcePath, args.groupNumber);
    if (counted.count == 0 || args.groupNumber > counted.count) return 0;
    if (!counted.set) return counted.count;

    const IconSet& set = *counted.set;
    if (args.mode == kModeCopyToClipboard) {
        if (!set.images.empty()) CopyImageToClipboard(set.images.front());
        return counted.count;
    }
    const std::string outputKind = PathKind(args.outputPath);
    if (outputKind == "ico")
        WriteIconFile(set, args.outputPath);
    else if (outputKind == "bmp" && !set.images.empty())
        WriteBitmapFile(args.outputPath, set.images.front());
    return counted.count;
}

std::int32_t ExtractIconGroup(std::optional<std::string> sourcePath, std::optional<std::int32_t> mode,
                              std::optional<std::string> outputPath, std::optional<std::int32_t> groupNumber) {
    return ExtractCommand().ExtractIconGroup(std::move(sourcePath), mode, std::move(outputPath), groupNumber);
}

}  // namespace nobrelt
