#pragma once
// ShowMessageBox over QMessageBox, with MessageBoxA's button kinds, icons, default buttons
// and result codes.
#include <QMessageBox>
#include <vector>

namespace nobrelt::runtime {

struct MessageBoxButton {
    QMessageBox::StandardButton button;
    int result;  // the code ShowMessageBox returns for it
};

// The buttons of a button kind (the low four bits), in order; an unknown kind has OK only.
std::vector<MessageBoxButton> MessageBoxButtons(int buttons);

// The box as it is shown: the caller runs it with exec().
class RuntimeMessageBox final : public QMessageBox {
public:
    RuntimeMessageBox(const QString& text, int buttons, const QString& caption, QWidget* owner);

    // The code of the button that ended the box.
    int Result() const;

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    std::vector<MessageBoxButton> buttons_;
    bool escapes_ = false;  // only a box with Cancel, or with OK alone, can be closed
};

}  // namespace nobrelt::runtime
