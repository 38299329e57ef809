#pragma once
// A window described as data: its settings, its controls in a table, and which handler runs
// for which event. The runtime builds a fresh window from this every time it is loaded.
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace nobrelt::runtime {

struct Rgb {
    std::uint8_t red = 0;
    std::uint8_t green = 0;
    std::uint8_t blue = 0;
};

// A control's font. Pixel height 0 keeps the window's font (the default GUI font).
struct FontSpec {
    int pixelHeight = 0;
    bool antialiased = false;
};

enum class ControlKind { EditBox, PushButton, CommonDialog, DropTarget };

enum class TextAlignment { Left, Centre };

struct EditBoxSettings {
    bool readOnly = false;
    bool border = true;
    TextAlignment alignment = TextAlignment::Left;
    std::optional<Rgb> textColour;
    std::optional<Rgb> backgroundColour;
};

// Settings of the common-dialog component; the five switches add their flags to the dialog.
struct CommonDialogSettings {
    int type = 0;  // 0 open, 1 save
    std::string title;
    std::string fileName;
    std::string filter;
    int filterIndex = 0;
    std::string initialDirectory;
    std::string defaultExtension;
    bool createPrompt = false;
    bool fileMustExist = false;
    bool overwritePrompt = false;
    bool pathMustExist = false;
    bool noChangeDirectory = false;
};

struct ControlLayout {
    std::string name;
    ControlKind kind = ControlKind::EditBox;
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;
    std::string text;
    int tabOrder = 0;  // position in the Tab cycle, from 1; components take no focus
    FontSpec font;
    EditBoxSettings edit;
    CommonDialogSettings dialog;
};

struct WindowLayout {
    std::string title;
    int outerWidth = 0;
    int outerHeight = 0;
    std::string iconResource;  // a Qt resource path, empty for none
    std::vector<ControlLayout> controls;
};

enum class Event { Created, Clicked, GotFile };

// A handler receives the event's text: the paths of the got-file event, empty otherwise.
using Handler = std::function<void(const std::string& text)>;

struct EventBinding {
    std::string source;  // a control name, or empty for the window itself
    Event event = Event::Created;
    Handler handler;
};

struct WindowDefinition {
    WindowLayout layout;
    std::vector<EventBinding> bindings;
};

// Readable bindings for the definition tables.
inline EventBinding OnCreated(std::function<void()> handler) {
    return {"", Event::Created, [handler = std::move(handler)](const std::string&) { handler(); }};
}
inline EventBinding OnClicked(std::string control, std::function<void()> handler) {
    return {std::move(control), Event::Clicked, [handler = std::move(handler)](const std::string&) { handler(); }};
}
inline EventBinding OnGotFile(std::string control, Handler handler) {
    return {std::move(control), Event::GotFile, std::move(handler)};
}

}  // namespace nobrelt::runtime
