// The main window's layout table.
#include "app/main_window.h"

namespace nobrelt::app {

using runtime::ControlKind;
using runtime::ControlLayout;

runtime::WindowLayout MainWindowLayout() {
    return {
        .title = "Nobrelt",
        .outerWidth = 380,
        .outerHeight = 250,
        .iconResource = kApplicationIcon,
        .controls = {
            {.name = "编辑框1", .kind = ControlKind::EditBox, .left = 16, .top = 24, .width = 208, .height = 40,
             .text = "", .tabOrder = 1, .edit = {.readOnly = true, .border = true}},
            {.name = "按钮1", .kind = ControlKind::PushButton, .left = 232, .top = 28, .width = 64, .height = 30,
             .text = "选择文件", .tabOrder = 2},
            {.name = "按钮2", .kind = ControlKind::PushButton, .left = 304, .top = 28, .width = 64, .height = 30,
             .text = "提示", .tabOrder = 3},
            {.name = "按钮3", .kind = ControlKind::PushButton, .left = 232, .top = 88, .width = 64, .height = 48,
             .text = "提取", .tabOrder = 4},
            {.name = "按钮4", .kind = ControlKind::PushButton, .left = 304, .top = 88, .width = 64, .height = 48,
             .text = "删除", .tabOrder = 5},
            {.name = "通用对话框1", .kind = ControlKind::CommonDialog,
             .dialog = {.type = 0, .filter = "所有文件（*.*）|*.*", .filterIndex = 0, .createPrompt = false,
                        .fileMustExist = true, .overwritePrompt = true, .pathMustExist = true,
                        .noChangeDirectory = false}},
            {.name = "拖放对象1", .kind = ControlKind::DropTarget},
        },
    };
}

}  // namespace nobrelt::app
