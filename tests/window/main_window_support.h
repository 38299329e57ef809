#pragma once
// The main window as the window tests start it, and its controls by name.
#include <QLineEdit>
#include <QPushButton>
#include <QtTest>

#include "app/main_window.h"
#include "app/program_globals.h"
#include "runtime/runtime.h"
#include "tests/window/window_test_support.h"

namespace nobrelt::test {

// Start-up as the program does it, then waits until the window takes input.
inline bool LoadMainWindow() {
    app::ResetProgramGlobals();
    runtime::LoadStartupWindow(app::MainWindow());
    return QTest::qWaitForWindowActive(WindowOf(app::MainWindow()));
}

inline QWidget& Main() { return *WindowOf(app::MainWindow()); }
inline QLineEdit& PathBox() { return *ControlOf<QLineEdit>(app::MainWindow(), "编辑框1"); }
inline QPushButton& MainButton(const char* name) { return *ControlOf<QPushButton>(app::MainWindow(), name); }

}  // namespace nobrelt::test
