#include "runtime/runtime.h"

#include <QApplication>
#include <QDir>
#include <QEventLoop>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QWindow>
#include <charconv>
#include <filesystem>
#include <map>
#include <memory>
#include <unistd.h>

#include "runtime/common_dialog.h"
#include "runtime/fatal_error.h"
#include "runtime/message_box.h"
#include "runtime/modal_scope.h"
#include "runtime/runtime_window.h"
#include "runtime/testing.h"
#include "runtime/text.h"
#include "runtime/window_builder.h"

namespace nobrelt::runtime {
namespace {

struct RuntimeState {
    std::unique_ptr<QApplication> application;  // only when the runtime made it
    std::unique_ptr<QTranslator> systemTexts;   // Qt's own texts (OK, Cancel, …) in the user's language
    std::map<const WindowDefinition*, QPointer<RuntimeWindow>> windows;
    std::vector<const WindowDefinition*> loadOrder;  // most recent last
    std::optional<std::string> runDirectoryOverride;
};

RuntimeState& State() {
    static RuntimeState state;
    return state;
}

RuntimeWindow& LoadedWindow(const WindowDefinition& window) {
    RuntimeWindow* loaded = FindLoadedWindow(window);
    if (loaded == nullptr) FatalError("The window \"" + window.layout.title + "\" is not loaded.");
    return *loaded;
}

[[noreturn]] void NoSuchControl(std::string_view control) {
    FatalError("The control \"" + std::string(control) + "\" is not loaded or has no such property.");
}

CommonDialogSettings& DialogOf(const WindowDefinition& window, std::string_view control) {
    CommonDialogSettings* dialog = LoadedWindow(window).Dialog(control);
    if (dialog == nullptr) NoSuchControl(control);
    return *dialog;
}

std::string* DialogText(CommonDialogSettings& dialog, Property property) {
    switch (property) {
        case Property::FileName: return &dialog.fileName;
        case Property::Title: return &dialog.title;
        case Property::Filter: return &dialog.filter;
        case Property::InitialDirectory: return &dialog.initialDirectory;
        case Property::DefaultExtension: return &dialog.defaultExtension;
        default: return nullptr;
    }
}

int* DialogNumber(CommonDialogSettings& dialog, Property property) {
    switch (property) {
        case Property::FilterIndex: return &dialog.filterIndex;
        case Property::Type: return &dialog.type;
        default: return nullptr;
    }
}

int NumberOf(const std::string& text) {
    int number = 0;
    std::from_chars(text.data(), text.data() + text.size(), number);
    return number;
}

std::string ReadValue(const WindowDefinition& window, std::string_view control, Property property) {
    if (property == Property::Text) {
        QWidget* widget = LoadedWindow(window).Control(control);
        if (auto* edit = qobject_cast<QLineEdit*>(widget)) return ToText(edit->text());
        if (auto* button = qobject_cast<QPushButton*>(widget)) return ToText(button->text());
        NoSuchControl(control);
    }
    CommonDialogSettings& dialog = DialogOf(window, control);
    if (std::string* text = DialogText(dialog, property)) return *text;
    if (int* number = DialogNumber(dialog, property)) return IntegerToText(*number);
    NoSuchControl(control);
}

void WriteValue(const WindowDefinition& window, std::string_view control, Property property, const std::string& value) {
    if (property == Property::Text) {
        QWidget* widget = LoadedWindow(window).Control(control);
        if (auto* edit = qobject_cast<QLineEdit*>(widget)) {
            edit->setText(ToQString(value));
            edit->setCursorPosition(0);  // a new text shows from its beginning
            return;
        }
        if (auto* button = qobject_cast<QPushButton*>(widget)) {
            button->setText(ToQString(value));
            return;
        }
        NoSuchControl(control);
    }
    CommonDialogSettings& dialog = DialogOf(window, control);
    if (std::string* text = DialogText(dialog, property)) {
        *text = value;
        return;
    }
    if (int* number = DialogNumber(dialog, property)) {
        *number = NumberOf(value);
        return;
    }
    NoSuchControl(control);
}

// Builds the window, makes it known by its definition and raises its created event; the
// caller shows it.
RuntimeWindow& CreateWindow(const WindowDefinition& definition) {
    if (definition.layout.outerWidth <= 0 || definition.layout.outerHeight <= 0)
        FatalError("The window \"" + definition.layout.title + "\" cannot be built.");
    std::unique_ptr<RuntimeWindow> built = BuildWindow(definition);
    RuntimeWindow* window = built.release();  // from here on it destroys itself when closed
    RuntimeState& state = State();
    state.windows[&definition] = window;
    std::erase(state.loadOrder, &definition);
    state.loadOrder.push_back(&definition);
    window->Raise(Event::Created, "");
    return *window;
}

// The window that a modal window without a parent belongs to: the active one, or else the
// one loaded last that is still shown.
RuntimeWindow* DefaultOwner(const RuntimeWindow& modal) {
    if (auto* active = dynamic_cast<RuntimeWindow*>(QApplication::activeWindow()); active && active != &modal)
        return active;
    const auto& order = State().loadOrder;
    for (auto it = order.rbegin(); it != order.rend(); ++it) {
        RuntimeWindow* window = FindLoadedWindow(**it);
        if (window && window != &modal && window->isVisible()) return window;
    }
    return nullptr;
}

// An owned window has no taskbar button of its own and stays above its owner. It is not a
// child widget, so that disabling the owner leaves it enabled.
void SetOwner(RuntimeWindow& window, RuntimeWindow* owner) {
    if (owner == nullptr) return;
    window.winId();
    owner->winId();
    window.windowHandle()->setTransientParent(owner->windowHandle());
}

}  // namespace

void OverrideRunDirectoryForTests(std::optional<std::string> directory) {
    State().runDirectoryOverride = std::move(directory);
}

RuntimeWindow* FindLoadedWindow(const WindowDefinition& window) {
    auto& windows = State().windows;
    auto found = windows.find(&window);
    return found == windows.end() ? nullptr : found->second.data();
}

bool IsLoaded(const WindowDefinition& window) { return FindLoadedWindow(window) != nullptr; }

void StartRuntime() {
    RuntimeState& state = State();
    if (QCoreApplication::instance() == nullptr) {
        // The program takes no options, so Qt sees none either.
        static int argc = 1;
        static char name[] = "nobrelt";
        static char* argv[] = {name, nullptr};
        state.application = std::make_unique<QApplication>(argc, argv);
    }
    QGuiApplication::setDesktopFileName(QStringLiteral("nobrelt"));
    if (!state.systemTexts) {
        // Message boxes and the file dialog speak the system's language, as system dialogs do.
        auto translator = std::make_unique<QTranslator>();
        if (translator->load(QLocale::system(), QStringLiteral("qtbase"), QStringLiteral("_"),
                             QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
            QCoreApplication::installTranslator(translator.get());
            state.systemTexts = std::move(translator);
        }
    }
    QDir::setCurrent(ToQString(GetRunDirectory()));
}

void LoadStartupWindow(const WindowDefinition& window) { CreateWindow(window).ShowCentred(); }

int RunMessageLoop() {
    RuntimeState& state = State();
    const int status = QApplication::exec();
    for (auto& [definition, window] : state.windows)
        if (window) window->deleteLater();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    state.windows.clear();
    state.loadOrder.clear();
    state.systemTexts.reset();
    state.application.reset();
    return status;
}

std::optional<std::string> ReadProperty(const WindowDefinition& window, std::string_view control, Property property) {
    std::string value = ReadValue(window, control, property);
    if (value.empty()) return std::nullopt;
    return value;
}

void WriteProperty(const WindowDefinition& window, std::string_view control, Property property,
                   const std::optional<std::string>& value) {
    WriteValue(window, control, property, value.value_or(std::string()));
}

int ShowMessageBox(std::string_view text, int buttons, const std::optional<std::string>& caption, WindowHandle owner) {
    const QString title = ToQString(caption && !caption->empty() ? *caption : std::string(kDefaultMessageBoxCaption));
    RuntimeMessageBox box(ToQString(text), buttons, title, owner);
    box.exec();
    return box.Result();
}

std::string GetRunDirectory() {
    const RuntimeState& state = State();
    std::string directory;
    if (state.runDirectoryOverride)
        directory = *state.runDirectoryOverride;
    else if (QCoreApplication::instance() != nullptr)
        directory = ToText(QCoreApplication::applicationDirPath());
    else
        directory = std::filesystem::read_symlink("/proc/self/exe").parent_path().string();
    while (!directory.empty() && directory.back() == '/') directory.pop_back();
    return directory;
}

std::string IntegerToText(std::int32_t value) { return std::to_string(value); }

bool RemoveFile(const std::string& path) { return ::unlink(path.c_str()) == 0; }

bool RunCommonDialog(const WindowDefinition& window, std::string_view control) {
    const FileDialogRequest request = DescribeDialog(DialogOf(window, control));
    const std::optional<std::string> chosen = RunFileDialog(request, &LoadedWindow(window));
    if (!chosen) return false;
    // Looked up again: the dialog ran an event loop of its own.
    DialogOf(window, control).fileName = *chosen;
    return true;
}

bool LoadWindow(const WindowDefinition& window, const WindowDefinition* parent, bool modal) {
    RuntimeWindow* existing = FindLoadedWindow(window);
    RuntimeWindow& loaded = existing ? *existing : CreateWindow(window);
    QPointer<RuntimeWindow> owner = parent ? &LoadedWindow(*parent) : modal ? DefaultOwner(loaded) : nullptr;
    SetOwner(loaded, owner);
    if (!modal) {
        loaded.ShowCentred();
        return true;
    }
    {
        loaded.setWindowModality(Qt::ApplicationModal);
        OtherWindowsDisabled disabled(&loaded);
        QEventLoop loop;
        QObject::connect(&loaded, &QObject::destroyed, &loop, &QEventLoop::quit);
        loaded.ShowCentred();
        loop.exec();
    }
    if (owner) owner->activateWindow();
    return true;
}

void UnloadWindow(const WindowDefinition& window) {
    if (RuntimeWindow* loaded = FindLoadedWindow(window)) loaded->Unload();
}

WindowHandle GetWindowHandle(const WindowDefinition& window) { return &LoadedWindow(window); }

bool RegisterDropTarget(const WindowDefinition& window, std::string_view control, WindowHandle target) {
    DropTarget* dropTarget = LoadedWindow(window).DropTargetNamed(control);
    if (dropTarget == nullptr) NoSuchControl(control);
    return dropTarget->Register(target);
}

}  // namespace nobrelt::runtime
