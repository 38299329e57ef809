#include "app/hint_window.h"

#include "runtime/runtime.h"

namespace nobrelt::app {

const runtime::WindowDefinition& HintWindow() {
    static const runtime::WindowDefinition window{
        .layout = HintWindowLayout(),
        .bindings = {runtime::OnClicked("按钮1", CloseHintWindow)},
    };
    return window;
}

void OpenHintWindow() { runtime::LoadWindow(HintWindow(), nullptr, true); }

void CloseHintWindow() { runtime::UnloadWindow(HintWindow()); }

}  // namespace nobrelt::app
