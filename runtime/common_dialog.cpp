#include "runtime/common_dialog.h"

#include <QDir>
#include <QFileDialog>
#include <QFileInfo>

#include "runtime/text.h"

namespace nobrelt::runtime {
namespace {

std::vector<std::string> Split(std::string_view text, char separator) {
    std::vector<std::string> parts;
    std::size_t start = 0;
    for (std::size_t at = text.find(separator); at != std::string_view::npos; at = text.find(separator, start)) {
        parts.emplace_back(text.substr(start, at - start));
        start = at + 1;
    }
    parts.emplace_back(text.substr(start));
    return parts;
}

// On Linux "*.*" would hide every file without a dot; it means all files.
std::vector<std::string> Patterns(std::string_view list) {
    std::vector<std::string> patterns;
    for (std::string& pattern : Split(list, ';')) {
        if (pattern.empty()) continue;
        patterns.push_back(pattern == "*.*" ? "*" : std::move(pattern));
    }
    return patterns;
}

}  // namespace

std::vector<FileFilter> ParseFilter(std::string_view filter) {
    while (!filter.empty() && (filter.back() == ' ' || filter.back() == '\t')) filter.remove_suffix(1);
    std::string pairs(filter);
    if (!pairs.ends_with("||")) pairs += "||";
    const std::vector<std::string> parts = Split(pairs, '|');
    std::vector<FileFilter> filters;
    for (std::size_t i = 0; i < parts.size() && !parts[i].empty(); i += 2) {
        const std::string pattern = i + 1 < parts.size() ? parts[i + 1] : std::string();
        filters.push_back({parts[i], Patterns(pattern)});
    }
    return filters;
}

std::uint32_t DialogFlags(const CommonDialogSettings& settings) {
    std::uint32_t flags = OFN_HIDEREADONLY;
    if (settings.createPrompt) flags |= OFN_CREATEPROMPT;
    if (settings.fileMustExist) flags |= OFN_FILEMUSTEXIST;
    if (settings.overwritePrompt) flags |= OFN_OVERWRITEPROMPT;
    if (settings.pathMustExist) flags |= OFN_PATHMUSTEXIST;
    if (settings.noChangeDirectory) flags |= OFN_NOCHANGEDIR;
    return flags;
}

FileDialogRequest DescribeDialog(const CommonDialogSettings& settings) {
    return {
        .save = settings.type == 1,
        .title = settings.title,
        .fileName = settings.fileName,
        .initialDirectory = settings.initialDirectory,
        .defaultExtension = settings.defaultExtension,
        .filters = ParseFilter(settings.filter),
        .filterIndex = settings.filterIndex,
        .flags = DialogFlags(settings),
    };
}

std::string QtNameFilter(const FileFilter& filter) {
    std::string text = filter.description + " (";
    for (std::size_t i = 0; i < filter.patterns.size(); ++i) text += (i ? " " : "") + filter.patterns[i];
    return text + ")";
}

std::optional<std::string> RunFileDialog(const FileDialogRequest& request, QWidget* owner) {
    QFileDialog dialog(owner);
    // Our own dialog, so that the skin covers it; the filter shows its description only.
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setOption(QFileDialog::HideNameFilterDetails);
    dialog.setWindowModality(Qt::ApplicationModal);
    dialog.setAcceptMode(request.save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    const bool mustExist = !request.save && (request.flags & OFN_FILEMUSTEXIST);
    dialog.setFileMode(mustExist ? QFileDialog::ExistingFile : QFileDialog::AnyFile);
    dialog.setOption(QFileDialog::DontConfirmOverwrite, !(request.flags & OFN_OVERWRITEPROMPT));
    if (!request.title.empty()) dialog.setWindowTitle(ToQString(request.title));

    QStringList nameFilters;
    for (const FileFilter& filter : request.filters) nameFilters << ToQString(QtNameFilter(filter));
    if (!nameFilters.isEmpty()) {
        dialog.setNameFilters(nameFilters);
        if (request.filterIndex >= 0 && request.filterIndex < nameFilters.size())
            dialog.selectNameFilter(nameFilters[request.filterIndex]);
    }
    if (!request.initialDirectory.empty()) dialog.setDirectory(ToQString(request.initialDirectory));
    if (!request.defaultExtension.empty()) dialog.setDefaultSuffix(ToQString(request.defaultExtension));
    if (!request.fileName.empty()) dialog.selectFile(ToQString(request.fileName));

    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return std::nullopt;
    const QString chosen = QFileInfo(dialog.selectedFiles().front()).absoluteFilePath();
    if (!(request.flags & OFN_NOCHANGEDIR)) QDir::setCurrent(QFileInfo(chosen).absolutePath());
    return ToText(chosen);
}

}  // namespace nobrelt::runtime
