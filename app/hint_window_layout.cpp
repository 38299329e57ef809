// The hint window's layout table.
#include "app/hint_window.h"
#include "app/main_window.h"

namespace nobrelt::app {

using runtime::ControlKind;
using runtime::ControlLayout;

namespace {

// The three hints share everything but place, size and text.
ControlLayout Hint(const char* name, int top, int width, const char* text, int tabOrder) {
    return {.name = name,
            .kind = ControlKind::EditBox,
            .left = 0,
            .top = top,
            .width = width,
            .height = 48,
            .text = text,
            .tabOrder = tabOrder,
            .font = {.pixelHeight = 19, .antialiased = true},
            .edit = {.readOnly = true,
                     .border = false,
                     .alignment = runtime::TextAlignment::Centre,
                     .textColour = runtime::Rgb{255, 0, 0},
                     .backgroundColour = runtime::Rgb{255, 255, 255}}};
}

}  // namespace

runtime::WindowLayout HintWindowLayout() {
    return {
        .title = "",
        .outerWidth = 356,
        .outerHeight = 239,
        .iconResource = kApplicationIcon,
        .controls = {
            Hint("编辑框3", -8, 304, "可以直接将文件拖入窗口", 3),
            Hint("编辑框2", 40, 304, "提取的文件和程序在同一目录", 2),
            Hint("编辑框1", 88, 352, "只支持旷展名为exe,dll,ico,icl的文件", 1),
            {.name = "按钮1", .kind = ControlKind::PushButton, .left = 224, .top = 136, .width = 128, .height = 80,
             .text = "关闭", .tabOrder = 4, .font = {.pixelHeight = 35, .antialiased = true}},
        },
    };
}

}  // namespace nobrelt::app
