#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <memory>

#include "storage/file_store.h"
#include "tests/widgets/modal_answer.h"
#include "ui/launcher.h"
#include "ui/main_window.h"
#include "ui/memo_name_combo.h"
#include "ui/memo_text_edit.h"
#include "ui/messages.h"

namespace markola {

using testing::ClickInNextMessageBox;
using testing::OnNextMessageBox;

namespace {

class RecordingLauncher : public Launcher {
public:
    bool succeed = true;
    QStringList calls;
    bool OpenFolder(const QString& path) override { return Record("folder " + path); }
    bool OpenUrl(const QUrl& url) override { return Record("url " + url.toString()); }
    bool StartDetached(const QString& program, const QString& dir) override {
        return Record("start " + program + " in " + dir);
    }

private:
    bool Record(const QString& call) {
        calls << call;
        return succeed;
    }
};

void WriteFile(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

QByteArray ReadFile(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

}  // namespace

class MainWindowTest : public QObject {
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void startsWithTheMemosListedAndTheArgumentsMemoShown();
    void comboReportsOnlyTypingAndAssignments();
    void choosingFromTheListSwitchesAndRestoresTheName();
    void menuBarCaptionsAndOrder();
    void lineCommandsOnTheBarRunAtOnce();
    void lineCommandsKeepTheTopLine();
    void shortcutsNeedCtrlAlone_data();
    void shortcutsNeedCtrlAlone();
    void textBoxKeysActBeforeTheCaretMoves();
    void ctrlASelectsAllAndInsertsNothing();
    void comboKeepsLineCommandsToTheTextBox();
    void comboShortcutsWorkWhereverItsFocusIs();
    void leavingTheComboChoosesNothing();
    void resizeLaysOutBothControls();
    void closingWithEditsCanBeCancelled();
    void messageBoxesReadAsOnAJapaneseDesktop();
    void geometryInTwips();
    void launchCommands();
    void aboutShowsTheVersionModally();

private:
    void Open(const QString& argument = {});
    MemoNameCombo* Combo() const { return window->findChild<MemoNameCombo*>("Combo1"); }
    MemoTextEdit* Text() const { return window->findChild<MemoTextEdit*>("Text1"); }
    QAction* Action(const char* name) const { return window->findChild<QAction*>(name); }

    std::unique_ptr<QTemporaryDir> dir;
    QString previousDir;
    DiskFileStore files;
    RecordingLauncher launcher;
    std::unique_ptr<MainWindow> window;
};

void MainWindowTest::init() {
    dir = std::make_unique<QTemporaryDir>();
    previousDir = QDir::currentPath();
    QDir::setCurrent(dir->path());
    QDir().mkdir("memo");
    launcher = {};
}

void MainWindowTest::cleanup() {
    window.reset();
    QDir::setCurrent(previousDir);
    dir.reset();
}

void MainWindowTest::Open(const QString& argument) {
    window = std::make_unique<MainWindow>(files, launcher, argument, "1.0.2");
    if (!QFile::exists("memo/.txt")) {
        ClickInNextMessageBox("OK");  // the unnamed memo's open failure
    }
    window->Form_Load();
    window->show();
    QVERIFY(QTest::qWaitForWindowExposed(window.get()));
}

void MainWindowTest::startsWithTheMemosListedAndTheArgumentsMemoShown() {
    WriteFile("memo/.txt", "unnamed");
    WriteFile("memo/b.txt", "\x82\xa0");  // あ
    WriteFile("memo/A.txt", "a");
    Open("b.TXT");
    QCOMPARE(window->windowTitle(), text::kApplicationTitle);
    QStringList listed;
    for (int i = 0; i < Combo()->count(); ++i) {
        listed << Combo()->itemText(i);
    }
    QCOMPARE(listed, (QStringList{"", "A", "b"}));
    QCOMPARE(Combo()->EditText(), QString("b"));
    QCOMPARE(Text()->MemoText(), QString("あ"));
    QVERIFY(Text()->hasFocus());
}

void MainWindowTest::comboReportsOnlyTypingAndAssignments() {
    WriteFile("memo/a.txt", "a");
    Open();
    int changes = 0;
    connect(Combo(), &MemoNameCombo::nameChanged, [&] { ++changes; });
    Combo()->setFocus();
    QTest::keyClicks(Combo()->lineEdit(), "pl");
    QCOMPARE(changes, 2);
    QCOMPARE(Combo()->EditText(), QString("pl"));
    Combo()->ClearList();
    Combo()->AddItem("a");
    Combo()->AddItem("plan");
    QCOMPARE(Combo()->EditText(), QString("pl"));
    QTest::keyClick(Combo()->lineEdit(), Qt::Key_Return);
    QCOMPARE(Combo()->count(), 2);
    QCOMPARE(Combo()->EditText(), QString("pl"));
    QCOMPARE(changes, 2);
    Combo()->SetEditText("pl");
    QCOMPARE(changes, 2);
    Combo()->SetEditText("x");
    QCOMPARE(changes, 3);
}

void MainWindowTest::choosingFromTheListSwitchesAndRestoresTheName() {
    WriteFile("memo/a.txt", "first");
    WriteFile("memo/b.txt", "second");
    Open("a");
    Combo()->setFocus();
    QTest::keyClick(Combo(), Qt::Key_Down);  // from no current item to "a", then "b"
    QTest::keyClick(Combo(), Qt::Key_Down);
    QCOMPARE(Text()->MemoText(), QString("second"));
    QTRY_COMPARE(Combo()->EditText(), QString("b"));
    Text()->setFocus();
    QTest::keyClick(Text(), Qt::Key_X);
    QString prompt;
    ClickInNextMessageBox(QStringLiteral("はい(&Y)"), &prompt);
    Combo()->setFocus();
    QTest::keyClick(Combo(), Qt::Key_Up);
    QCOMPARE(prompt, text::kCloseQuestion);
    QCOMPARE(ReadFile("memo/b.txt"), QByteArray("xsecond"));
    QCOMPARE(Text()->MemoText(), QString("first"));
    QTRY_COMPARE(Combo()->EditText(), QString("a"));
}

void MainWindowTest::menuBarCaptionsAndOrder() {
    Open();
    QStringList bar;
    for (QAction* action : window->menuBar()->actions()) {
        bar << action->text() + (action->menu() ? " >" : "");
    }
    QCOMPARE(bar, (QStringList{"ﾌｧｲﾙ(&F) >", "設定(&S) >", "■", "▲", "▼", "ﾍﾙﾌﾟ(&H) >"}));
    QStringList withShortcuts;
    const auto items = [&](const char* menu) {
        QStringList captions;
        for (QAction* action : window->findChild<QMenu*>(menu)->actions()) {
            captions << (action->isSeparator() ? "-" : action->text());
            if (!action->shortcut().isEmpty()) {
                withShortcuts << action->text();
            }
        }
        return captions;
    };
    QCOMPARE(items("mnuFile"), (QStringList{"新規作成(&N)  Ctrl+N", "保存(&S)  Ctrl+S", "-",
                                            "ﾘｽﾄの更新(&R)  Ctrl+R", "-", "終了(&X) Alt+F4"}));
    QCOMPARE(items("mnuSettings"), QStringList{"ﾒﾓﾌｫﾙﾀﾞを開く(&M)"});
    QCOMPARE(items("mnuHelp"), (QStringList{"はじめに(&H)", "MARKOLAについて"}));
    QCOMPARE(withShortcuts, QStringList());
}

void MainWindowTest::lineCommandsOnTheBarRunAtOnce() {
    WriteFile("memo/.txt", "a\r\nb\r\n");
    Open();
    Text()->SetSelStart(3);
    Action("mnuCheck")->trigger();
    QCOMPARE(Text()->MemoText(), QString("a\r\n□ b\r\n"));
    Action("mnuMemoUp")->trigger();
    QCOMPARE(Text()->MemoText(), QString("□ b\r\na\r\n"));
    Action("mnuMemoDown")->trigger();
    QCOMPARE(Text()->MemoText(), QString("a\r\n□ b\r\n"));
    QCOMPARE(Text()->SelStart(), 3);
}

void MainWindowTest::lineCommandsKeepTheTopLine() {
    QStringList lines;
    for (int line = 0; line < 200; ++line) {
        lines << QString("line %1").arg(line);
    }
    WriteFile("memo/.txt", lines.join("\r\n").toLatin1());
    Open();
    const auto startOfLine = [&lines](int line) {
        return static_cast<int>(lines.mid(0, line).join("\r\n").size()) + 2;
    };
    // Scrolled down to line 150 and back up to line 60: line 60 is now the top line,
    // and a command that moved the caret down a page would scroll.
    Text()->SetSelStart(startOfLine(150));
    Text()->SetSelStart(startOfLine(60));
    QCoreApplication::processEvents();
    const int top = Text()->FirstVisibleLine();
    QVERIFY(top > 50);
    for (const Qt::Key key : {Qt::Key_Down, Qt::Key_Up, Qt::Key_Left}) {
        QTest::keyClick(Text(), key, Qt::ControlModifier);
        QTRY_COMPARE(Text()->FirstVisibleLine(), top);
    }
}

void MainWindowTest::shortcutsNeedCtrlAlone_data() {
    QTest::addColumn<bool>("inCombo");
    QTest::addColumn<int>("modifiers");
    QTest::addColumn<bool>("saves");
    QTest::newRow("text Ctrl") << false << int(Qt::ControlModifier) << true;
    QTest::newRow("combo Ctrl") << true << int(Qt::ControlModifier) << true;
    for (const bool inCombo : {false, true}) {
        const char* where = inCombo ? "combo " : "text ";
        QTest::newRow(QByteArray(where) + "Ctrl+Shift")
            << inCombo << int(Qt::ControlModifier | Qt::ShiftModifier) << false;
        QTest::newRow(QByteArray(where) + "Ctrl+Alt")
            << inCombo << int(Qt::ControlModifier | Qt::AltModifier) << false;
        QTest::newRow(QByteArray(where) + "Shift") << inCombo << int(Qt::ShiftModifier) << false;
    }
}

void MainWindowTest::shortcutsNeedCtrlAlone() {
    QFETCH(bool, inCombo);
    QFETCH(int, modifiers);
    QFETCH(bool, saves);
    Open();
    Text()->SetMemoText("memo");
    QWidget* target = inCombo ? static_cast<QWidget*>(Combo()->lineEdit()) : Text();
    target->setFocus();
    QTest::keyClick(target, Qt::Key_S, Qt::KeyboardModifiers(modifiers));
    QCOMPARE(ReadFile("memo/.txt"), saves ? QByteArray("memo") : QByteArray("<missing>"));
    QVERIFY(!Text()->MemoText().contains(QChar(19)));
}

void MainWindowTest::textBoxKeysActBeforeTheCaretMoves() {
    WriteFile("memo/.txt", "one two\r\nthree\r\n");
    Open();
    Text()->SetSelStart(6);
    QTest::keyClick(Text(), Qt::Key_Left, Qt::ControlModifier);
    QCOMPARE(Text()->MemoText(), QString("□ one two\r\nthree\r\n"));
    QCOMPARE(Text()->SelStart(), 0);
    QTest::keyClick(Text(), Qt::Key_Down, Qt::ControlModifier);
    QCOMPARE(Text()->MemoText(), QString("three\r\n□ one two\r\n"));
    QTest::keyClick(Text(), Qt::Key_Z, Qt::ControlModifier);
    QCOMPARE(Text()->MemoText(), QString("□ one two\r\nthree\r\n"));
    QTest::keyClick(Text(), Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
    QCOMPARE(Text()->MemoText(), QString("three\r\n□ one two\r\n"));
    QTest::keyClick(Text(), Qt::Key_Z, Qt::ControlModifier);
    QTest::keyClick(Text(), Qt::Key_Y, Qt::ControlModifier);
    QCOMPARE(Text()->MemoText(), QString("three\r\n□ one two\r\n"));
    ClickInNextMessageBox(QStringLiteral("いいえ(&N)"));
    QTest::keyClick(Text(), Qt::Key_N, Qt::ControlModifier);
    QTest::keyClick(Text(), Qt::Key_R, Qt::ControlModifier);
    QCOMPARE(Combo()->EditText(), text::kNewMemoName);
    QCOMPARE(Text()->MemoText(), QString());
}

void MainWindowTest::ctrlASelectsAllAndInsertsNothing() {
    WriteFile("memo/.txt", "ab\r\ncd");
    Open();
    QTest::keyClick(Text(), Qt::Key_A, Qt::ControlModifier);
    QCOMPARE(Text()->textCursor().selectedText(), QString("ab\u2029cd"));
    QCOMPARE(Text()->MemoText(), QString("ab\r\ncd"));
    QTest::keyClick(Text(), Qt::Key_Tab);
    QCOMPARE(Text()->MemoText(), QString("\t"));
}

void MainWindowTest::comboKeepsLineCommandsToTheTextBox() {
    WriteFile("memo/.txt", "a\r\nb\r\n");
    Open();
    Text()->SetSelStart(3);
    Combo()->setFocus();
    for (const Qt::Key key : {Qt::Key_Up, Qt::Key_Down, Qt::Key_Left, Qt::Key_A}) {
        QTest::keyClick(Combo()->lineEdit(), key, Qt::ControlModifier);
    }
    QCOMPARE(Text()->MemoText(), QString("a\r\nb\r\n"));
    QCOMPARE(Combo()->EditText(), QString());
}

void MainWindowTest::comboShortcutsWorkWhereverItsFocusIs() {
    Open();
    Text()->SetMemoText("memo");
    QTest::keyClick(Combo(), Qt::Key_S, Qt::ControlModifier);
    QCOMPARE(ReadFile("memo/.txt"), QByteArray("memo"));
}

void MainWindowTest::leavingTheComboChoosesNothing() {
    WriteFile("memo/shop.txt", "shop");
    Open();
    Combo()->setFocus();
    QTest::keyClicks(Combo()->lineEdit(), "shop");
    Text()->setFocus();
    QCoreApplication::processEvents();
    QCOMPARE(Text()->MemoText(), QString());
    QCOMPARE(Combo()->EditText(), QString("shop"));
}

void MainWindowTest::resizeLaysOutBothControls() {
    Open();
    window->resize(500, 400);
    QTRY_COMPARE(window->centralWidget()->width(), 500);
    const QRect client = window->centralWidget()->rect();
    QCOMPARE(Combo()->geometry(), QRect(0, 0, client.width(), Combo()->sizeHint().height()));
    QCOMPARE(Text()->geometry(),
             QRect(0, Combo()->height(), client.width(), client.height() - Combo()->height()));
    const int textHeight = Text()->height();
    window->centralWidget()->resize(300, 5);  // lower than the combo box
    QCOMPARE(Text()->width(), 300);
    QCOMPARE(Combo()->width(), 300);
    QCOMPARE(Text()->height(), textHeight);
}

void MainWindowTest::closingWithEditsCanBeCancelled() {
    Open();
    QTest::keyClicks(Text(), "kept");
    QString title;
    ClickInNextMessageBox(QStringLiteral("キャンセル"), nullptr, &title);
    QVERIFY(!window->close());
    QCOMPARE(title, text::kCloseQuestionTitle);
    QVERIFY(window->isVisible());
    QCOMPARE(ReadFile("memo/.txt"), QByteArray("<missing>"));
    QVERIFY(QFile::exists("settings.ini"));
    ClickInNextMessageBox(QStringLiteral("はい(&Y)"));
    Action("mnuEnd")->trigger();
    QVERIFY(!window->isVisible());
    QCOMPARE(ReadFile("memo/.txt"), QByteArray("kept"));
}

void MainWindowTest::messageBoxesReadAsOnAJapaneseDesktop() {
    Open();
    QStringList captions;
    QString defaultCaption;
    OnNextMessageBox([&](QMessageBox& box) {
        for (QAbstractButton* button : box.buttons()) {
            captions << button->text();
        }
        defaultCaption = box.defaultButton()->text();
        box.close();
    });
    const Answer answer = window->ShowMessage("?", Buttons::YesNoCancel, MessageIcon::None);
    QCOMPARE(answer, Answer::Cancel);
    captions.sort();
    QCOMPARE(captions, (QStringList{"いいえ(&N)", "はい(&Y)", "キャンセル"}));
    QCOMPARE(defaultCaption, QString("はい(&Y)"));
    OnNextMessageBox([](QMessageBox& box) { box.close(); });
    QCOMPARE(window->ShowMessage("?", Buttons::YesNo, MessageIcon::None), Answer::No);
}

void MainWindowTest::geometryInTwips() {
    window = std::make_unique<MainWindow>(files, launcher, QString(), "1.0.2");
    const qreal dpi = window->screen()->logicalDotsPerInch();
    const auto px = [dpi](int twips) { return qRound(twips * dpi / 1440); };
    window->SetWindowGeometryTwips({6000, 7000, 1500, 1500});
    window->show();
    QVERIFY(QTest::qWaitForWindowExposed(window.get()));
    QCOMPARE(window->frameGeometry(), QRect(px(1500), px(1500), px(6000), px(7000)));
    // The window is whole pixels: 7000 twips became 467 pixels, which read back as 7005.
    QCOMPARE(window->WindowGeometryTwips(), (WindowGeometry{6000, 7005, 1500, 1500}));
    window->SetWindowGeometryTwips({6000, 7000, -900000, 1500});
    const QRect primary = window->screen()->availableGeometry();
    QCOMPARE(window->frameGeometry().topLeft(), primary.topLeft() + QPoint(px(1920), px(1335)));
    window->showMinimized();
    QTRY_VERIFY(window->isMinimized());
    QCOMPARE(window->WindowGeometryTwips(), WindowGeometry{});
}

void MainWindowTest::launchCommands() {
    Open();
    const QString memoFolder = QDir::current().absoluteFilePath("memo");
    Action("mngOpenMemo")->trigger();
    Action("mnuFirst")->trigger();
    QCOMPARE(launcher.calls, (QStringList{"folder " + memoFolder,
                                          "start " + QCoreApplication::applicationFilePath() +
                                              " in " + QDir::currentPath()}));
    launcher.succeed = false;
    QString prompt;
    ClickInNextMessageBox("OK", &prompt);
    Action("mngOpenMemo")->trigger();
    QCOMPARE(prompt, text::CannotOpenFolder(memoFolder));
    ClickInNextMessageBox("OK", &prompt);
    Action("mnuFirst")->trigger();
    QCOMPARE(prompt, text::CannotStartProgram(QCoreApplication::applicationFilePath()));
}

void MainWindowTest::aboutShowsTheVersionModally() {
    Open();
    QStringList versions;
    for (int showing = 0; showing < 2; ++showing) {
        QTimer::singleShot(50, [&versions] {
            QWidget* dialog = QApplication::activeModalWidget();
            QVERIFY(dialog);
            versions << dialog->findChild<QLabel*>("lblVersion")->text();
            dialog->findChild<QPushButton*>("Command1")->click();
        });
        Action("mnuAbout")->trigger();
    }
    QCOMPARE(versions, (QStringList{"ﾊﾞｰｼﾞｮﾝ 1.0.2", "ﾊﾞｰｼﾞｮﾝ 1.0.2"}));
}

}  // namespace markola

QTEST_MAIN(markola::MainWindowTest)
#include "main_window_test.moc"
