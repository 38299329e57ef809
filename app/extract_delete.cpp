#include "app/extract_delete.h"

#include <optional>
#include <string>

#include "app/main_window.h"
#include "app/program_globals.h"
#include "engine/extract_command.h"
#include "runtime/busy_cursor.h"
#include "runtime/clipboard.h"
#include "runtime/runtime.h"

namespace nobrelt::app {
namespace {

// Run directory + "/" + n + ".ico". The first name of an Extract is built the same way: with
// the platform's separator, so that it names the same 1.ico as pass 1.
std::string NumberedIconName(std::int32_t n) {
    return runtime::GetRunDirectory() + "/" + runtime::IntegerToText(n) + ".ico";
}

std::string SourcePath() {
    return runtime::ReadProperty(MainWindow(), "编辑框1", runtime::Property::Text).value_or(std::string());
}

}  // namespace

void ExtractAll() {
    const runtime::BusyCursor busy;
    const ExtractCommand command(&runtime::SystemClipboard());
    ExtractedCount = command.ExtractIconGroup(SourcePath(), kModeSaveToFile, NumberedIconName(1), 1);
    const std::int32_t bound = ExtractedCount;
    // The path box is read again on every pass, as it stands at that moment.
    for (std::int32_t pass = 1; pass <= bound; ++pass)
        command.ExtractIconGroup(SourcePath(), kModeSaveToFile, NumberedIconName(pass), pass);
}

void DeleteExtracted() {
    if (runtime::ShowMessageBox("确定删除？", runtime::MB_OKCANCEL) != runtime::kOk) return;
    const std::int32_t bound = ExtractedCount;
    // A file that is missing or cannot be removed is passed over.
    for (DeletePass = 1; DeletePass <= bound; ++DeletePass) runtime::RemoveFile(NumberedIconName(DeletePass));
}

}  // namespace nobrelt::app
