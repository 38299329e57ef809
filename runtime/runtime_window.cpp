#include "runtime/runtime_window.h"

#include <QCloseEvent>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QScreen>

#include "runtime/text.h"

namespace nobrelt::runtime {

RuntimeWindow::RuntimeWindow(const WindowDefinition& definition)
    : QWidget(nullptr,
              Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                  Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint),
      definition_(definition),
      outerSize_(definition.layout.outerWidth, definition.layout.outerHeight) {
    setAttribute(Qt::WA_DeleteOnClose);
    // Until the window manager tells its frame, the client takes the whole outer size (as it
    // does for good where there is no frame at all).
    setFixedSize(outerSize_);
}

void RuntimeWindow::Raise(Event event, std::string_view source, const std::string& text) {
    for (const EventBinding& binding : definition_.bindings)
        if (binding.event == event && binding.source == source && binding.handler) binding.handler(text);
}

QWidget* RuntimeWindow::Control(std::string_view name) const {
    return findChild<QWidget*>(ToQString(name), Qt::FindDirectChildrenOnly);
}

CommonDialogSettings* RuntimeWindow::Dialog(std::string_view name) {
    auto found = dialogs_.find(name);
    return found == dialogs_.end() ? nullptr : &found->second;
}

DropTarget* RuntimeWindow::DropTargetNamed(std::string_view name) {
    auto found = dropTargets_.find(name);
    return found == dropTargets_.end() ? nullptr : found->second.get();
}

void RuntimeWindow::AddDialog(const std::string& name, const CommonDialogSettings& settings) {
    dialogs_[name] = settings;
}

void RuntimeWindow::AddDropTarget(const std::string& name) {
    dropTargets_[name] = std::make_unique<DropTarget>(
        [this, name](const std::string& text) { Raise(Event::GotFile, name, text); });
}

void RuntimeWindow::ShowCentred() {
    MoveToCentre();
    show();
    raise();
    activateWindow();
}

void RuntimeWindow::Unload() {
    unloading_ = true;
    QMetaObject::invokeMethod(this, &QWidget::close, Qt::QueuedConnection);
}

bool RuntimeWindow::event(QEvent* event) {
    const bool handled = QWidget::event(event);
    switch (event->type()) {
        case QEvent::Show:
        case QEvent::Move:
        case QEvent::Resize:
            FitOuterSize();
            break;
        default:
            break;
    }
    return handled;
}

// The layout gives the outer size, frame included; the frame is known only once a window
// manager has framed the window, so the client size follows it then.
void RuntimeWindow::FitOuterSize() {
    if (!isVisible()) return;
    const QSize frame = frameGeometry().size() - size();
    if (frame == appliedFrame_ || frame.width() < 0 || frame.height() < 0) return;
    const bool firstFit = appliedFrame_.width() < 0;
    appliedFrame_ = frame;
    setFixedSize(outerSize_ - frame);
    if (!firstFit || !frame.isNull()) MoveToCentre();
}

void RuntimeWindow::MoveToCentre() {
    QScreen* screen = QGuiApplication::primaryScreen();
    if (screen == nullptr) return;
    const QRect area = screen->geometry();
    move(area.x() + (area.width() - outerSize_.width()) / 2, area.y() + (area.height() - outerSize_.height()) / 2);
}

void RuntimeWindow::keyPressEvent(QKeyEvent* event) {
    switch (event->key()) {
        case Qt::Key_Escape:
            close();
            return;
        case Qt::Key_Return:
        case Qt::Key_Enter:
        case Qt::Key_F1:
            event->accept();  // no default button, no help
            return;
        default:
            QWidget::keyPressEvent(event);
    }
}

// A disabled window (one that a modal window keeps waiting) cannot be closed by the user.
void RuntimeWindow::closeEvent(QCloseEvent* event) {
    if (!isEnabled() && !unloading_) {
        event->ignore();
        return;
    }
    QWidget::closeEvent(event);
}

}  // namespace nobrelt::runtime
