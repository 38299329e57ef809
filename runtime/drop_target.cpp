#include "runtime/drop_target.h"

#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFile>
#include <QMimeData>
#include <QUrl>
#include <QWidget>

namespace nobrelt::runtime {

DropTarget::DropTarget(GotFile gotFile) : gotFile_(std::move(gotFile)) {}

bool DropTarget::Register(QWidget* window) {
    if (window_ || window == nullptr) return false;
    window_ = window;
    Watch(window);
    return true;
}

// Every widget of the window takes drags so that they reach this filter instead of the
// widget's own handling (an edit box would otherwise take dropped text).
void DropTarget::Watch(QWidget* widget) {
    widget->setAcceptDrops(true);
    widget->installEventFilter(this);
    for (QObject* child : widget->children())
        if (child->isWidgetType()) Watch(static_cast<QWidget*>(child));
}

bool DropTarget::eventFilter(QObject* watched, QEvent* event) {
    switch (event->type()) {
        case QEvent::ChildAdded: {
            QObject* child = static_cast<QChildEvent*>(event)->child();
            if (child->isWidgetType()) Watch(static_cast<QWidget*>(child));
            return false;
        }
        case QEvent::DragEnter:
        case QEvent::DragMove: {
            auto* drag = static_cast<QDragMoveEvent*>(event);
            if (drag->mimeData() && GotFileText(*drag->mimeData())) {
                drag->setDropAction(Qt::CopyAction);
                drag->accept();
            } else {
                drag->ignore();  // the no-drop cursor
            }
            return true;
        }
        case QEvent::Drop: {
            auto* drop = static_cast<QDropEvent*>(event);
            std::optional<std::string> text = drop->mimeData() ? GotFileText(*drop->mimeData()) : std::nullopt;
            if (!text) {
                drop->ignore();
                return true;
            }
            drop->setDropAction(Qt::CopyAction);
            drop->accept();
            if (gotFile_) gotFile_(*text);
            return true;
        }
        default:
            return QObject::eventFilter(watched, event);
    }
}

std::optional<std::string> GotFileText(const QMimeData& data) {
    if (!data.hasUrls()) return std::nullopt;
    const QList<QUrl> urls = data.urls();
    if (urls.isEmpty()) return std::nullopt;
    std::string text;
    for (const QUrl& url : urls) {
        if (!url.isLocalFile()) return std::nullopt;
        text += QFile::encodeName(url.toLocalFile()).toStdString();
        if (urls.size() > 1) text += "\r\n";
    }
    return text;
}

}  // namespace nobrelt::runtime
