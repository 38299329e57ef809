// The window runtime: message boxes, texts and files, the common dialog, modal windows,
// properties and the drop-target component.
#include <QBuffer>
#include <QClipboard>
#include <QFileDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QWindow>
#include <QtTest>
#include <climits>
#include <filesystem>

#include "engine/clipboard_copy.h"
#include "engine/icon_image.h"
#include "runtime/clipboard.h"
#include "runtime/common_dialog.h"
#include "runtime/drop_target.h"
#include "runtime/runtime.h"
#include "runtime/runtime_window.h"
#include "runtime/testing.h"
#include "tests/engine/test_support.h"
#include "tests/window/window_test_support.h"

using namespace nobrelt;
using namespace nobrelt::runtime;
using nobrelt::test::ControlOf;
using nobrelt::test::ModalAnswer;
using nobrelt::test::WindowOf;

namespace {

WindowDefinition MakeWindow(const char* title, std::vector<EventBinding> bindings = {}) {
    return {
        .layout = {.title = title,
                   .outerWidth = 300,
                   .outerHeight = 200,
                   .controls = {{.name = "编辑框1", .kind = ControlKind::EditBox, .left = 8, .top = 8, .width = 120,
                                 .height = 24, .text = "初始", .tabOrder = 1},
                                {.name = "按钮1", .kind = ControlKind::PushButton, .left = 8, .top = 40,
                                 .width = 80, .height = 30, .text = "关闭", .tabOrder = 2},
                                {.name = "通用对话框1", .kind = ControlKind::CommonDialog},
                                {.name = "拖放对象1", .kind = ControlKind::DropTarget}}},
        .bindings = std::move(bindings),
    };
}

const WindowDefinition& Owner() {
    static const WindowDefinition window = MakeWindow("Owner");
    return window;
}
const WindowDefinition& Bystander() {
    static const WindowDefinition window = MakeWindow("Bystander");
    return window;
}
const WindowDefinition& Modal() {
    static const WindowDefinition window = MakeWindow("Modal", {OnClicked("按钮1", [] { UnloadWindow(Modal()); })});
    return window;
}

struct BoxCase {
    int kind;
    QMessageBox::StandardButton button;
    int expected;
    int buttons;  // how many the box shows
};

}  // namespace

class RuntimeTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { StartRuntime(); }
    void cleanup() { test::UnloadAll({&Owner(), &Bystander(), &Modal()}); }

    void messageBoxReturnsTheCodeOfEachButton() {
        const std::vector<BoxCase> cases = {
            {MB_OK, QMessageBox::Ok, kOk, 1},
            {MB_OKCANCEL, QMessageBox::Ok, kOk, 2},
            {MB_OKCANCEL, QMessageBox::Cancel, kCancel, 2},
            {MB_ABORTRETRYIGNORE, QMessageBox::Abort, kAbort, 3},
            {MB_ABORTRETRYIGNORE, QMessageBox::Retry, kRetry, 3},
            {MB_ABORTRETRYIGNORE, QMessageBox::Ignore, kIgnore, 3},
            {MB_YESNOCANCEL, QMessageBox::Yes, kYes, 3},
            {MB_YESNOCANCEL, QMessageBox::No, kNo, 3},
            {MB_YESNOCANCEL, QMessageBox::Cancel, kCancel, 3},
            {MB_YESNO, QMessageBox::Yes, kYes, 2},
            {MB_YESNO, QMessageBox::No, kNo, 2},
            {MB_RETRYCANCEL, QMessageBox::Retry, kRetry, 2},
            {MB_RETRYCANCEL, QMessageBox::Cancel, kCancel, 2},
            {MB_OKCANCEL | MB_ICONQUESTION | MB_SYSTEMMODAL, QMessageBox::Cancel, kCancel, 2},
        };
        for (const BoxCase& box : cases) {
            int buttonCount = 0;
            ModalAnswer<QMessageBox> answer([&](QMessageBox& shown) {
                buttonCount = static_cast<int>(shown.buttons().size());
                QVERIFY(shown.button(box.button) != nullptr);
                shown.button(box.button)->click();
            });
            const int result = ShowMessageBox("问题", box.kind);
            QVERIFY(answer.answered());
            QCOMPARE(result, box.expected);
            QCOMPARE(buttonCount, box.buttons);
        }
    }

    void messageBoxCaptionDefaultsAndTextIsShown() {
        QString caption, text;
        bool modal = false;
        ModalAnswer<QMessageBox> answer([&](QMessageBox& shown) {
            caption = shown.windowTitle();
            text = shown.text();
            modal = shown.windowModality() == Qt::ApplicationModal;
            shown.button(QMessageBox::Ok)->click();
        });
        ShowMessageBox("确定删除？", MB_OKCANCEL);
        QVERIFY(answer.answered());
        QCOMPARE(caption, QStringLiteral("信息："));
        QCOMPARE(text, QStringLiteral("确定删除？"));
        QVERIFY(modal);

        ModalAnswer<QMessageBox> named([&](QMessageBox& shown) {
            caption = shown.windowTitle();
            shown.button(QMessageBox::Ok)->click();
        });
        ShowMessageBox("x", MB_OK, std::string("标题"));
        QVERIFY(named.answered());
        QCOMPARE(caption, QStringLiteral("标题"));
    }

    void messageBoxDefaultButtonFollowsTheFlags() {
        QMessageBox::StandardButton chosen = QMessageBox::NoButton;
        ModalAnswer<QMessageBox> answer([&](QMessageBox& shown) {
            chosen = shown.standardButton(shown.defaultButton());
            shown.defaultButton()->click();
        });
        QCOMPARE(ShowMessageBox("x", MB_YESNOCANCEL | MB_DEFBUTTON2), int(kNo));
        QVERIFY(answer.answered());
        QCOMPARE(chosen, QMessageBox::No);
    }

    // Esc is Cancel where there is a Cancel button, OK where OK is alone, and nothing otherwise.
    void messageBoxEscape() {
        {
            ModalAnswer<QMessageBox> answer([](QMessageBox& shown) { QTest::keyClick(&shown, Qt::Key_Escape); });
            QCOMPARE(ShowMessageBox("x", MB_OKCANCEL), int(kCancel));
        }
        {
            ModalAnswer<QMessageBox> answer([](QMessageBox& shown) { QTest::keyClick(&shown, Qt::Key_Escape); });
            QCOMPARE(ShowMessageBox("x", MB_OK), int(kOk));
        }
        {
            bool stillShown = false;
            ModalAnswer<QMessageBox> answer([&](QMessageBox& shown) {
                QTest::keyClick(&shown, Qt::Key_Escape);
                QVERIFY(!shown.close());
                stillShown = shown.isVisible();
                shown.button(QMessageBox::No)->click();
            });
            QCOMPARE(ShowMessageBox("x", MB_YESNO), int(kNo));
            QVERIFY(stillShown);
        }
    }

    void integerToText() {
        const std::vector<std::pair<std::int32_t, std::string>> cases = {
            {0, "0"}, {1, "1"}, {10, "10"}, {-1, "-1"}, {2147483647, "2147483647"}, {INT_MIN, "-2147483648"}};
        for (const auto& [value, text] : cases) QCOMPARE(IntegerToText(value), text);
    }

    void runDirectoryIsTheExecutablesWithoutTrailingSeparator() {
        QCOMPARE(GetRunDirectory(), QCoreApplication::applicationDirPath().toStdString());
        OverrideRunDirectoryForTests("/tmp/somewhere/");
        QCOMPARE(GetRunDirectory(), std::string("/tmp/somewhere"));
        OverrideRunDirectoryForTests("/");
        QCOMPARE(GetRunDirectory(), std::string(""));
        OverrideRunDirectoryForTests(std::nullopt);
        QCOMPARE(GetRunDirectory(), QCoreApplication::applicationDirPath().toStdString());
    }

    void removeFile() {
        test::TempDir dir;
        const std::string file = dir / "1.ico";
        test::WriteBytes(file, test::Bytes(4));
        QVERIFY(RemoveFile(file));
        QVERIFY(!std::filesystem::exists(file));
        QVERIFY(!RemoveFile(file));
        std::filesystem::create_directory(dir / "sub");
        QVERIFY(!RemoveFile(dir / "sub"));
        QVERIFY(std::filesystem::exists(dir / "sub"));
    }

    void filterIsParsedIntoPairs() {
        struct Case {
            const char* filter;
            std::vector<FileFilter> expected;
        };
        const std::vector<Case> cases = {
            {"所有文件（*.*）|*.*", {{"所有文件（*.*）", {"*"}}}},
            {"Icons|*.ico;*.icl|All|*.*", {{"Icons", {"*.ico", "*.icl"}}, {"All", {"*"}}}},
            {"Icons|*.ico   ", {{"Icons", {"*.ico"}}}},
            {"Icons|*.ico|", {{"Icons", {"*.ico"}}}},
            {"Icons|*.ico||Never|*.x", {{"Icons", {"*.ico"}}}},
            {"Alone", {{"Alone", {}}}},
            {"", {}},
            {"   ", {}},
        };
        for (const Case& c : cases) {
            const std::vector<FileFilter> parsed = ParseFilter(c.filter);
            QCOMPARE(parsed.size(), c.expected.size());
            for (std::size_t i = 0; i < parsed.size(); ++i) {
                QCOMPARE(parsed[i].description, c.expected[i].description);
                QCOMPARE(parsed[i].patterns, c.expected[i].patterns);
            }
        }
        QCOMPARE(QtNameFilter({"所有文件（*.*）", {"*"}}), std::string("所有文件（*.*） (*)"));
        QCOMPARE(QtNameFilter({"Modules", {"*.exe", "*.dll"}}), std::string("Modules (*.exe *.dll)"));
    }

    void flagsFollowTheSwitches() {
        CommonDialogSettings settings;
        QCOMPARE(DialogFlags(settings), OFN_HIDEREADONLY);
        settings.fileMustExist = settings.pathMustExist = settings.overwritePrompt = true;
        QCOMPARE(DialogFlags(settings), 0x1806u);
        settings.createPrompt = settings.noChangeDirectory = true;
        QCOMPARE(DialogFlags(settings), 0x380Eu);
    }

    // The dialog runs with the component's settings; Cancel keeps FileName, OK replaces it.
    void commonDialogRunsWithItsSettings() {
        LoadStartupWindow(Owner());
        test::TempDir dir;
        const std::string picked = dir / "picked.ico";
        test::WriteBytes(picked, test::Bytes(4));
        WriteProperty(Owner(), "通用对话框1", Property::Type, "1");
        WriteProperty(Owner(), "通用对话框1", Property::Title, "保存");
        WriteProperty(Owner(), "通用对话框1", Property::Filter, "Icons|*.ico|All|*.*");
        WriteProperty(Owner(), "通用对话框1", Property::FilterIndex, "1");
        WriteProperty(Owner(), "通用对话框1", Property::DefaultExtension, "ico");
        WriteProperty(Owner(), "通用对话框1", Property::InitialDirectory, dir.path().string());
        WriteProperty(Owner(), "通用对话框1", Property::FileName, "earlier");

        QFileDialog::Options options;
        QString title, selectedFilter, suffix, directory;
        QStringList filters;
        QFileDialog::AcceptMode mode = QFileDialog::AcceptOpen;
        ModalAnswer<QFileDialog> cancelled([&](QFileDialog& dialog) {
            options = dialog.options();
            title = dialog.windowTitle();
            filters = dialog.nameFilters();
            selectedFilter = dialog.selectedNameFilter();
            suffix = dialog.defaultSuffix();
            directory = dialog.directory().absolutePath();
            mode = dialog.acceptMode();
            dialog.reject();
        });
        QVERIFY(!RunCommonDialog(Owner(), "通用对话框1"));
        QVERIFY(cancelled.answered());
        QVERIFY(options.testFlag(QFileDialog::DontUseNativeDialog));
        QVERIFY(options.testFlag(QFileDialog::DontConfirmOverwrite));
        QCOMPARE(title, QStringLiteral("保存"));
        QCOMPARE(filters, QStringList({"Icons (*.ico)", "All (*)"}));
        QCOMPARE(selectedFilter, QStringLiteral("All"));  // shown without its patterns
        QCOMPARE(suffix, QStringLiteral("ico"));
        QCOMPARE(directory, QString::fromStdString(dir.path().string()));
        QCOMPARE(mode, QFileDialog::AcceptSave);
        QCOMPARE(ReadProperty(Owner(), "通用对话框1", Property::FileName), std::optional<std::string>("earlier"));

        WriteProperty(Owner(), "通用对话框1", Property::Type, "0");
        QFileDialog::FileMode fileMode = QFileDialog::AnyFile;
        ModalAnswer<QFileDialog> accepted([&](QFileDialog& dialog) {
            fileMode = dialog.fileMode();
            dialog.selectFile(QString::fromStdString(picked));
            static_cast<QDialog&>(dialog).accept();  // QFileDialog::accept checks the choice
        });
        QVERIFY(RunCommonDialog(Owner(), "通用对话框1"));
        QVERIFY(accepted.answered());
        QCOMPARE(fileMode, QFileDialog::AnyFile);  // file-must-exist is off in this component
        QCOMPARE(ReadProperty(Owner(), "通用对话框1", Property::FileName), std::optional<std::string>(picked));
    }

    void propertiesAreCopiesAndEmptyReadsAsNone() {
        LoadStartupWindow(Owner());
        QCOMPARE(ReadProperty(Owner(), "编辑框1", Property::Text), std::optional<std::string>("初始"));
        QCOMPARE(ReadProperty(Owner(), "按钮1", Property::Text), std::optional<std::string>("关闭"));
        WriteProperty(Owner(), "编辑框1", Property::Text, std::nullopt);
        QCOMPARE(ReadProperty(Owner(), "编辑框1", Property::Text), std::nullopt);
        QCOMPARE(ControlOf<QLineEdit>(Owner(), "编辑框1")->text(), QString());
        QCOMPARE(ReadProperty(Owner(), "通用对话框1", Property::FileName), std::nullopt);
        QCOMPARE(ReadProperty(Owner(), "通用对话框1", Property::FilterIndex), std::optional<std::string>("0"));
    }

    void windowsAreBuiltAfreshAtEveryLoad() {
        LoadStartupWindow(Owner());
        WriteProperty(Owner(), "编辑框1", Property::Text, "changed");
        WriteProperty(Owner(), "通用对话框1", Property::FileName, "/x");
        UnloadWindow(Owner());
        test::SettleEvents();
        QVERIFY(!IsLoaded(Owner()));
        QVERIFY(LoadWindow(Owner()));
        QCOMPARE(ReadProperty(Owner(), "编辑框1", Property::Text), std::optional<std::string>("初始"));
        QCOMPARE(ReadProperty(Owner(), "通用对话框1", Property::FileName), std::nullopt);
    }

    // Modal: the other windows are disabled (a disabled one stays so), the new one is owned
    // by the active window, and the call returns only after the window is destroyed.
    void modalLoadDisablesTheOthersUntilDestroyed() {
        LoadStartupWindow(Owner());
        LoadWindow(Bystander());
        WindowOf(Bystander())->setEnabled(false);
        WindowOf(Owner())->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(WindowOf(Owner())));

        bool ownerEnabled = true, bystanderEnabled = true, modalEnabled = false, ownerCloses = true;
        bool ownedByOwner = false, loadedAfterUnload = false;
        ModalAnswer<RuntimeWindow> answer([&](RuntimeWindow& modal) {
            ownerEnabled = WindowOf(Owner())->isEnabled();
            bystanderEnabled = WindowOf(Bystander())->isEnabled();
            modalEnabled = modal.isEnabled();
            ownedByOwner = modal.windowHandle()->transientParent() == WindowOf(Owner())->windowHandle();
            ownerCloses = WindowOf(Owner())->close();
            ControlOf<QPushButton>(Modal(), "按钮1")->click();
            loadedAfterUnload = IsLoaded(Modal()) && modal.isVisible();  // destroyed only later
        });
        QVERIFY(LoadWindow(Modal(), nullptr, true));
        QVERIFY(answer.answered());
        QVERIFY(!IsLoaded(Modal()));
        QVERIFY(!ownerEnabled);
        QVERIFY(!bystanderEnabled);
        QVERIFY(modalEnabled);
        QVERIFY(ownedByOwner);
        QVERIFY(!ownerCloses);
        QVERIFY(loadedAfterUnload);
        QVERIFY(WindowOf(Owner())->isEnabled());
        QVERIFY(!WindowOf(Bystander())->isEnabled());
        QVERIFY(WindowOf(Owner())->isVisible());
    }

    void gotFileText() {
        QCOMPARE(GotFileText(*test::FileDrag({"/tmp/a b.exe"})), std::optional<std::string>("/tmp/a b.exe"));
        QCOMPARE(GotFileText(*test::FileDrag({"/tmp/b.dll", "/tmp/a.ico"})),
                 std::optional<std::string>("/tmp/b.dll\r\n/tmp/a.ico\r\n"));
        QCOMPARE(GotFileText(*test::FileDrag({"/tmp/图标.ico"})), std::optional<std::string>("/tmp/图标.ico"));
        QCOMPARE(GotFileText(*test::TextDrag("/tmp/a.exe")), std::nullopt);
        QMimeData remote;
        remote.setUrls({QUrl("https://example.org/a.exe")});
        QCOMPARE(GotFileText(remote), std::nullopt);
        QMimeData mixed;
        mixed.setUrls({QUrl::fromLocalFile("/tmp/a.exe"), QUrl("https://example.org/b.exe")});
        QCOMPARE(GotFileText(mixed), std::nullopt);
    }

    void dropTargetRegistersOnce() {
        LoadStartupWindow(Owner());
        LoadWindow(Bystander());
        QVERIFY(RegisterDropTarget(Owner(), "拖放对象1", GetWindowHandle(Owner())));
        QVERIFY(!RegisterDropTarget(Owner(), "拖放对象1", GetWindowHandle(Bystander())));
        QVERIFY(!RegisterDropTarget(Owner(), "拖放对象1", GetWindowHandle(Owner())));
        auto drag = test::FileDrag({"/tmp/x.ico"});
        QVERIFY(test::DragOver(*WindowOf(Owner()), *drag));
        QVERIFY(!test::DragOver(*WindowOf(Bystander()), *drag));
    }

    void dropTargetRefusesUntilRegistered() {
        LoadStartupWindow(Owner());
        auto drag = test::FileDrag({"/tmp/x.ico"});
        QVERIFY(!test::DragOver(*WindowOf(Owner()), *drag));
        QVERIFY(!RegisterDropTarget(Owner(), "拖放对象1", nullptr));
        QVERIFY(RegisterDropTarget(Owner(), "拖放对象1", GetWindowHandle(Owner())));
        QVERIFY(test::DragOver(*WindowOf(Owner()), *drag));
    }

    void clipboardOpensOnceAtATime() {
        ClipboardPort& clipboard = SystemClipboard();
        QVERIFY(clipboard.Open());
        QVERIFY(!clipboard.Open());
        clipboard.Close();
        QVERIFY(clipboard.Open());
        clipboard.Close();
        QVERIFY(!clipboard.Empty());  // not open
    }

    // A bitmap icon image: its DIB block behind a file header, and the picture it shows.
    void clipboardTakesABitmapImage() {
        IconImage image;
        image.bytes = test::MakeBitmapImage({.width = 16, .height = 16, .bitCount = 4});
        AnalyseImage(image);
        CopyImageToClipboard(&SystemClipboard(), image);
        const QMimeData* data = QApplication::clipboard()->mimeData();
        QVERIFY(data != nullptr && data->hasFormat("image/bmp"));
        const QByteArray bmp = data->data("image/bmp");
        const test::Bytes bytes(reinterpret_cast<const std::byte*>(bmp.data()),
                                reinterpret_cast<const std::byte*>(bmp.data()) + bmp.size());
        QCOMPARE(bmp.left(2), QByteArray("BM"));
        QCOMPARE(std::size_t{test::ReadU32(bytes, 2)}, 14 + image.bytes.size());
        QCOMPARE(test::ReadU32(bytes, 10), 14u + 40u + 16u * 4u);
        QCOMPARE(test::ReadU32(bytes, 14 + 8), 16u);  // the picture's height, not picture and mask
        QVERIFY(data->hasImage());
        QCOMPARE(qvariant_cast<QImage>(data->imageData()).size(), QSize(16, 16));
    }

    // A PNG image goes to the clipboard as the bitmap it decodes to.
    void clipboardTakesAPngImageAsItsPicture() {
        QImage picture(8, 8, QImage::Format_ARGB32);
        for (int y = 0; y < 8; ++y)
            for (int x = 0; x < 8; ++x) picture.setPixelColor(x, y, QColor(x * 30, y * 30, 200));
        QByteArray png;
        QBuffer buffer(&png);
        buffer.open(QIODevice::WriteOnly);
        QVERIFY(picture.save(&buffer, "PNG"));
        IconImage image;
        image.bytes.assign(reinterpret_cast<const std::byte*>(png.data()),
                           reinterpret_cast<const std::byte*>(png.data()) + png.size());
        AnalyseImage(image);
        QVERIFY(image.isPng());
        CopyImageToClipboard(&SystemClipboard(), image);
        const QMimeData* data = QApplication::clipboard()->mimeData();
        QVERIFY(data != nullptr && data->hasFormat("image/bmp"));
        QVERIFY(!data->data("image/bmp").contains("PNG"));
        const QImage pasted = qvariant_cast<QImage>(data->imageData());
        QCOMPARE(pasted.size(), QSize(8, 8));
        for (int y = 0; y < 8; ++y)
            for (int x = 0; x < 8; ++x) QCOMPARE(pasted.pixelColor(x, y).rgb(), picture.pixelColor(x, y).rgb());
    }
};

QTEST_MAIN(RuntimeTest)
#include "runtime_test.moc"
