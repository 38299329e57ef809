// Extract and Delete end to end: a source dropped on the main window, the buttons pressed,
// the confirmation answered here, and the files in the run directory looked at.
#include <QCursor>
#include <QGuiApplication>
#include <QLineEdit>
#include <QMessageBox>
#include <QProcess>
#include <QPushButton>
#include <QtTest>
#include <algorithm>
#include <filesystem>
#include <set>

#include "app/main_window.h"
#include "app/program_globals.h"
#include "engine/extract_command.h"
#include "runtime/runtime.h"
#include "runtime/testing.h"
#include "tests/engine/test_support.h"
#include "tests/window/main_window_support.h"
#include "tests/window/window_test_support.h"

using namespace nobrelt;
using app::MainWindow;
using test::ModalAnswer;

namespace {

const std::string kFixtures = NOBRELT_FIXTURES_DIR;
const std::string kWindowFixtures = NOBRELT_WINDOW_FIXTURES_DIR;

using test::Main;
QPushButton& Button(const char* name) { return test::MainButton(name); }

std::set<std::string> FilesIn(const std::filesystem::path& directory) {
    std::set<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(directory)) names.insert(entry.path().filename());
    return names;
}

std::set<std::string> Numbered(int from, int to) {
    std::set<std::string> names;
    for (int n = from; n <= to; ++n) names.insert(std::to_string(n) + ".ico");
    return names;
}

void DropSource(const std::string& path) {
    auto drag = test::FileDrag({path});
    QVERIFY(test::DragOver(Button("按钮3"), *drag));
    QVERIFY(test::DropOn(Button("按钮3"), *drag));
    QCOMPARE(test::ControlOf<QLineEdit>(MainWindow(), "编辑框1")->text().toStdString(), path);
}

struct Confirmation {
    bool shown = false;
    QString text, caption;
    QMessageBox::StandardButtons buttons;
};

// Presses Delete and answers the confirmation with the button given.
Confirmation PressDelete(QMessageBox::StandardButton answer) {
    Confirmation seen;
    ModalAnswer<QMessageBox> box([&](QMessageBox& shown) {
        seen = {true, shown.text(), shown.windowTitle(), shown.standardButtons()};
        shown.button(answer)->click();
    });
    Button("按钮4").click();
    return seen;
}

// What nobrelt-cli writes for the same source, file by file.
std::map<std::string, test::Bytes> CommandLineOutput(const std::string& source, const test::TempDir& into) {
    QProcess cli;
    cli.start(NOBRELT_CLI, {"extract", QString::fromStdString(source), "-o", QString::fromStdString(into.path()), "-q"});
    cli.waitForFinished(60000);
    std::map<std::string, test::Bytes> files;
    for (const std::string& name : FilesIn(into.path())) files[name] = test::ReadBytes(into / name);
    return files;
}

}  // namespace

class ExtractDeleteTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { runtime::StartRuntime(); }

    void init() {
        runDirectory_ = std::make_unique<test::TempDir>();
        runtime::OverrideRunDirectoryForTests(runDirectory_->path().string());
        QVERIFY(test::LoadMainWindow());
    }

    void cleanup() {
        test::UnloadAll({&MainWindow()});
        runtime::OverrideRunDirectoryForTests(std::nullopt);
        runDirectory_.reset();
    }

    // Drop, Extract, Delete with OK: exactly the numbered files of the Extract go, and the
    // files are the ones the command line writes.
    void moduleDroppedExtractedAndDeleted() {
        const std::string source = kFixtures + "/five.dll";
        DropSource(source);
        test::WriteBytes(Dir() / "6.ico", test::Bytes(3));
        test::WriteBytes(Dir() / "keep.ico", test::Bytes(3));
        Button("按钮3").click();
        QCOMPARE(app::ExtractedCount, 5);
        std::set<std::string> expected = Numbered(1, 5);
        expected.insert({"6.ico", "keep.ico"});
        QCOMPARE(FilesIn(Dir().path()), expected);
        QVERIFY(QGuiApplication::overrideCursor() == nullptr);  // the busy cursor is gone again

        test::TempDir cliDirectory;
        const auto cliFiles = CommandLineOutput(source, cliDirectory);
        QCOMPARE(cliFiles.size(), std::size_t{5});
        for (const auto& [name, bytes] : cliFiles) QVERIFY2(test::ReadBytes(Dir() / name) == bytes, name.c_str());

        const Confirmation confirmation = PressDelete(QMessageBox::Ok);
        QVERIFY(confirmation.shown);
        QCOMPARE(confirmation.text, QStringLiteral("确定删除？"));
        QCOMPARE(confirmation.caption, QStringLiteral("信息："));
        QCOMPARE(confirmation.buttons, QMessageBox::Ok | QMessageBox::Cancel);
        QCOMPARE(FilesIn(Dir().path()), (std::set<std::string>{"6.ico", "keep.ico"}));
        QCOMPARE(app::ExtractedCount, 5);

        QVERIFY(PressDelete(QMessageBox::Ok).shown);  // the same deletions again, finding nothing
        QCOMPARE(FilesIn(Dir().path()), (std::set<std::string>{"6.ico", "keep.ico"}));
    }

    // Twelve groups: 1.ico … 12.ico, each its own group, the tenth as 10.ico.
    void twelveGroupsGiveTwelveFiles() {
        const std::string source = kWindowFixtures + "/twelve.dll";
        DropSource(source);
        Button("按钮3").click();
        QCOMPARE(app::ExtractedCount, 12);
        QCOMPARE(FilesIn(Dir().path()), Numbered(1, 12));
        test::TempDir single;
        for (int n : {1, 2, 10, 12}) {
            const std::string name = std::to_string(n) + ".ico";
            QCOMPARE(ExtractIconGroup(source, kModeSaveToFile, single / name, n), 12);
            QVERIFY2(test::ReadBytes(Dir() / name) == test::ReadBytes(single / name), name.c_str());
        }
        QVERIFY(test::ReadBytes(Dir() / "1.ico") != test::ReadBytes(Dir() / "10.ico"));
    }

    void iconFileGivesOneFile() {
        test::TempDir sources;
        const std::string icon = sources / "picture.ico";
        test::WriteBytes(icon, test::MakeIconFile({{.image = test::MakeBitmapImage({.width = 16, .height = 16}),
                                                    .width = 16, .height = 16, .planes = 1, .bitCount = 4}}));
        DropSource(icon);
        Button("按钮3").click();
        QCOMPARE(app::ExtractedCount, 1);
        QCOMPARE(FilesIn(Dir().path()), Numbered(1, 1));
    }

    void nothingToExtractWritesNothing() {
        test::TempDir sources;
        const std::string text = sources / "notes.txt";
        test::WriteBytes(text, test::Bytes(10));
        for (const std::string& source : {std::string(), text, kFixtures + "/noicons.dll", sources / "gone.dll"}) {
            app::ExtractedCount = 7;
            runtime::WriteProperty(MainWindow(), "编辑框1", runtime::Property::Text, source);
            Button("按钮3").click();
            QCOMPARE(app::ExtractedCount, 0);
            QVERIFY2(FilesIn(Dir().path()).empty(), source.c_str());
        }
    }

    void cancelTouchesNothing() {
        DropSource(kFixtures + "/five.dll");
        Button("按钮3").click();
        const Confirmation confirmation = PressDelete(QMessageBox::Cancel);
        QVERIFY(confirmation.shown);
        QCOMPARE(FilesIn(Dir().path()), Numbered(1, 5));
    }

    void deleteBeforeAnyExtractRemovesNothing() {
        test::WriteBytes(Dir() / "1.ico", test::Bytes(3));
        QVERIFY(PressDelete(QMessageBox::Ok).shown);
        QCOMPARE(FilesIn(Dir().path()), Numbered(1, 1));
    }

    // A later Extract that finds nothing leaves Delete nothing to remove.
    void deleteAfterAnEmptyExtractRemovesNothing() {
        DropSource(kWindowFixtures + "/twelve.dll");
        Button("按钮3").click();
        DropSource(kFixtures + "/noicons.dll");
        Button("按钮3").click();
        QCOMPARE(app::ExtractedCount, 0);
        QVERIFY(PressDelete(QMessageBox::Ok).shown);
        QCOMPARE(FilesIn(Dir().path()), Numbered(1, 12));
    }

    void missingFilesAreSkipped() {
        DropSource(kFixtures + "/five.dll");
        Button("按钮3").click();
        std::filesystem::remove(Dir() / "2.ico");
        std::filesystem::create_directory(Dir() / "3.ico.keep");
        QVERIFY(PressDelete(QMessageBox::Ok).shown);
        QCOMPARE(FilesIn(Dir().path()), (std::set<std::string>{"3.ico.keep"}));
    }

    void enterOnTheButtonsDoesNothing() {
        runtime::WriteProperty(MainWindow(), "编辑框1", runtime::Property::Text, kFixtures + "/five.dll");
        for (const char* name : {"按钮3", "按钮4"}) {
            ModalAnswer<QWidget> anything([](QWidget& modal) { modal.close(); });
            Button(name).setFocus();
            QTest::keyClick(&Button(name), Qt::Key_Return);
            QTest::keyClick(&Button(name), Qt::Key_Enter, Qt::KeypadModifier);
            QTest::qWait(20);
            QVERIFY(!anything.answered());
        }
        QVERIFY(FilesIn(Dir().path()).empty());
    }

private:
    const test::TempDir& Dir() const { return *runDirectory_; }

    std::unique_ptr<test::TempDir> runDirectory_;
};

QTEST_MAIN(ExtractDeleteTest)
#include "extract_delete_test.moc"
