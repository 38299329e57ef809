// Esc in the main window ends the program: the message loop returns.
#include <QLineEdit>
#include <QTimer>
#include <QtTest>

#include "app/main_window.h"
#include "runtime/runtime.h"
#include "tests/window/window_test_support.h"

using namespace nobrelt;

class ProgramEndTest : public QObject {
    Q_OBJECT

private slots:
    void escapeEndsTheMessageLoop() {
        runtime::StartRuntime();
        runtime::LoadStartupWindow(app::MainWindow());
        bool pressed = false;
        QTimer::singleShot(0, [&] {
            pressed = true;
            QTest::keyClick(test::ControlOf<QLineEdit>(app::MainWindow(), "编辑框1"), Qt::Key_Escape);
        });
        // Should the window survive Esc, the loop would run on: end it after a while.
        QTimer failSafe;
        failSafe.setSingleShot(true);
        QObject::connect(&failSafe, &QTimer::timeout, [] { QCoreApplication::exit(7); });
        failSafe.start(20000);
        QCOMPARE(runtime::RunMessageLoop(), 0);
        QVERIFY(pressed);
        QVERIFY(!runtime::IsLoaded(app::MainWindow()));
    }
};

QTEST_MAIN(ProgramEndTest)
#include "program_end_test.moc"
