#pragma once
// The drop-target component: once registered with a window, files dragged anywhere over that
// window (its controls included) can be dropped, and each drop raises the got-file event with
// the paths as one text. Every drag that carries anything but local files is refused.
#include <QObject>
#include <QPointer>
#include <functional>
#include <optional>
#include <string>

class QMimeData;
class QWidget;

namespace nobrelt::runtime {

class DropTarget final : public QObject {
public:
    using GotFile = std::function<void(const std::string& text)>;

    explicit DropTarget(GotFile gotFile);

    // Binds the component to the window; succeeds once, later calls return false and change
    // nothing.
    bool Register(QWidget* window);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void Watch(QWidget* widget);

    GotFile gotFile_;
    QPointer<QWidget> window_;
};

// The got-file text of a drag: one path alone, or every path followed by "\r\n" when there
// are several, in the order of the drag. None unless the drag carries local files only.
std::optional<std::string> GotFileText(const QMimeData& data);

}  // namespace nobrelt::runtime
