// The window program's entry: the runtime, the globals, the main window, the message loop.
#include "app/main_window.h"
#include "app/program_globals.h"
#include "runtime/runtime.h"

int main() {
    nobrelt::runtime::StartRuntime();
    nobrelt::app::ResetProgramGlobals();
    nobrelt::runtime::LoadStartupWindow(nobrelt::app::MainWindow());
    return nobrelt::runtime::RunMessageLoop();
}
