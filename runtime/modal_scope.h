#pragma once
// While a modal window exists, every other visible top-level window is disabled; each gets
// its earlier enabled state back when the scope ends.
#include <QPointer>
#include <QWidget>
#include <utility>
#include <vector>

namespace nobrelt::runtime {

class OtherWindowsDisabled {
public:
    explicit OtherWindowsDisabled(const QWidget* modal);
    ~OtherWindowsDisabled();
    OtherWindowsDisabled(const OtherWindowsDisabled&) = delete;
    OtherWindowsDisabled& operator=(const OtherWindowsDisabled&) = delete;

private:
    std::vector<std::pair<QPointer<QWidget>, bool>> previous_;
};

}  // namespace nobrelt::runtime
