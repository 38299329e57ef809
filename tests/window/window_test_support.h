#pragma once
// Helpers for the window tests: answering modal dialogs from inside their event loops,
// simulated drags, and reaching the controls of a loaded window.
#include <QApplication>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QMimeData>
#include <QPointer>
#include <QTimer>
#include <QUrl>
#include <QWidget>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "runtime/runtime.h"
#include "runtime/testing.h"

namespace nobrelt::test {

// Runs the action on the first modal widget of type T that is shown, from inside the event
// loop that shows it, so that a test can answer a message box, a file dialog or a modal window.
template <class T>
class ModalAnswer {
public:
    explicit ModalAnswer(std::function<void(T&)> action) : action_(std::move(action)) {
        timer_.setInterval(5);
        QObject::connect(&timer_, &QTimer::timeout, [this] {
            T* modal = dynamic_cast<T*>(QApplication::activeModalWidget());
            if (modal == nullptr || !modal->isVisible()) return;
            timer_.stop();
            answered_ = true;
            action_(*modal);
        });
        timer_.start();
    }
    bool answered() const { return answered_; }

private:
    std::function<void(T&)> action_;
    QTimer timer_;
    bool answered_ = false;
};

inline QWidget* WindowOf(const runtime::WindowDefinition& window) {
    return runtime::IsLoaded(window) ? runtime::GetWindowHandle(window) : nullptr;
}

template <class T = QWidget>
T* ControlOf(const runtime::WindowDefinition& window, const char* name) {
    QWidget* loaded = WindowOf(window);
    return loaded ? loaded->findChild<T*>(QString::fromUtf8(name)) : nullptr;
}

// Lets queued closes and deferred deletions happen.
inline void SettleEvents() {
    for (int round = 0; round < 3; ++round) {
        QApplication::processEvents();
        QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
}

// Closes every loaded window of the program, so that the next test starts with none.
inline void UnloadAll(const std::vector<const runtime::WindowDefinition*>& windows) {
    for (const runtime::WindowDefinition* window : windows)
        if (QWidget* loaded = WindowOf(*window)) {
            loaded->setEnabled(true);
            runtime::UnloadWindow(*window);
        }
    SettleEvents();
}

inline std::unique_ptr<QMimeData> FileDrag(const std::vector<std::string>& paths) {
    auto data = std::make_unique<QMimeData>();
    QList<QUrl> urls;
    for (const std::string& path : paths) urls << QUrl::fromLocalFile(QString::fromStdString(path));
    data->setUrls(urls);
    return data;
}

inline std::unique_ptr<QMimeData> TextDrag(const QString& text) {
    auto data = std::make_unique<QMimeData>();
    data->setText(text);
    return data;
}

// Drags the data over the widget; true when the drag may be dropped there.
inline bool DragOver(QWidget& target, const QMimeData& data) {
    const QPoint centre = target.rect().center();
    QDragEnterEvent enter(centre, Qt::CopyAction | Qt::MoveAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(&target, &enter);
    if (!enter.isAccepted()) return false;
    QDragMoveEvent move(centre, Qt::CopyAction | Qt::MoveAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(&target, &move);
    return move.isAccepted() && move.dropAction() == Qt::CopyAction;
}

// Drops the data on the widget; true when the drop was taken.
inline bool DropOn(QWidget& target, const QMimeData& data) {
    QDropEvent drop(QPointF(target.rect().center()), Qt::CopyAction | Qt::MoveAction, &data, Qt::LeftButton,
                    Qt::NoModifier);
    QApplication::sendEvent(&target, &drop);
    return drop.isAccepted();
}

}  // namespace nobrelt::test
