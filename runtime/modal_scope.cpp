#include "runtime/modal_scope.h"

#include <QApplication>

namespace nobrelt::runtime {

OtherWindowsDisabled::OtherWindowsDisabled(const QWidget* modal) {
    for (QWidget* window : QApplication::topLevelWidgets()) {
        if (window == modal || !window->isWindow() || !window->isVisible()) continue;
        previous_.emplace_back(window, window->isEnabled());
        window->setEnabled(false);
    }
}

OtherWindowsDisabled::~OtherWindowsDisabled() {
    for (auto& [window, wasEnabled] : previous_)
        if (window) window->setEnabled(wasEnabled);
}

}  // namespace nobrelt::runtime
