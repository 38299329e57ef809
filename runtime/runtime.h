#pragma once
// The window and command runtime: everything the program does with windows, dialogs,
// message boxes and files goes through these operations. Texts are UTF-8; every text
// returned is the caller's own value, and every text handed in is copied.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "runtime/layout.h"

class QWidget;

namespace nobrelt::runtime {

// A loaded window, as the drop target and the message box take it.
using WindowHandle = QWidget*;

// Control properties that can be read and written.
enum class Property {
    Text,  // an edit box's text, a button's caption
    // Settings of a common-dialog component.
    FileName,
    Title,
    Filter,
    FilterIndex,
    InitialDirectory,
    DefaultExtension,
    Type,
};

// Button kinds and flags of ShowMessageBox, with MessageBoxA's values.
inline constexpr int MB_OK = 0x0;
inline constexpr int MB_OKCANCEL = 0x1;
inline constexpr int MB_ABORTRETRYIGNORE = 0x2;
inline constexpr int MB_YESNOCANCEL = 0x3;
inline constexpr int MB_YESNO = 0x4;
inline constexpr int MB_RETRYCANCEL = 0x5;
inline constexpr int MB_ICONHAND = 0x10;
inline constexpr int MB_ICONQUESTION = 0x20;
inline constexpr int MB_ICONEXCLAMATION = 0x30;
inline constexpr int MB_ICONASTERISK = 0x40;
inline constexpr int MB_DEFBUTTON2 = 0x100;
inline constexpr int MB_DEFBUTTON3 = 0x200;
inline constexpr int MB_SYSTEMMODAL = 0x1000;
inline constexpr int MB_TASKMODAL = 0x2000;

// What ShowMessageBox returns.
enum MessageBoxResult : int { kOk = 0, kCancel = 1, kAbort = 2, kRetry = 3, kIgnore = 4, kYes = 5, kNo = 6 };

inline constexpr const char* kDefaultMessageBoxCaption = "信息：";

// Creates the application object (or takes the one that exists) and makes the run directory
// the current directory.
void StartRuntime();

// Builds the window, raises its created event, then shows it.
void LoadStartupWindow(const WindowDefinition& window);

// Runs events until the last window is gone; returns the exit status for main.
int RunMessageLoop();

// A copy of the property; an empty text reads as none.
std::optional<std::string> ReadProperty(const WindowDefinition& window, std::string_view control, Property property);

// Stores a copy of the value; none writes the empty text.
void WriteProperty(const WindowDefinition& window, std::string_view control, Property property,
                   const std::optional<std::string>& value);

// A modal box with the buttons of the kind in buttons; caption "信息：" and no owner when
// they are omitted.
int ShowMessageBox(std::string_view text, int buttons = MB_OK, const std::optional<std::string>& caption = {},
                   WindowHandle owner = nullptr);

// The directory the executable is in, without a trailing separator.
std::string GetRunDirectory();

// Decimal digits with "-" before a negative, nothing else.
std::string IntegerToText(std::int32_t value);

// Deletes the file; true on success.
bool RemoveFile(const std::string& path);

// Runs the common-dialog component; on OK its FileName becomes the chosen path and the
// result is true, else FileName keeps its value.
bool RunCommonDialog(const WindowDefinition& window, std::string_view control);

// Loads the window as at start-up. Modal: the other top-level windows are disabled until this
// one is destroyed, and only then does the call return. A modal window without a parent is
// owned by the active window.
bool LoadWindow(const WindowDefinition& window, const WindowDefinition* parent = nullptr, bool modal = false);

// Queues the window's destruction: it happens after the running handler returns.
void UnloadWindow(const WindowDefinition& window);

WindowHandle GetWindowHandle(const WindowDefinition& window);

// The register command of a drop-target component: binds it to the window of that handle,
// once; later calls return false and change nothing.
bool RegisterDropTarget(const WindowDefinition& window, std::string_view control, WindowHandle target);

// True while the window is loaded.
bool IsLoaded(const WindowDefinition& window);

}  // namespace nobrelt::runtime
