#include "runtime/skin.h"

#include <QApplication>
#include <map>
#include <optional>
#include <string_view>

#include "runtime/text.h"

namespace nobrelt::runtime {
namespace {

// The colours of one scheme, as style-sheet colour texts.
struct SchemeColours {
    const char* frame;          // button, indicator and drop-down frames
    const char* faceTop;        // gradient faces, top to bottom
    const char* faceBottom;
    const char* hoverFrame;
    const char* hoverTop;
    const char* hoverBottom;
    const char* focusFrame;
    const char* pressedTop;
    const char* pressedBottom;
    const char* disabledFrame;
    const char* disabledFace;
    const char* disabledText;
    const char* editFrame;      // edit boxes that have a border, spin boxes, group boxes
    const char* selection;
    const char* mark;           // the dot of a checked radio box
};

std::optional<SchemeColours> ColoursOf(int scheme) {
    switch (scheme) {
        case kBlueScheme:
            return SchemeColours{"rgb(0, 60, 116)", "rgb(255, 255, 255)", "rgb(214, 224, 245)",
                                 "rgb(230, 150, 30)", "rgb(255, 255, 255)", "rgb(236, 242, 252)",
                                 "rgb(105, 140, 215)", "rgb(200, 212, 238)", "rgb(238, 243, 252)",
                                 "rgb(201, 199, 186)", "rgb(245, 244, 234)", "rgb(161, 161, 146)",
                                 "rgb(127, 157, 185)", "rgb(49, 106, 197)", "rgb(33, 161, 33)"};
        case kOliveScheme:
            return SchemeColours{"rgb(55, 98, 6)", "rgb(255, 255, 255)", "rgb(226, 232, 203)",
                                 "rgb(230, 150, 30)", "rgb(255, 255, 255)", "rgb(240, 244, 226)",
                                 "rgb(143, 164, 98)", "rgb(214, 222, 186)", "rgb(243, 246, 233)",
                                 "rgb(201, 199, 186)", "rgb(245, 244, 234)", "rgb(161, 161, 146)",
                                 "rgb(164, 185, 127)", "rgb(147, 160, 112)", "rgb(86, 122, 36)"};
        case kSilverScheme:
            return SchemeColours{"rgb(118, 116, 151)", "rgb(255, 255, 255)", "rgb(214, 214, 226)",
                                 "rgb(91, 89, 128)", "rgb(255, 255, 255)", "rgb(234, 234, 243)",
                                 "rgb(127, 144, 198)", "rgb(196, 195, 212)", "rgb(238, 238, 244)",
                                 "rgb(198, 197, 215)", "rgb(240, 240, 245)", "rgb(160, 160, 174)",
                                 "rgb(198, 197, 215)", "rgb(178, 180, 191)", "rgb(80, 78, 110)"};
        default:
            return std::nullopt;
    }
}

// One sheet for every scheme; {name} stands for a colour of the scheme.
constexpr std::string_view kTemplate = R"(
QPushButton {
    border: 1px solid {frame}; border-radius: 3px; padding: 2px 8px; color: black;
    background: qlineargradient(x1:0, y1:0, x2:0, y2:1, stop:0 {faceTop}, stop:1 {faceBottom});
}
QPushButton:focus { border-color: {focusFrame}; }
QPushButton:hover {
    border-color: {hoverFrame};
    background: qlineargradient(x1:0, y1:0, x2:0, y2:1, stop:0 {hoverTop}, stop:1 {hoverBottom});
}
QPushButton:pressed {
    border-color: {frame};
    background: qlineargradient(x1:0, y1:0, x2:0, y2:1, stop:0 {pressedTop}, stop:1 {pressedBottom});
}
QPushButton:disabled { border-color: {disabledFrame}; background: {disabledFace}; color: {disabledText}; }

QLineEdit[frame="true"] {
    border: 1px solid {editFrame}; background: white; padding: 1px 2px;
    selection-background-color: {selection};
}
QLineEdit[frame="true"]:disabled { background: {disabledFace}; color: {disabledText}; }
QLineEdit[frame="false"] { border: none; }

QCheckBox::indicator, QRadioButton::indicator {
    width: 13px; height: 13px; border: 1px solid {frame};
    background: qlineargradient(x1:0, y1:0, x2:1, y2:1, stop:0 {faceBottom}, stop:1 white);
}
QRadioButton::indicator { border-radius: 7px; }
QCheckBox::indicator:hover, QRadioButton::indicator:hover { border-color: {hoverFrame}; }
QCheckBox::indicator:focus, QRadioButton::indicator:focus { border-color: {focusFrame}; }
QCheckBox::indicator:pressed, QRadioButton::indicator:pressed { background: {pressedTop}; }
QCheckBox::indicator:checked { image: url(:/nobrelt/skin/check.png); }
QCheckBox::indicator:indeterminate { image: url(:/nobrelt/skin/partial.png); }
QRadioButton::indicator:checked {
    background: qradialgradient(cx:0.5, cy:0.5, radius:0.5, fx:0.5, fy:0.5,
                                stop:0 {mark}, stop:0.45 {mark}, stop:0.55 white, stop:1 {faceBottom});
}
QCheckBox::indicator:disabled, QRadioButton::indicator:disabled {
    border-color: {disabledFrame}; background: {disabledFace};
}
QCheckBox:disabled, QRadioButton:disabled { color: {disabledText}; }

QGroupBox { border: 1px solid {editFrame}; border-radius: 3px; margin-top: 1.1em; padding-top: 3px; }
QGroupBox::title { subcontrol-origin: margin; subcontrol-position: top left; left: 8px; padding: 0 3px; }
QGroupBox:disabled { color: {disabledText}; }

QComboBox {
    border: 1px solid {frame}; border-radius: 3px; padding: 1px 18px 1px 4px; color: black;
    background: qlineargradient(x1:0, y1:0, x2:0, y2:1, stop:0 {faceTop}, stop:1 {faceBottom});
}
QComboBox:editable { border-color: {editFrame}; background: white; }
QComboBox:hover { border-color: {hoverFrame}; }
QComboBox:focus { border-color: {focusFrame}; }
QComboBox:on {
    background: qlineargradient(x1:0, y1:0, x2:0, y2:1, stop:0 {pressedTop}, stop:1 {pressedBottom});
}
QComboBox:disabled { border-color: {disabledFrame}; background: {disabledFace}; color: {disabledText}; }
QComboBox::drop-down {
    subcontrol-origin: padding; subcontrol-position: top right; width: 16px;
    border-left: 1px solid {editFrame};
}
QComboBox::down-arrow { image: url(:/nobrelt/skin/arrow-down.png); }
QComboBox QAbstractItemView {
    border: 1px solid {frame}; background: white;
    selection-background-color: {selection}; selection-color: black;
}

QAbstractSpinBox { border: 1px solid {editFrame}; background: white; padding: 1px 18px 1px 2px; }
QAbstractSpinBox:disabled { background: {disabledFace}; color: {disabledText}; }
QAbstractSpinBox::up-button, QAbstractSpinBox::down-button {
    subcontrol-origin: border; width: 16px; border-left: 1px solid {editFrame};
    background: qlineargradient(x1:0, y1:0, x2:0, y2:1, stop:0 {faceTop}, stop:1 {faceBottom});
}
QAbstractSpinBox::up-button { subcontrol-position: top right; }
QAbstractSpinBox::down-button { subcontrol-position: bottom right; }
QAbstractSpinBox::up-button:hover, QAbstractSpinBox::down-button:hover {
    background: qlineargradient(x1:0, y1:0, x2:0, y2:1, stop:0 {hoverTop}, stop:1 {hoverBottom});
}
QAbstractSpinBox::up-button:pressed, QAbstractSpinBox::down-button:pressed {
    background: qlineargradient(x1:0, y1:0, x2:0, y2:1, stop:0 {pressedTop}, stop:1 {pressedBottom});
}
QAbstractSpinBox::up-arrow { image: url(:/nobrelt/skin/arrow-up.png); }
QAbstractSpinBox::down-arrow { image: url(:/nobrelt/skin/arrow-down.png); }
)";

std::string Fill(std::string_view sheet, const SchemeColours& colours) {
    const std::map<std::string_view, const char*> names{
        {"frame", colours.frame},
        {"faceTop", colours.faceTop},
        {"faceBottom", colours.faceBottom},
        {"hoverFrame", colours.hoverFrame},
        {"hoverTop", colours.hoverTop},
        {"hoverBottom", colours.hoverBottom},
        {"focusFrame", colours.focusFrame},
        {"pressedTop", colours.pressedTop},
        {"pressedBottom", colours.pressedBottom},
        {"disabledFrame", colours.disabledFrame},
        {"disabledFace", colours.disabledFace},
        {"disabledText", colours.disabledText},
        {"editFrame", colours.editFrame},
        {"selection", colours.selection},
        {"mark", colours.mark},
    };
    std::string filled;
    filled.reserve(sheet.size() * 2);
    for (std::size_t at = 0; at < sheet.size();) {
        const std::size_t open = sheet.find('{', at);
        const std::size_t close = open == std::string_view::npos ? open : sheet.find('}', open);
        if (close == std::string_view::npos) {
            filled += sheet.substr(at);
            break;
        }
        auto name = names.find(sheet.substr(open + 1, close - open - 1));
        if (name == names.end()) {  // a block of the sheet, not a colour
            filled += sheet.substr(at, open + 1 - at);
            at = open + 1;
            continue;
        }
        filled += sheet.substr(at, open - at);
        filled += name->second;
        at = close + 1;
    }
    return filled;
}

}  // namespace

std::string SkinStyleSheet(int scheme) {
    const std::optional<SchemeColours> colours = ColoursOf(scheme);
    return colours ? Fill(kTemplate, *colours) : std::string();
}

void SetSkinScheme(int scheme) {
    if (auto* application = qobject_cast<QApplication*>(QCoreApplication::instance()))
        application->setStyleSheet(ToQString(SkinStyleSheet(scheme)));
}

}  // namespace nobrelt::runtime
