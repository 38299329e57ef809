#include "runtime/window_builder.h"

#include <QIcon>
#include <QLineEdit>
#include <QPalette>
#include <QPushButton>
#include <algorithm>
#include <vector>

#include "runtime/text.h"

namespace nobrelt::runtime {
namespace {

QColor ToQColor(const Rgb& colour) { return QColor(colour.red, colour.green, colour.blue); }

// An empty title would be replaced by the application's name on X11; a blank keeps the
// title bar empty.
QString WindowTitle(const std::string& title) { return title.empty() ? QStringLiteral(" ") : ToQString(title); }

void ApplyFont(QWidget& control, const FontSpec& font) {
    if (font.pixelHeight <= 0) return;  // the window's font: the default GUI font
    QFont sized = control.font();
    sized.setPixelSize(font.pixelHeight);
    sized.setWeight(QFont::Normal);
    sized.setStyleStrategy(font.antialiased ? QFont::PreferAntialias : QFont::PreferDefault);
    control.setFont(sized);
}

void Place(QWidget& control, const ControlLayout& layout) {
    control.setObjectName(ToQString(layout.name));
    control.setGeometry(layout.left, layout.top, layout.width, layout.height);
    ApplyFont(control, layout.font);
}

QWidget* AddEditBox(RuntimeWindow& window, const ControlLayout& layout) {
    auto* edit = new QLineEdit(&window);  // owned by the window
    Place(*edit, layout);
    const EditBoxSettings& settings = layout.edit;
    edit->setReadOnly(settings.readOnly);
    edit->setFrame(settings.border);
    const Qt::Alignment horizontal = settings.alignment == TextAlignment::Centre ? Qt::AlignHCenter : Qt::AlignLeft;
    edit->setAlignment(horizontal | Qt::AlignVCenter);
    QPalette palette = edit->palette();
    if (settings.textColour) palette.setColor(QPalette::Text, ToQColor(*settings.textColour));
    if (settings.backgroundColour) palette.setColor(QPalette::Base, ToQColor(*settings.backgroundColour));
    edit->setPalette(palette);
    edit->setText(ToQString(layout.text));
    edit->setCursorPosition(0);
    return edit;
}

QWidget* AddPushButton(RuntimeWindow& window, const ControlLayout& layout) {
    auto* button = new QPushButton(ToQString(layout.text), &window);  // owned by the window
    Place(*button, layout);
    button->setAutoDefault(false);
    button->setDefault(false);
    button->setFocusPolicy(Qt::StrongFocus);
    QObject::connect(button, &QPushButton::clicked, &window,
                     [&window, name = layout.name] { window.Raise(Event::Clicked, name); });
    return button;
}

void ChainTabOrder(std::vector<std::pair<int, QWidget*>> stops) {
    std::stable_sort(stops.begin(), stops.end(), [](const auto& a, const auto& b) { return a.first < b.first; });
    for (std::size_t i = 1; i < stops.size(); ++i) QWidget::setTabOrder(stops[i - 1].second, stops[i].second);
    if (!stops.empty()) stops.front().second->setFocus(Qt::OtherFocusReason);
}

}  // namespace

std::unique_ptr<RuntimeWindow> BuildWindow(const WindowDefinition& definition) {
    const WindowLayout& layout = definition.layout;
    auto window = std::make_unique<RuntimeWindow>(definition);
    window->setWindowTitle(WindowTitle(layout.title));
    if (!layout.iconResource.empty()) window->setWindowIcon(QIcon(ToQString(layout.iconResource)));
    window->setBackgroundRole(QPalette::Button);
    window->setAutoFillBackground(true);

    std::vector<std::pair<int, QWidget*>> tabStops;
    for (const ControlLayout& control : layout.controls) {
        switch (control.kind) {
            case ControlKind::EditBox:
                tabStops.emplace_back(control.tabOrder, AddEditBox(*window, control));
                break;
            case ControlKind::PushButton:
                tabStops.emplace_back(control.tabOrder, AddPushButton(*window, control));
                break;
            case ControlKind::CommonDialog:
                window->AddDialog(control.name, control.dialog);
                break;
            case ControlKind::DropTarget:
                window->AddDropTarget(control.name);
                break;
        }
    }
    ChainTabOrder(std::move(tabStops));
    return window;
}

}  // namespace nobrelt::runtime
