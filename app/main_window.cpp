#include "app/main_window.h"

#include "app/extract_delete.h"
#include "app/hint_window.h"
#include "runtime/runtime.h"
#include "runtime/skin.h"

namespace nobrelt::app {

using runtime::Property;

const runtime::WindowDefinition& MainWindow() {
    static const runtime::WindowDefinition window{
        .layout = MainWindowLayout(),
        .bindings = {
            runtime::OnCreated(OnMainWindowCreated),
            runtime::OnGotFile("拖放对象1", OnFileDropped),
            runtime::OnClicked("按钮1", OnChooseFile),
            runtime::OnClicked("按钮2", OpenHintWindow),
            runtime::OnClicked("按钮3", ExtractAll),
            runtime::OnClicked("按钮4", DeleteExtracted),
        },
    };
    return window;
}

void OnMainWindowCreated() {
    runtime::SetSkinScheme(runtime::kSilverScheme);
    // A window that refuses drops still works otherwise: the result is not needed.
    runtime::RegisterDropTarget(MainWindow(), "拖放对象1", runtime::GetWindowHandle(MainWindow()));
}

void OnFileDropped(const std::string& paths) {
    runtime::WriteProperty(MainWindow(), "编辑框1", Property::Text, paths);
}

// After Cancel the dialog keeps its FileName, so the last chosen path (or nothing) comes back.
void OnChooseFile() {
    runtime::RunCommonDialog(MainWindow(), "通用对话框1");
    runtime::WriteProperty(MainWindow(), "编辑框1", Property::Text,
                           runtime::ReadProperty(MainWindow(), "通用对话框1", Property::FileName));
}

}  // namespace nobrelt::app
