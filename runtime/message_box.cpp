#include "runtime/message_box.h"

#include <QCloseEvent>
#include <QKeyEvent>

#include "runtime/runtime.h"

namespace nobrelt::runtime {
namespace {

QMessageBox::Icon IconOf(int buttons) {
    switch (buttons & 0xF0) {
        case MB_ICONHAND: return QMessageBox::Critical;
        case MB_ICONQUESTION: return QMessageBox::Question;
        case MB_ICONEXCLAMATION: return QMessageBox::Warning;
        case MB_ICONASTERISK: return QMessageBox::Information;
        default: return QMessageBox::NoIcon;
    }
}

}  // namespace

std::vector<MessageBoxButton> MessageBoxButtons(int buttons) {
    using B = QMessageBox;
    switch (buttons & 0xF) {
        case MB_OKCANCEL: return {{B::Ok, kOk}, {B::Cancel, kCancel}};
        case MB_ABORTRETRYIGNORE: return {{B::Abort, kAbort}, {B::Retry, kRetry}, {B::Ignore, kIgnore}};
        case MB_YESNOCANCEL: return {{B::Yes, kYes}, {B::No, kNo}, {B::Cancel, kCancel}};
        case MB_YESNO: return {{B::Yes, kYes}, {B::No, kNo}};
        case MB_RETRYCANCEL: return {{B::Retry, kRetry}, {B::Cancel, kCancel}};
        default: return {{B::Ok, kOk}};
    }
}

RuntimeMessageBox::RuntimeMessageBox(const QString& text, int buttons, const QString& caption, QWidget* owner)
    : QMessageBox(IconOf(buttons), caption, text, QMessageBox::NoButton, owner), buttons_(MessageBoxButtons(buttons)) {
    // Task-modal and system-modal alike: no other window of the program takes input meanwhile.
    setWindowModality(Qt::ApplicationModal);
    QMessageBox::StandardButtons all;
    for (const MessageBoxButton& entry : buttons_) all |= entry.button;
    setStandardButtons(all);

    const std::size_t defaultIndex = static_cast<std::size_t>((buttons >> 8) & 0xF);
    setDefaultButton(buttons_[defaultIndex < buttons_.size() ? defaultIndex : 0].button);

    for (const MessageBoxButton& entry : buttons_)
        if (entry.button == QMessageBox::Cancel) setEscapeButton(QMessageBox::Cancel);
    if (buttons_.size() == 1) setEscapeButton(buttons_.front().button);
    escapes_ = escapeButton() != nullptr;
}

int RuntimeMessageBox::Result() const {
    const QMessageBox::StandardButton chosen = standardButton(clickedButton());
    for (const MessageBoxButton& entry : buttons_)
        if (entry.button == chosen) return entry.result;
    return kCancel;
}

void RuntimeMessageBox::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Escape && !escapes_) return;
    QMessageBox::keyPressEvent(event);
}

void RuntimeMessageBox::closeEvent(QCloseEvent* event) {
    if (!escapes_) {
        event->ignore();
        return;
    }
    QMessageBox::closeEvent(event);
}

}  // namespace nobrelt::runtime
