// The hint window, opened by the main window's Hints button: layout, modality and closing.
#include <QClipboard>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QWindow>
#include <QtTest>

#include "app/hint_window.h"
#include "app/main_window.h"
#include "app/program_globals.h"
#include "runtime/runtime.h"
#include "runtime/runtime_window.h"
#include "tests/window/main_window_support.h"
#include "tests/window/window_test_support.h"

using namespace nobrelt;
using app::HintWindow;
using app::MainWindow;
using runtime::RuntimeWindow;

namespace {

using test::Main;
QLineEdit& Hint(const char* name) { return *test::ControlOf<QLineEdit>(HintWindow(), name); }
QPushButton& CloseButton() { return *test::ControlOf<QPushButton>(HintWindow(), "按钮1"); }

struct Opening {
    bool shown = false;
    bool closedByTest = false;  // false: the fallback had to close it
};

// Presses Hints and runs the action inside the hint window's modal loop. A window that the
// action leaves open is closed a little later, and the opening says so.
Opening WithHintWindow(const std::function<void(QWidget& hint)>& action) {
    Opening opening;
    QTimer fallback;
    fallback.setSingleShot(true);
    QObject::connect(&fallback, &QTimer::timeout, [] { runtime::UnloadWindow(HintWindow()); });
    test::ModalAnswer<RuntimeWindow> answer([&](RuntimeWindow& hint) {
        opening.shown = &hint == test::WindowOf(HintWindow()) && QTest::qWaitForWindowActive(&hint);
        QApplication::processEvents();  // the rest of the activation, before keys are pressed
        action(hint);
        test::SettleEvents();
        opening.closedByTest = !runtime::IsLoaded(HintWindow());
        if (!opening.closedByTest) fallback.start(50);
    });
    test::ControlOf<QPushButton>(MainWindow(), "按钮2")->click();  // returns once the window is gone
    return opening;
}

}  // namespace

class HintWindowTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { runtime::StartRuntime(); }

    void init() { QVERIFY(test::LoadMainWindow()); }

    void cleanup() { test::UnloadAll({&HintWindow(), &MainWindow()}); }

    void layoutAsGiven() {
        QRect frame;
        QString title;
        Qt::WindowFlags flags;
        bool fixed = false, hasIcon = false;
        struct Seen {
            QRect geometry;
            QString text;
            bool readOnly = false, framed = true, centred = false;
            QColor textColour, background;
            int pixelSize = 0;
        };
        std::map<std::string, Seen> seen;
        const Opening opening = WithHintWindow([&](QWidget& hint) {
            frame = hint.frameGeometry();
            title = hint.windowTitle();
            flags = hint.windowFlags();
            fixed = hint.minimumSize() == hint.maximumSize();
            hasIcon = hint.windowIcon().availableSizes().contains(QSize(32, 32));
            for (const char* name : {"编辑框1", "编辑框2", "编辑框3"}) {
                QLineEdit& edit = Hint(name);
                seen[name] = {edit.geometry(), edit.text(), edit.isReadOnly(), edit.hasFrame(),
                              bool(edit.alignment() & Qt::AlignHCenter), edit.palette().color(QPalette::Text),
                              edit.palette().color(QPalette::Base), edit.font().pixelSize()};
            }
            seen["按钮1"] = {CloseButton().geometry(), CloseButton().text(), false, true, true, {}, {},
                             CloseButton().font().pixelSize()};
        });
        QVERIFY(opening.shown);
        const QRect screen = QGuiApplication::primaryScreen()->geometry();
        QCOMPARE(frame, QRect((screen.width() - 356) / 2, (screen.height() - 239) / 2, 356, 239));
        QVERIFY(title.trimmed().isEmpty());
        QVERIFY(flags.testFlag(Qt::WindowMinimizeButtonHint));
        QVERIFY(!flags.testFlag(Qt::WindowMaximizeButtonHint));
        QVERIFY(fixed);
        QVERIFY(hasIcon);

        const QColor red(255, 0, 0), white(255, 255, 255);
        QCOMPARE(seen["编辑框3"].geometry, QRect(0, -8, 304, 48));
        QCOMPARE(seen["编辑框2"].geometry, QRect(0, 40, 304, 48));
        QCOMPARE(seen["编辑框1"].geometry, QRect(0, 88, 352, 48));
        QCOMPARE(seen["编辑框3"].text, QStringLiteral("可以直接将文件拖入窗口"));
        QCOMPARE(seen["编辑框2"].text, QStringLiteral("提取的文件和程序在同一目录"));
        QCOMPARE(seen["编辑框1"].text, QStringLiteral("只支持旷展名为exe,dll,ico,icl的文件"));
        for (const char* name : {"编辑框1", "编辑框2", "编辑框3"}) {
            QVERIFY(seen[name].readOnly);
            QVERIFY(!seen[name].framed);
            QVERIFY(seen[name].centred);
            QCOMPARE(seen[name].textColour, red);
            QCOMPARE(seen[name].background, white);
            QCOMPARE(seen[name].pixelSize, 19);
        }
        QCOMPARE(seen["按钮1"].geometry, QRect(224, 136, 128, 80));
        QCOMPARE(seen["按钮1"].text, QStringLiteral("关闭"));
        QCOMPARE(seen["按钮1"].pixelSize, 35);
    }

    // Red text on white, and no frame although the skin is on.
    void hintsAreDrawnRedOnWhiteWithoutFrame() {
        QImage picture;
        QVERIFY(WithHintWindow([&](QWidget&) {
            picture = Hint("编辑框2").grab().toImage().convertToFormat(QImage::Format_RGB32);
        }).shown);
        int red = 0;
        for (int y = 0; y < picture.height(); ++y)
            for (int x = 0; x < picture.width(); ++x) {
                const QColor colour = picture.pixelColor(x, y);
                if (colour.red() > 200 && colour.green() < 80 && colour.blue() < 80) ++red;
            }
        QVERIFY2(red > 50, "the hint is written in red");
        QCOMPARE(picture.pixelColor(0, 0), QColor(Qt::white));
        QCOMPARE(picture.pixelColor(0, picture.height() / 2), QColor(Qt::white));
    }

    // While it exists the main window is disabled and cannot be closed, even when the hint
    // window is minimised; it is owned by the main window (no taskbar button of its own).
    void mainWindowWaitsUntilTheHintWindowIsGone() {
        bool mainEnabled = true, mainClosed = true, minimisedMainEnabled = true, owned = false;
        const Opening opening = WithHintWindow([&](QWidget& hint) {
            mainEnabled = Main().isEnabled();
            mainClosed = Main().close();
            owned = hint.windowHandle()->transientParent() == Main().windowHandle();
            hint.showMinimized();
            QApplication::processEvents();
            minimisedMainEnabled = Main().isEnabled();
            CloseButton().click();
        });
        QVERIFY(opening.closedByTest);
        QVERIFY(!mainEnabled);
        QVERIFY(!mainClosed);
        QVERIFY(!minimisedMainEnabled);
        QVERIFY(owned);
        QVERIFY(Main().isEnabled());
        QVERIFY(Main().isVisible());
    }

    void escapeInAnyEditBoxCloses() {
        for (const char* name : {"编辑框1", "编辑框2", "编辑框3"}) {
            const Opening opening = WithHintWindow([&](QWidget&) {
                Hint(name).setFocus();
                QTest::keyClick(&Hint(name), Qt::Key_Escape);
            });
            QVERIFY2(opening.closedByTest, name);
            QVERIFY(runtime::IsLoaded(MainWindow()));  // only the hint window closes
        }
    }

    void closeRequestCloses() {
        QVERIFY(WithHintWindow([](QWidget& hint) { hint.close(); }).closedByTest);
    }

    void enterDoesNothing() {
        const Opening opening = WithHintWindow([](QWidget&) {
            for (QWidget* control : {static_cast<QWidget*>(&Hint("编辑框1")), static_cast<QWidget*>(&CloseButton())}) {
                control->setFocus();
                QTest::keyClick(control, Qt::Key_Return);
                QTest::keyClick(control, Qt::Key_Enter, Qt::KeypadModifier);
            }
        });
        QVERIFY(opening.shown);
        QVERIFY(!opening.closedByTest);
    }

    void tabCyclesThroughTheFourControls() {
        std::vector<QWidget*> visited, visitedBack;
        QVERIFY(WithHintWindow([&](QWidget&) {
            Hint("编辑框1").setFocus();
            for (int i = 0; i < 4; ++i) {
                QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
                visited.push_back(QApplication::focusWidget());
            }
            for (int i = 0; i < 4; ++i) {
                QTest::keyClick(QApplication::focusWidget(), Qt::Key_Backtab, Qt::ShiftModifier);
                visitedBack.push_back(QApplication::focusWidget());
            }
            const std::vector<QWidget*> forward = {&Hint("编辑框2"), &Hint("编辑框3"), &CloseButton(), &Hint("编辑框1")};
            const std::vector<QWidget*> backward = {&CloseButton(), &Hint("编辑框3"), &Hint("编辑框2"), &Hint("编辑框1")};
            QVERIFY(visited == forward);
            QVERIFY(visitedBack == backward);
            CloseButton().click();
        }).shown);
        QCOMPARE(visited.size(), std::size_t{4});
    }

    void hintsCannotBeEditedButCanBeCopied() {
        QString after, copied;
        QVERIFY(WithHintWindow([&](QWidget&) {
            QLineEdit& edit = Hint("编辑框2");
            edit.setFocus();
            QApplication::clipboard()->setText("pasted");
            QTest::keyClicks(&edit, "typed");
            QTest::keyClick(&edit, Qt::Key_V, Qt::ControlModifier);
            QTest::keyClick(&edit, Qt::Key_Backspace);
            QTest::keyClick(&edit, Qt::Key_A, Qt::ControlModifier);
            QTest::keyClick(&edit, Qt::Key_Delete);
            after = edit.text();
            QTest::keyClick(&edit, Qt::Key_C, Qt::ControlModifier);
            copied = QApplication::clipboard()->text();
            CloseButton().click();
        }).shown);
        QCOMPARE(after, QStringLiteral("提取的文件和程序在同一目录"));
        QCOMPARE(copied, QStringLiteral("提取的文件和程序在同一目录"));
    }

    // Nothing carries over: a fresh window at every opening.
    void freshAtEveryOpening() {
        QVERIFY(WithHintWindow([&](QWidget& hint) {
            Hint("编辑框1").setText("changed");
            hint.move(0, 0);
            CloseButton().click();
        }).shown);
        QString text;
        QRect frame;
        QVERIFY(WithHintWindow([&](QWidget& hint) {
            text = Hint("编辑框1").text();
            frame = hint.frameGeometry();
            CloseButton().click();
        }).shown);
        QCOMPARE(text, QStringLiteral("只支持旷展名为exe,dll,ico,icl的文件"));
        const QRect screen = QGuiApplication::primaryScreen()->geometry();
        QCOMPARE(frame.topLeft(), QPoint((screen.width() - 356) / 2, (screen.height() - 239) / 2));
    }
};

QTEST_MAIN(HintWindowTest)
#include "hint_window_test.moc"
