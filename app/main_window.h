#pragma once
// The main window: the source path in a read-only edit box, and Choose file, Hints, Extract
// and Delete.
#include <string>

#include "runtime/layout.h"

namespace nobrelt::app {

// The application icon, compiled in as a resource.
inline constexpr const char* kApplicationIcon = ":/nobrelt/DEFAULT_ICON.png";

const runtime::WindowDefinition& MainWindow();
runtime::WindowLayout MainWindowLayout();

// Switches the skin on and makes the whole window a drop target.
void OnMainWindowCreated();
// Puts the dropped paths into the edit box.
void OnFileDropped(const std::string& paths);
// Puts the path of the last file chosen in the dialog into the edit box.
void OnChooseFile();

}  // namespace nobrelt::app
