// The control skin, judged by the pixels it draws.
#include <QCheckBox>
#include <QComboBox>
#include <QFileDialog>
#include <QGroupBox>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QVBoxLayout>
#include <QtTest>
#include <memory>

#include "runtime/common_dialog.h"
#include "runtime/runtime.h"
#include "runtime/skin.h"
#include "tests/window/window_test_support.h"

using namespace nobrelt::runtime;
using nobrelt::test::ModalAnswer;

namespace {

const QColor kSilverEditFrame(198, 197, 215);
const QColor kSilverButtonFrame(118, 116, 151);
const QColor kSilverFocusFrame(127, 144, 198);

QImage Picture(QWidget& widget) {
    widget.ensurePolished();
    return widget.grab().toImage().convertToFormat(QImage::Format_RGB32);
}

bool Holds(const QImage& image, const QColor& colour) {
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (image.pixelColor(x, y) == colour) return true;
    return false;
}

// A top-level window made after the skin was switched on, holding one widget that the setup
// prepares before the window is shown (as the runtime builds its windows).
template <class W>
std::unique_ptr<QWidget> WindowWith(W*& widget, const std::function<void(W&)>& setup = {}) {
    auto window = std::make_unique<QWidget>();
    auto* layout = new QVBoxLayout(window.get());
    widget = new W;
    widget->setFocusPolicy(Qt::NoFocus);  // the plain look, not the focused one
    if (setup) setup(*widget);
    layout->addWidget(widget);
    window->resize(220, 90);
    window->show();
    return window;
}

}  // namespace

class SkinTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { StartRuntime(); }
    void init() { SetSkinScheme(kSilverScheme); }
    void cleanupTestCase() { SetSkinScheme(0); }

    void framedEditBoxesGetTheSilverFrameBorderlessOnesNone() {
        QLineEdit* framed = nullptr;
        auto first = WindowWith(framed);
        QCOMPARE(Picture(*framed).pixelColor(0, framed->height() / 2), kSilverEditFrame);

        QLineEdit* borderless = nullptr;
        auto second = WindowWith<QLineEdit>(borderless, [](QLineEdit& edit) { edit.setFrame(false); });
        QVERIFY(!Holds(Picture(*borderless), kSilverEditFrame));
    }

    // Gradient faces in a one-pixel frame, and a different face for hover, pressed and disabled.
    void buttonsHaveGradientFacesAndStates() {
        QPushButton* button = nullptr;
        auto window = WindowWith<QPushButton>(button, [](QPushButton& b) {
            b.setText("提取");
            b.setFixedSize(64, 48);
        });
        const QImage plain = Picture(*button);
        QCOMPARE(plain.pixelColor(32, 0), kSilverButtonFrame);
        const QColor top = plain.pixelColor(5, 3), bottom = plain.pixelColor(5, 44);
        QVERIFY2(top.lightness() > bottom.lightness(), "the face runs from light to dark");

        QTest::mouseMove(button, button->rect().center());
        const QImage hover = Picture(*button);
        QVERIFY(hover != plain);

        button->setDown(true);
        const QImage pressed = Picture(*button);
        button->setDown(false);
        QVERIFY(pressed != plain);
        QVERIFY(pressed != hover);
        QVERIFY(pressed.pixelColor(5, 3).lightness() < top.lightness());

        button->setEnabled(false);
        const QImage disabled = Picture(*button);
        QVERIFY(disabled != plain);
        QCOMPARE(disabled.pixelColor(32, 0), kSilverEditFrame);
    }

    void focusedButtonShowsItsFrame() {
        QPushButton* button = nullptr;
        auto window = WindowWith<QPushButton>(button, [](QPushButton& b) { b.setFocusPolicy(Qt::StrongFocus); });
        window->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(window.get()));
        button->clearFocus();
        const QImage plain = Picture(*button);
        button->setFocus();
        QVERIFY(button->hasFocus());
        QCOMPARE(plain.pixelColor(button->width() / 2, 0), kSilverButtonFrame);
        QCOMPARE(Picture(*button).pixelColor(button->width() / 2, 0), kSilverFocusFrame);
    }

    void theOtherControlsAreRestyledToo() {
        QCheckBox* check = nullptr;
        auto a = WindowWith<QCheckBox>(check, [](QCheckBox& box) { box.setChecked(true); });
        QVERIFY(Holds(Picture(*check), kSilverButtonFrame));

        QRadioButton* radio = nullptr;
        auto b = WindowWith<QRadioButton>(radio, [](QRadioButton& box) { box.setChecked(true); });
        QVERIFY(Holds(Picture(*radio), QColor(80, 78, 110)));  // the dot

        QGroupBox* group = nullptr;
        auto c = WindowWith<QGroupBox>(group, [](QGroupBox& box) { box.setTitle("分组"); });
        QVERIFY(Holds(Picture(*group), kSilverEditFrame));

        QComboBox* combo = nullptr;
        auto d = WindowWith<QComboBox>(combo, [](QComboBox& box) { box.addItems({"一", "二"}); });
        QVERIFY(Holds(Picture(*combo), kSilverButtonFrame));

        QSpinBox* spin = nullptr;
        auto e = WindowWith(spin);
        QVERIFY(Holds(Picture(*spin), kSilverEditFrame));
    }

    void otherSchemeNumbersSwitchTheSkinOff() {
        for (int scheme : {0, 4, -1}) {
            SetSkinScheme(scheme);
            QLineEdit* edit = nullptr;
            auto window = WindowWith(edit);
            QVERIFY(!Holds(Picture(*edit), kSilverEditFrame));
        }
        for (int scheme : {1, 2}) {
            SetSkinScheme(scheme);
            QLineEdit* edit = nullptr;
            auto window = WindowWith(edit);
            const QColor frame = Picture(*edit).pixelColor(0, edit->height() / 2);
            QVERIFY(frame != kSilverEditFrame);
            QVERIFY(!SkinStyleSheet(scheme).empty());
        }
    }

    // Message boxes and the file dialog are made long after the skin was switched on.
    void messageBoxesAndTheFileDialogAreCovered() {
        QImage cancelButton;
        ModalAnswer<QMessageBox> box([&](QMessageBox& shown) {
            cancelButton = Picture(*shown.button(QMessageBox::Cancel));  // not the focused default button
            shown.button(QMessageBox::Ok)->click();
        });
        ShowMessageBox("x", MB_OKCANCEL);
        QVERIFY(box.answered());
        QCOMPARE(cancelButton.pixelColor(cancelButton.width() / 2, 0), kSilverButtonFrame);

        QImage nameEdit;
        ModalAnswer<QFileDialog> dialog([&](QFileDialog& shown) {
            auto* edit = shown.findChild<QLineEdit*>("fileNameEdit");
            if (edit != nullptr) nameEdit = Picture(*edit);
            shown.reject();
        });
        RunFileDialog(DescribeDialog({.filter = "所有文件（*.*）|*.*"}), nullptr);
        QVERIFY(dialog.answered());
        QVERIFY(!nameEdit.isNull());
        QCOMPARE(nameEdit.pixelColor(0, nameEdit.height() / 2), kSilverEditFrame);
    }
};

QTEST_MAIN(SkinTest)
#include "skin_test.moc"
