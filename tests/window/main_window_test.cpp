// The main window as a user meets it: layout, the read-only path box, Choose file, drops and keys.
#include <QClipboard>
#include <QFileDialog>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QtTest>

#include "app/main_window.h"
#include "app/program_globals.h"
#include "runtime/runtime.h"
#include "runtime/skin.h"
#include "tests/engine/test_support.h"
#include "tests/window/main_window_support.h"
#include "tests/window/window_test_support.h"

using namespace nobrelt;
using app::MainWindow;
using runtime::Property;
using test::ControlOf;
using test::ModalAnswer;

namespace {

using test::Main;
using test::PathBox;
QPushButton& Button(const char* name) { return test::MainButton(name); }
QString PathText() { return PathBox().text(); }

// The five controls in Tab order.
std::vector<QWidget*> TabStops() {
    return {&PathBox(), &Button("按钮1"), &Button("按钮2"), &Button("按钮3"), &Button("按钮4")};
}

void ChooseFile(const std::optional<std::string>& pick) {
    ModalAnswer<QFileDialog> answer([&](QFileDialog& dialog) {
        if (!pick) return dialog.reject();
        dialog.selectFile(QString::fromStdString(*pick));
        static_cast<QDialog&>(dialog).accept();  // QFileDialog::accept checks the choice
    });
    Button("按钮1").click();
    QVERIFY(answer.answered());
}

void Drop(const std::vector<std::string>& paths) {
    auto drag = test::FileDrag(paths);
    QVERIFY(test::DragOver(Main(), *drag));
    QVERIFY(test::DropOn(Main(), *drag));
}

}  // namespace

class MainWindowTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { runtime::StartRuntime(); }

    void init() { QVERIFY(test::LoadMainWindow()); }

    void cleanup() { test::UnloadAll({&MainWindow()}); }

    void windowSettings() {
        QCOMPARE(Main().windowTitle(), QStringLiteral("Nobrelt"));
        const QRect screen = QGuiApplication::primaryScreen()->geometry();
        QCOMPARE(Main().frameGeometry(), QRect((screen.width() - 380) / 2, (screen.height() - 250) / 2, 380, 250));
        QCOMPARE(Main().minimumSize(), Main().maximumSize());
        const Qt::WindowFlags flags = Main().windowFlags();
        QVERIFY(flags.testFlag(Qt::WindowMinimizeButtonHint));
        QVERIFY(flags.testFlag(Qt::WindowCloseButtonHint));
        QVERIFY(flags.testFlag(Qt::WindowSystemMenuHint));
        QVERIFY(!flags.testFlag(Qt::WindowMaximizeButtonHint));
        QVERIFY(Main().windowIcon().availableSizes().contains(QSize(32, 32)));
        QCOMPARE(Main().backgroundRole(), QPalette::Button);
        QCOMPARE(Main().font(), QApplication::font());
    }

    void controlsAtTheirPlaces() {
        struct Place {
            const char* name;
            QRect geometry;
            const char* text;
        };
        const std::vector<Place> places = {
            {"编辑框1", {16, 24, 208, 40}, ""},        {"按钮1", {232, 28, 64, 30}, "选择文件"},
            {"按钮2", {304, 28, 64, 30}, "提示"},      {"按钮3", {232, 88, 64, 48}, "提取"},
            {"按钮4", {304, 88, 64, 48}, "删除"},
        };
        for (const Place& place : places) {
            QWidget* control = ControlOf(MainWindow(), place.name);
            QVERIFY2(control != nullptr, place.name);
            QCOMPARE(control->geometry(), place.geometry);
            QCOMPARE(control->font(), QApplication::font());
            QCOMPARE(runtime::ReadProperty(MainWindow(), place.name, Property::Text).value_or(""),
                     std::string(place.text));
        }
        QVERIFY(PathBox().isReadOnly());
        QVERIFY(PathBox().hasFrame());
        QVERIFY(PathBox().alignment() & Qt::AlignLeft);
        for (const char* name : {"按钮1", "按钮2", "按钮3", "按钮4"}) {
            QVERIFY(!Button(name).isDefault());
            QVERIFY(!Button(name).autoDefault());
        }
    }

    void creationSwitchedTheSkinOnAndRegisteredTheDropTarget() {
        QCOMPARE(qApp->styleSheet().toStdString(), runtime::SkinStyleSheet(runtime::kSilverScheme));
        QVERIFY(!runtime::RegisterDropTarget(MainWindow(), "拖放对象1", &Main()));  // taken already
    }

    // Typing, pasting and deleting change nothing; selecting and copying work.
    void pathBoxIsReadOnly() {
        runtime::WriteProperty(MainWindow(), "编辑框1", Property::Text, "/tmp/图标.ico");
        PathBox().setFocus();
        QApplication::clipboard()->setText("pasted");
        QTest::keyClicks(&PathBox(), "typed");
        QTest::keyClick(&PathBox(), Qt::Key_V, Qt::ControlModifier);
        QTest::keyClick(&PathBox(), Qt::Key_Insert, Qt::ShiftModifier);
        QTest::keyClick(&PathBox(), Qt::Key_Backspace);
        QTest::keyClick(&PathBox(), Qt::Key_Home);
        QTest::keyClick(&PathBox(), Qt::Key_Delete);
        QTest::keyClick(&PathBox(), Qt::Key_A, Qt::ControlModifier);
        QTest::keyClick(&PathBox(), Qt::Key_X, Qt::ControlModifier);
        QCOMPARE(PathText(), QStringLiteral("/tmp/图标.ico"));
        QCOMPARE(QApplication::clipboard()->text(), QStringLiteral("pasted"));

        QTest::keyClick(&PathBox(), Qt::Key_A, Qt::ControlModifier);
        QCOMPARE(PathBox().selectedText(), QStringLiteral("/tmp/图标.ico"));
        QTest::keyClick(&PathBox(), Qt::Key_C, Qt::ControlModifier);
        QCOMPARE(QApplication::clipboard()->text(), QStringLiteral("/tmp/图标.ico"));
    }

    void chooseFilePutsTheFullPath() {
        test::TempDir dir;
        const std::string module = dir / "myexe";  // no dot: all files means all
        test::WriteBytes(module, test::Bytes(4));
        QStringList filters;
        QFileDialog::FileMode mode = QFileDialog::AnyFile;
        QFileDialog::Options options;
        ModalAnswer<QFileDialog> answer([&](QFileDialog& dialog) {
            filters = dialog.nameFilters();
            mode = dialog.fileMode();
            options = dialog.options();
            dialog.selectFile(QString::fromStdString(module));
            static_cast<QDialog&>(dialog).accept();
        });
        Button("按钮1").click();
        QVERIFY(answer.answered());
        QCOMPARE(PathText().toStdString(), module);
        QCOMPARE(filters, QStringList{QStringLiteral("所有文件（*.*） (*)")});
        QCOMPARE(mode, QFileDialog::ExistingFile);
        QVERIFY(options.testFlag(QFileDialog::DontUseNativeDialog));
    }

    void cancelBeforeAnyPickEmptiesTheBox() {
        Drop({"/tmp/dropped.exe"});
        QCOMPARE(PathText(), QStringLiteral("/tmp/dropped.exe"));
        ChooseFile(std::nullopt);
        QCOMPARE(PathText(), QString());
    }

    void cancelBringsTheLastPickBack() {
        test::TempDir dir;
        const std::string first = dir / "first.dll", second = dir / "second.exe";
        test::WriteBytes(first, test::Bytes(4));
        test::WriteBytes(second, test::Bytes(4));
        ChooseFile(first);
        Drop({second});
        QCOMPARE(PathText().toStdString(), second);
        ChooseFile(std::nullopt);
        QCOMPARE(PathText().toStdString(), first);
    }

    void oneFileDroppedAnywhere() {
        for (QWidget* target : {&Main(), static_cast<QWidget*>(&PathBox()), static_cast<QWidget*>(&Button("按钮1")),
                                static_cast<QWidget*>(&Button("按钮4"))}) {
            const std::string path = "/tmp/放下/" + target->objectName().toStdString() + ".ico";
            auto drag = test::FileDrag({path});
            QVERIFY(test::DragOver(*target, *drag));
            QVERIFY(test::DropOn(*target, *drag));
            QCOMPARE(PathText().toStdString(), path);
        }
    }

    void severalFilesEachFollowedByALineBreak() {
        Drop({"/tmp/b.dll", "/tmp/a.exe"});
        QCOMPARE(runtime::ReadProperty(MainWindow(), "编辑框1", Property::Text),
                 std::optional<std::string>("/tmp/b.dll\r\n/tmp/a.exe\r\n"));
    }

    void draggedTextIsRefused() {
        runtime::WriteProperty(MainWindow(), "编辑框1", Property::Text, "/tmp/kept.ico");
        for (QWidget* target : {&Main(), static_cast<QWidget*>(&PathBox()), static_cast<QWidget*>(&Button("按钮2"))}) {
            auto drag = test::TextDrag("/tmp/text.ico");
            QVERIFY(!test::DragOver(*target, *drag));
            QVERIFY(!test::DropOn(*target, *drag));
        }
        QCOMPARE(PathText(), QStringLiteral("/tmp/kept.ico"));
    }

    void tabCyclesThroughTheFiveControls() {
        const std::vector<QWidget*> stops = TabStops();
        stops.front()->setFocus();
        for (std::size_t i = 1; i <= stops.size(); ++i) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            QCOMPARE(QApplication::focusWidget(), stops[i % stops.size()]);
        }
        for (std::size_t i = stops.size(); i-- > 0;) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Backtab, Qt::ShiftModifier);
            QCOMPARE(QApplication::focusWidget(), stops[i]);
        }
    }

    void enterDoesNothing() {
        runtime::WriteProperty(MainWindow(), "编辑框1", Property::Text, "/tmp/kept.ico");
        for (QWidget* control : TabStops()) {
            ModalAnswer<QWidget> anything([](QWidget& modal) { modal.close(); });
            control->setFocus();
            QTest::keyClick(control, Qt::Key_Return);
            QTest::keyClick(control, Qt::Key_Enter, Qt::KeypadModifier);
            QTest::qWait(20);
            QVERIFY2(!anything.answered(), qPrintable(control->objectName()));
            QVERIFY(Main().isVisible());
            QCOMPARE(PathText(), QStringLiteral("/tmp/kept.ico"));
        }
    }

    void escapeClosesTheWindow() {
        for (const char* name : {"编辑框1", "按钮3"}) {
            if (!runtime::IsLoaded(MainWindow())) init();
            QWidget* control = ControlOf(MainWindow(), name);
            control->setFocus();
            QPointer<QWidget> window = &Main();
            QTest::keyClick(control, Qt::Key_Escape);
            test::SettleEvents();
            QVERIFY(window.isNull());
            QVERIFY(!runtime::IsLoaded(MainWindow()));
        }
    }
};

QTEST_MAIN(MainWindowTest)
#include "main_window_test.moc"
