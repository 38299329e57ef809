#pragma once
// One loaded window: the controls built from its layout, its components, and the window
// behaviour every layout shares (fixed outer size, centred, Esc closes, Enter does nothing).
#include <QSize>
#include <QWidget>
#include <map>
#include <memory>
#include <string>
#include <string_view>

#include "runtime/drop_target.h"
#include "runtime/layout.h"

namespace nobrelt::runtime {

class RuntimeWindow final : public QWidget {
public:
    explicit RuntimeWindow(const WindowDefinition& definition);

    const WindowDefinition& definition() const { return definition_; }

    // Runs the handler bound to this event of that source, if there is one.
    void Raise(Event event, std::string_view source, const std::string& text = {});

    // A visible control by its layout name; null when there is none.
    QWidget* Control(std::string_view name) const;
    // Components by their layout name; null when there is none of that kind.
    CommonDialogSettings* Dialog(std::string_view name);
    DropTarget* DropTargetNamed(std::string_view name);

    void AddDialog(const std::string& name, const CommonDialogSettings& settings);
    void AddDropTarget(const std::string& name);

    // Shows the window at the centre of its screen.
    void ShowCentred();
    // Closes and destroys the window once control is back in the event loop.
    void Unload();

protected:
    bool event(QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void FitOuterSize();
    void MoveToCentre();

    const WindowDefinition& definition_;
    QSize outerSize_;
    QSize appliedFrame_{-1, -1};
    bool unloading_ = false;
    std::map<std::string, CommonDialogSettings, std::less<>> dialogs_;
    std::map<std::string, std::unique_ptr<DropTarget>, std::less<>> dropTargets_;
};

}  // namespace nobrelt::runtime
