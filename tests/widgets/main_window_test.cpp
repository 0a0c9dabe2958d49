#include <QAccessible>
#include <QDir>
#include <QFile>
#include <QFontInfo>
#include <QInputMethodEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QMessageBox>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <functional>
#include <memory>

#include "storage/file_store.h"
#include "ui/launcher.h"
#include "ui/messages.h"
#include "ui/widgets/about_dialog.h"
#include "ui/widgets/main_window.h"
#include "ui/widgets/memo_name_combo.h"
#include "ui/widgets/memo_text_edit.h"
#include "ui/widgets/toolkit_translation.h"

namespace markola {
namespace {

struct RecordingLauncher : Launcher {
    bool succeed = true;
    QStringList calls;
    bool OpenFolder(const QString& path) override { return Record("folder " + path); }
    bool OpenUrl(const QUrl& url) override { return Record("url " + url.toString()); }
    bool StartDetached(const QString& program, const QString& dir) override {
        return Record("start " + program + " in " + dir);
    }
    bool Record(const QString& call) {
        calls << call;
        return succeed;
    }
};

// Acts on the next modal message box as soon as it is shown, from inside its own event
// loop, so a test can read and answer a question that blocks the code under test.
void OnNextMessageBox(std::function<void(QMessageBox&)> act) {
    auto* poll = new QTimer;
    poll->setInterval(10);
    QObject::connect(poll, &QTimer::timeout, [poll, act = std::move(act)] {
        if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
            poll->stop();
            poll->deleteLater();
            act(*box);
        }
    });
    poll->start();
}

// Clicks the button of that caption in the next message box, keeping the box's text.
void ClickInNextMessageBox(const QString& caption, QString* prompt = nullptr) {
    OnNextMessageBox([=](QMessageBox& box) {
        if (prompt) {
            *prompt = box.text();
        }
        for (QAbstractButton* button : box.buttons()) {
            if (button->text() == caption) {
                return button->click();
            }
        }
        box.reject();
    });
}

void WriteFile(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

// As a desktop sends it: a letter with Ctrl types its control character.
void PressKey(QWidget* target, Qt::Key key, Qt::KeyboardModifiers modifiers) {
    const bool letter = key >= Qt::Key_A && key <= Qt::Key_Z;
    QKeyEvent press(QEvent::KeyPress, key, modifiers,
                    letter ? QString(QChar(key - Qt::Key_A + 1)) : QString());
    QApplication::sendEvent(target, &press);
}

// A composition as an input method shows it in the focused control.
void Compose(const QString& preedit) {
    QInputMethodEvent event(preedit, {});
    QApplication::sendEvent(QApplication::focusWidget(), &event);
}

}  // namespace

class MainWindowTest : public QObject {
    Q_OBJECT

    std::unique_ptr<QTemporaryDir> dir;
    QString previousDir;
    DiskFileStore files;
    RecordingLauncher launcher;
    std::unique_ptr<MainWindow> window;

    void Open(const QByteArray& unnamedMemo = {}) {
        WriteFile("memo/.txt", unnamedMemo);
        window = std::make_unique<MainWindow>(files, launcher, QString(), "1.0.2");
        window->Form_Load();
        window->show();
        QVERIFY(QTest::qWaitForWindowExposed(window.get()));
    }
    MemoNameCombo* Combo() const { return window->findChild<MemoNameCombo*>("Combo1"); }
    MemoTextEdit* Text() const { return window->findChild<MemoTextEdit*>("Text1"); }
    QAction* Action(const char* name) const { return window->findChild<QAction*>(name); }

private slots:
    void initTestCase() { QVERIFY(InstallToolkitJapanese(*qApp)); }

    void init() {
        dir = std::make_unique<QTemporaryDir>();
        previousDir = QDir::currentPath();
        QDir::setCurrent(dir->path());
        QDir().mkdir("memo");
        launcher = {};
    }

    void cleanup() {
        window.reset();
        QDir::setCurrent(previousDir);
        dir.reset();
    }

    void menuCaptionsOrderAndNames() {
        Open();
        QStringList tree;
        const auto add = [&tree](QAction* action, const QString& indent) {
            const QString name =
                action->menu() ? action->menu()->objectName() : action->objectName();
            tree << indent + name + " " + (action->isSeparator() ? "-" : action->text());
            QVERIFY(action->shortcut().isEmpty());
        };
        for (QAction* top : window->menuBar()->actions()) {
            add(top, "");
            for (QAction* item : top->menu() ? top->menu()->actions() : QList<QAction*>()) {
                add(item, "  ");
            }
        }
        QCOMPARE(tree, (QStringList{"mnuFile ﾌｧｲﾙ(&F)", "  mnuNewFile 新規作成(&N)  Ctrl+N",
                                    "  mnuSave 保存(&S)  Ctrl+S", "  mnuLine1 -",
                                    "  mnuReload ﾘｽﾄの更新(&R)  Ctrl+R", "  mnuLine2 -",
                                    "  mnuEnd 終了(&X) Alt+F4", "mnuSettings 設定(&S)",
                                    "  mngOpenMemo ﾒﾓﾌｫﾙﾀﾞを開く(&M)", "mnuCheck ■", "mnuMemoUp ▲",
                                    "mnuMemoDown ▼", "mnuHelp ﾍﾙﾌﾟ(&H)", "  mnuFirst はじめに(&H)",
                                    "  mnuAbout MARKOLAについて"}));
    }

    void comboReportsOnlyTypingAndAssignments() {
        WriteFile("memo/plan.txt", "plan");
        Open();
        int changes = 0;
        connect(Combo(), &MemoNameCombo::nameChanged, [&] { ++changes; });
        Combo()->setFocus();
        QTest::keyClicks(Combo()->lineEdit(), "pl");
        Combo()->ClearList();
        Combo()->AddItem("plan");
        QCOMPARE(Combo()->EditText(), QString("pl"));
        QTest::keyClicks(Combo()->lineEdit(), "a");
        QCOMPARE(Combo()->EditText(), QString("pla"));  // no completion to "plan"
        QTest::keyClicks(Combo()->lineEdit(), "n");
        QTest::keyClick(Combo()->lineEdit(), Qt::Key_Return);
        Text()->setFocus();  // leaving the field that names a listed memo
        QCoreApplication::processEvents();
        QCOMPARE(Combo()->count(), 1);
        QCOMPARE(Text()->MemoText(), QString());  // nor Enter nor leaving chose "plan"
        Combo()->SetEditText("plan");
        QCOMPARE(changes, 4);
        Combo()->SetEditText("x");
        QCOMPARE(changes, 5);
        Combo()->setFocus();
        Compose(u"メモ"_qs);
        QCOMPARE(changes, 5);
        Combo()->SetEditText("y");  // the composition is committed first, then replaced
        QCOMPARE(changes, 7);
        QCOMPARE(Combo()->EditText(), QString("y"));
        QTest::keyClick(Combo(), Qt::Key_Down);
        QCOMPARE(Text()->MemoText(), QString("plan"));
    }

    // Cancel arms the restore; a choice made within its 100 ms asks again, and the tick that
    // falls due while that question is open waits until the choice has been handled.
    void restoreTickWaitsUntilTheQuestionOpenAtItsTimeIsHandled() {
        WriteFile("memo/plan.txt", "plan");
        WriteFile("memo/shop.txt", "shop");
        Open();
        const auto choose = [this](const QString& name) {
            const int index = Combo()->findText(name);
            Combo()->setCurrentIndex(index);
            emit Combo()->activated(index);
        };
        Text()->SetMemoText("edited");
        ClickInNextMessageBox("キャンセル");
        choose("plan");
        OnNextMessageBox([](QMessageBox& box) {
            QTimer::singleShot(300, &box, [&box] { box.button(QMessageBox::No)->click(); });
        });
        choose("shop");
        QTest::qWait(300);
        QCOMPARE(Text()->MemoText(), QString("shop"));
        QCOMPARE(Combo()->EditText(), QString("shop"));
    }

    void textBoxKeysBarItemsAndDoubleClick() {
        Open("a\r\nb\r\n");
        PressKey(Text(), Qt::Key_A, Qt::ControlModifier);
        QCOMPARE(Text()->textCursor().selectedText(), QString("a\u2029b\u2029"));
        QTextCursor lineB(Text()->document());
        lineB.setPosition(2);
        QTest::mouseDClick(Text()->viewport(), Qt::LeftButton, {},
                           Text()->cursorRect(lineB).center());
        QCOMPARE(Text()->MemoText(), QString("a\r\n□ b\r\n"));
        // Unconsumed, Ctrl+Left would then take the caret a word back, to the first line.
        QTest::keyClick(Text(), Qt::Key_Left, Qt::ControlModifier);
        QCOMPARE(Text()->MemoText(), QString("a\r\n■ b\r\n"));
        for (const auto& [item, memo] : {std::pair{"mnuCheck", "a\r\n□ b\r\n"},
                                         {"mnuMemoUp", "□ b\r\na\r\n"},
                                         {"mnuMemoDown", "a\r\n□ b\r\n"}}) {
            Action(item)->trigger();
            QCOMPARE(Text()->MemoText(), QString(memo));
        }
        // A bar item leaves the focus in the text box; the composition goes with its line.
        Text()->SetSelStart(1);
        Compose(u"すし"_qs);
        Action("mnuMemoDown")->trigger();
        QCOMPARE(Text()->MemoText(), u"□ b\r\naすし\r\n"_qs);
        QCOMPARE(Text()->SelStart(), 5);
        QTest::keyClick(Text(), Qt::Key_X);  // what the key handler lets through is typed
        QCOMPARE(Text()->MemoText(), u"□ b\r\nxaすし\r\n"_qs);
    }

    void lineCommandsKeepTheTopLine() {
        QStringList lines;
        for (int line = 0; line < 200; ++line) {
            lines << QString::number(1000 + line);
        }
        Open(lines.join("\r\n").toLatin1());
        // Scrolled down to line 150 and back up to line 60: line 60 is now the top line,
        // and a command that moved the caret down a page would scroll.
        Text()->SetSelStart(150 * 6);
        Text()->SetSelStart(60 * 6);
        QCoreApplication::processEvents();
        const int top = Text()->FirstVisibleLine();
        QVERIFY(top > 50);
        for (const Qt::Key key : {Qt::Key_Down, Qt::Key_Up, Qt::Key_Left}) {
            QTest::keyClick(Text(), key, Qt::ControlModifier);
            QTRY_COMPARE(Text()->FirstVisibleLine(), top);
        }
    }

    // Ctrl+S saves from any control, but only without Shift or Alt; the line commands
    // leave the name field alone.
    void shortcutsNeedCtrlAloneAndLineCommandsTheTextBox() {
        const Qt::KeyboardModifiers ctrl = Qt::ControlModifier;
        for (const int target : {0, 1, 2}) {
            for (const auto& [key, modifiers] : {std::pair{Qt::Key_S, ctrl},
                                                 {Qt::Key_S, ctrl | Qt::ShiftModifier},
                                                 {Qt::Key_S, ctrl | Qt::AltModifier},
                                                 {Qt::Key_Up, ctrl},
                                                 {Qt::Key_Down, ctrl},
                                                 {Qt::Key_Left, ctrl},
                                                 {Qt::Key_A, ctrl}}) {
                if (target < 2 && key != Qt::Key_S) {
                    continue;
                }
                Open();
                Text()->SetMemoText("memo");
                QWidget* const targets[] = {Text(), Combo(), Combo()->lineEdit()};
                PressKey(targets[target], key, modifiers);
                QFile saved("memo/.txt");
                QVERIFY(saved.open(QIODevice::ReadOnly));
                const bool saves = key == Qt::Key_S && modifiers == ctrl;
                QCOMPARE(saved.readAll(), saves ? QByteArray("memo") : QByteArray());
                QCOMPARE(Text()->MemoText(), QString("memo"));
            }
        }
    }

    void resizeLaysOutBothControls() {
        Open();
        QVERIFY(!window->windowIcon().isNull());
        for (QWidget* control : std::initializer_list<QWidget*>{Text(), Combo()}) {
            // The free Japanese fixed-pitch font that the set-up installs, at 12 points.
            QCOMPARE(QFontInfo(control->font()).family(), QString("IPAGothic"));
            QCOMPARE(control->font().pointSizeF(), 12.0);
        }
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

    void toolkitTextsReadAsOnAJapaneseDesktop() {
        Open();
        const std::unique_ptr<QMenu> menus[] = {
            std::unique_ptr<QMenu>(Text()->createStandardContextMenu()),
            std::unique_ptr<QMenu>(Combo()->lineEdit()->createStandardContextMenu())};
        for (const auto& menu : menus) {
            QCOMPARE(menu->actions().constFirst()->text().section('\t', 0, 0), "元に戻す(&U)");
            QCOMPARE(menu->actions().constLast()->text().section('\t', 0, 0), "すべてを選択");
        }
        const std::tuple<Buttons, QStringList, Answer> cases[] = {
            {Buttons::Ok, {"OK"}, Answer::Ok},
            {Buttons::YesNo, {"いいえ(&N)", "はい(&Y)*"}, Answer::No},
            {Buttons::YesNoDefaultNo, {"いいえ(&N)*", "はい(&Y)"}, Answer::No},
            {Buttons::YesNoCancel, {"いいえ(&N)", "はい(&Y)*", "キャンセル"}, Answer::Cancel},
        };
        for (const auto& [buttons, captions, closed] : cases) {
            QStringList shown;
            OnNextMessageBox([&shown](QMessageBox& box) {
                for (QAbstractButton* button : box.buttons()) {
                    shown << button->text() + (button == box.defaultButton() ? "*" : "");
                }
                box.close();
            });
            QCOMPARE(window->ShowMessage("?", buttons, MessageIcon::None), closed);
            shown.sort();
            QCOMPARE(shown, captions);
        }
    }

    void screenReadersCanNameEveryControl() {
        Open();
        Combo()->SetEditText("plan");
        const AboutDialog about(launcher, "1.0.2");
        const std::tuple<QObject*, QString, QString> cases[] = {
            {about.findChild<QWidget*>("Image1"), "MARKOLA", "MARKOLA のバナー画像"},
            {about.findChild<QWidget*>("Frame1"), "製品の説明",
             "製品の説明と最新情報のページを開くボタン"},
            {Text(), "メモ", ""},
            {Combo(), "メモ名", ""},
            {Action("mnuCheck"), "■", "チェックの切り替え (Ctrl+←)"},
            {Action("mnuMemoUp"), "▲", "行を上へ移動 (Ctrl+↑)"},
            {Action("mnuMemoDown"), "▼", "行を下へ移動 (Ctrl+↓)"},
        };
        const QRect bar(window->menuBar()->mapToGlobal(QPoint()), window->menuBar()->size());
        for (const auto& [object, name, description] : cases) {
            QAccessibleInterface* shown = QAccessible::queryAccessibleInterface(object);
            QCOMPARE(shown->text(QAccessible::Name), name);
            QCOMPARE(shown->text(QAccessible::Description), description);
            if (qobject_cast<QAction*>(object)) {  // where a screen reader clicks it
                QVERIFY(!shown->rect().isEmpty() && bar.contains(shown->rect()));
            }
        }
        QCOMPARE(QAccessible::queryAccessibleInterface(Combo())->text(QAccessible::Value),
                 QString("plan"));
    }

    void geometryInTwips() {
        window = std::make_unique<MainWindow>(files, launcher, QString(), "1.0.2");
        const qreal dpi = window->screen()->logicalDotsPerInch();
        const auto px = [dpi](int twips) { return qRound(twips * dpi / 1440); };
        window->SetWindowGeometryTwips({6000, 7000, 1500, 1500});
        window->show();
        QVERIFY(QTest::qWaitForWindowExposed(window.get()));
        QCOMPARE(window->frameGeometry(), QRect(px(1500), px(1500), px(6000), px(7000)));
        // 7000 twips became 467 pixels, which would read back as 7005; unmoved, it stays 7000.
        QCOMPARE(window->WindowGeometryTwips(), (WindowGeometry{6000, 7000, 1500, 1500}));
        window->resize(window->width() + 2, window->height());
        QTRY_COMPARE(window->WindowGeometryTwips(), (WindowGeometry{6030, 7000, 1500, 1500}));
        window->SetWindowGeometryTwips({6000, 7000, -4500, -4500});  // a corner still shows
        QCOMPARE(window->frameGeometry().topLeft(), QPoint(px(-4500), px(-4500)));
        window->SetWindowGeometryTwips({6000, 7000, -900000, 1500});
        const QRect primary = window->screen()->availableGeometry();
        QCOMPARE(window->frameGeometry().topLeft(), primary.topLeft() + QPoint(px(1920), px(1335)));
        window->showMinimized();
        QTRY_VERIFY(window->isMinimized());
        QCOMPARE(window->WindowGeometryTwips(), WindowGeometry{});
    }

    // Each showing is modal, starts on "O K" with the version, whatever was changed or
    // focused the time before; Escape does nothing, Enter, O K and the close box close, and the
    // site button opens the site each time, keeping the dialog open.
    void aboutDialogThroughTheMenu() {
        Open();
        QStringList shown;
        const std::function<void(AboutDialog&)> closes[] = {
            [](AboutDialog&) { QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return); },
            [](AboutDialog& about) {
                auto* site = about.findChild<QPushButton*>("Command2");
                site->setFocus();
                QTest::keyClick(site, Qt::Key_Return);
                QTest::mouseClick(site, Qt::LeftButton);
                QTest::mouseClick(about.findChild<QPushButton*>("Command1"), Qt::LeftButton);
            },
            [](AboutDialog& about) { about.close(); }};
        for (const auto& close : closes) {
            QTimer::singleShot(0, this, [&] {
                auto* about = qobject_cast<AboutDialog*>(QApplication::activeModalWidget());
                auto* version = about->findChild<QLabel*>("lblVersion");
                QTRY_COMPARE(QApplication::activeWindow(), about);
                QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
                shown << version->text() + " " + QApplication::focusWidget()->objectName() + " " +
                             QApplication::focusWidget()->property("text").toString() +
                             (about->isVisible() ? " open" : " closed");
                version->setText("version");
                close(*about);
                shown << (about->isVisible() ? "open" : "closed");
                about->hide();
            });
            Action("mnuAbout")->trigger();
        }
        const QStringList showing{u"ﾊﾞｰｼﾞｮﾝ 1.0.2 Command1 O K open"_qs, "closed"};
        QCOMPARE(shown, showing + showing + showing);
        QCOMPARE(launcher.calls, QStringList(2, "url https://markola.example.org/"));
    }

    void launchCommands() {
        Open();
        launcher.succeed = false;
        QStringList prompts;
        for (const char* command : {"mngOpenMemo", "mnuFirst"}) {
            ClickInNextMessageBox("OK", &prompts.emplaceBack());
            Action(command)->trigger();
        }
        const AboutDialog about(launcher, "1.0.2");
        ClickInNextMessageBox("OK", &prompts.emplaceBack());
        about.findChild<QPushButton*>("Command2")->click();
        const QString folder = QDir::current().absoluteFilePath("memo");
        const QString program = QCoreApplication::applicationFilePath();
        QCOMPARE(launcher.calls,
                 (QStringList{"folder " + folder, "start " + program + " in " + QDir::currentPath(),
                              "url https://markola.example.org/"}));
        QCOMPARE(prompts,
                 (QStringList{text::CannotOpenFolder(folder), text::CannotStartProgram(program),
                              u"https://markola.example.org/ を開けません。"_qs}));
    }
};

}  // namespace markola

QTEST_MAIN(markola::MainWindowTest)
#include "main_window_test.moc"
