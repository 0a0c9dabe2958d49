#include <QClipboard>
#include <QDir>
#include <QFontInfo>
#include <QInputMethodEvent>
#include <QKeySequence>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QMessageBox>
#include <QPainter>
#include <QPushButton>
#include <QScopeGuard>
#include <QScrollBar>
#include <QStyleHints>
#include <QTemporaryDir>
#include <QTest>
#include <QTextCursor>
#include <QToolTip>
#include <csignal>
#include <functional>
#include <memory>

#include "storage/cp932.h"
#include "storage/file_store.h"
#include "ui/launcher.h"
#include "ui/widgets/fonts.h"
#include "ui/widgets/long_line_layout.h"
#include "ui/widgets/main_window.h"
#include "ui/widgets/memo_name_combo.h"
#include "ui/widgets/memo_text_edit.h"
#include "ui/widgets/memo_text_mapping.h"
#include "ui/widgets/message_box.h"
#include "ui/widgets/shaping.h"
#include "ui/widgets/steady_caret.h"
#include "ui/widgets/termination_signals.h"
#include "ui/widgets/tick_gate.h"
#include "ui/widgets/toolkit_translation.h"

namespace markola {

struct RecordingLauncher : Launcher {
    QStringList calls;  // and every call fails
    bool OpenFolder(const QString& path) override { return Record("folder " + path); }
    bool OpenUrl(const QUrl& url) override { return Record("url " + url.toString()); }
    bool StartDetached(const QString& program, const QString& dir) override {
        return Record("start " + program + " in " + dir);
    }
    bool Record(const QString& call) {
        calls << call;
        return false;
    }
};

// The window with its controls, and the text box on its own.
class WidgetsTest : public QObject {
    Q_OBJECT

    std::unique_ptr<QTemporaryDir> dir;
    DiskFileStore files;
    RecordingLauncher launcher;
    std::unique_ptr<MainWindow> window;

    void Open(const QByteArray& unnamedMemo = {}) {
        QVERIFY(files.WriteAll(At("memo/.txt"), unnamedMemo).ok);
        window = std::make_unique<MainWindow>(files, MemoFolder(dir->path()), launcher, QString(),
                                              "1.0.2");
        window->Start();
        window->show();
        QVERIFY(QTest::qWaitForWindowExposed(window.get()));
    }
    QString At(const QString& path) const { return dir->filePath(path); }
    MemoNameCombo* Combo() const { return window->findChild<MemoNameCombo*>("nameBox"); }
    MemoTextEdit* Text() const { return window->findChild<MemoTextEdit*>("textBox"); }
    QAction* Action(const char* name) const { return window->findChild<QAction*>(name); }
    // A control by its object name; the combo box's text field has none of its own.
    QWidget* Control(const QString& name) const {
        return name == "nameBox field" ? Combo()->lineEdit() : window->findChild<QWidget*>(name);
    }
    // What to do with the modal window that the next call opens, once its event loop runs.
    static void WithNextModal(const std::function<void(QWidget*)>& handle) {
        QTimer::singleShot(0, [handle] { handle(QApplication::activeModalWidget()); });
    }
    // Answers the message that the next call shows, if it shows one, and adds its text to what
    // was said.
    static void AnswerNext(QMessageBox::StandardButton answer, QStringList& said) {
        WithNextModal([&said, answer](QWidget* modal) {
            if (auto* box = qobject_cast<QMessageBox*>(modal)) {
                said << box->text();
                box->button(answer)->click();
            }
        });
    }

    // Each caption of a fixed layout shows whole, inside its frame, under no other caption.
    static void ExpectWholeCaptions(QWidget* window) {
        QList<QRect> captions;
        for (QWidget* control : window->findChildren<QWidget*>()) {
            const auto* button = qobject_cast<QPushButton*>(control);
            if (!button && !qobject_cast<QLabel*>(control)) {
                continue;
            }
            const QSize whole = button
                                    ? QSize(button->fontMetrics().horizontalAdvance(button->text()),
                                            button->fontMetrics().height())
                                    : control->sizeHint();
            const QRect caption(control->mapTo(window, QPoint()), whole);
            QVERIFY2(
                control->width() >= whole.width() && control->height() >= whole.height() &&
                    control->parentWidget()->contentsRect().contains(
                        QRect(control->pos(), whole)) &&
                    std::none_of(captions.begin(), captions.end(),
                                 [&](const QRect& other) { return other.intersects(caption); }),
                qPrintable(control->objectName()));
            captions << caption;
        }
    }
    // As an input method sends it: a composition shown, committed, or given up, and what an
    // edit takes back before the caret.
    static void InputMethod(QWidget* to, const QString& preedit, const QString& commit = {},
                            int takeBack = 0) {
        QInputMethodEvent event(preedit, {});
        event.setCommitString(commit, -takeBack, takeBack);
        QApplication::sendEvent(to, &event);
    }
    // The memo text as a copy reads it, in slices of one unit (which split breaks and pairs), of
    // three, and whole.
    static QStringList Sliced(const MemoTextEdit& edit) {
        QStringList texts;
        for (const qsizetype size : {1, 3, 1 << 20}) {
            QString text;
            for (qsizetype from = 0; from < edit.SliceUnits(); from += size) {
                text += edit.MemoTextSlice(from, std::min(size, edit.SliceUnits() - from));
            }
            texts << text;
        }
        return texts;
    }
    // As a desktop sends it: a letter with Ctrl types its control character.
    static void PressKey(QWidget* target, const char* keys) {
        const QKeyCombination pressed = QKeySequence(keys)[0];
        const Qt::Key key = pressed.key();
        const bool letter = key >= Qt::Key_A && key <= Qt::Key_Z;
        QKeyEvent press(QEvent::KeyPress, key, pressed.keyboardModifiers(),
                        letter ? QString(QChar(key - Qt::Key_A + 1)) : QString());
        QApplication::sendEvent(target, &press);
    }

private slots:
    void initTestCase() { QVERIFY(InstallToolkitJapanese(*qApp)); }

    void init() {
        dir = std::make_unique<QTemporaryDir>();
        QVERIFY(QDir(dir->path()).mkdir("memo"));
        launcher = {};
    }

    void cleanup() { window.reset(); }

    void comboReportsOnlyTypingAndAssignments() {
        QVERIFY(files.WriteAll(At("memo/plan.txt"), "plan").ok);
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
        QCOMPARE(Text()->MemoText(), QString());  // nor Enter nor leaving chose "plan"
        Combo()->SetEditText("plan");
        QCOMPARE(changes, 4);
        Combo()->SetEditText("x");
        QCOMPARE(changes, 5);
        Combo()->setFocus();
        InputMethod(QApplication::focusWidget(), u"メモ"_qs);
        QCOMPARE(changes, 5);
        Combo()->SetEditText("y");  // the composition is committed first, then replaced
        QCOMPARE(changes, 7);
        QCOMPARE(Combo()->EditText(), QString("y"));
        QTest::keyClick(Combo(), Qt::Key_Down);
        QCOMPARE(Text()->MemoText(), QString("plan"));
    }

    void textBoxKeysAndDoubleClick() {
        Open("a\r\nb\r\n");
        PressKey(Text(), "Ctrl+A");
        QCOMPARE(Text()->textCursor().selectedText(), QString("a\u2029b\u2029"));
        Text()->SetSelStart(3);
        QTest::mouseDClick(Text()->viewport(), Qt::LeftButton, {}, Text()->cursorRect().center());
        QCOMPARE(Text()->MemoText(), QString("a\r\n□ b\r\n"));
        Action("toggleCheckItem")->trigger();  // a bar item leaves the focus in the text box
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_X);
        QCOMPARE(Text()->MemoText(), u"a\r\nx■ b\r\n"_qs);  // what the key handler lets through
        // A composition lands where it was typed, before a click moves the caret, and never over
        // a selection made while it was open: the selection stays.
        InputMethod(Text(), u"すし"_qs);
        QTest::mouseClick(Text()->viewport(), Qt::LeftButton, {},
                          Text()->cursorRect(QTextCursor(Text()->document())).center());
        QCOMPARE(Text()->MemoText(), u"a\r\nxすし■ b\r\n"_qs);
        InputMethod(Text(), u"に"_qs);
        QTextCursor selection(Text()->document());
        selection.setPosition(2);
        selection.setPosition(3, QTextCursor::KeepAnchor);
        Text()->setTextCursor(selection);
        InputMethod(Text(), {}, u"に"_qs);
        QCOMPARE(Text()->MemoText(), u"にa\r\nxすし■ b\r\n"_qs);
        QCOMPARE(Text()->textCursor().selectedText(), QString("x"));
    }

    // Each shortcut as typed in each control, and each bar item: the line commands take the caret
    // along and one Ctrl+Z takes them back; Ctrl+S saves only without Shift or Alt and takes its
    // busy pointer away again; the name field's keys go to its own handler. An input method may
    // pass a shortcut on while composing: the composition is committed where it was typed before
    // the command reads the text or the name, and a name finished so is a new name, asked about
    // before it overwrites the memo it names.
    void shortcutsAndBarItemsInEachControl() {
        struct Case {
            const char* control = "textBox";
            const char* input;  // keys, or the name of a bar item
            int caret = 0;      // in the text box
            QString composing{}, memo = "a\r\nb\r\n", name{};
            QStringList asked{};
            int caretAfter = 0;
            QString undone = "a\r\nb\r\n";
            QByteArray saved{};
        };
        const Case cases[] = {
            {.input = "Ctrl+Down", .memo = "b\r\na\r\n", .caretAfter = 3},
            {.input = "Ctrl+Left", .caret = 4, .memo = "a\r\n□ b\r\n", .caretAfter = 3},
            {.input = "toggleCheckItem", .caret = 4, .memo = "a\r\n□ b\r\n", .caretAfter = 3},
            {.input = "moveLineUpItem", .caret = 4, .memo = "b\r\na\r\n"},
            {.input = "moveLineDownItem",
             .caret = 1,
             .composing = u"すし"_qs,
             .memo = u"b\r\naすし\r\n"_qs,
             .caretAfter = 3,
             .undone = u"aすし\r\nb\r\n"_qs},
            {.input = "Ctrl+Up",
             .caret = 3,
             .composing = u"すし"_qs,
             .memo = u"すしb\r\na\r\n"_qs,
             .undone = u"a\r\nすしb\r\n"_qs},
            {.control = "nameBox field",
             .input = "Ctrl+S",
             .composing = u"m日本"_qs,
             .name = u"m日本"_qs,
             .asked = {u"「m日本」 の名前は他のメモで使用されています。上書き保存しますか？"_qs}},
            {.input = "Ctrl+S", .saved = "a\r\nb\r\n"},
            {.control = "nameBox", .input = "Ctrl+S", .saved = "a\r\nb\r\n"},
            {.control = "nameBox field", .input = "Ctrl+S", .saved = "a\r\nb\r\n"},
            {.input = "Ctrl+Shift+S"},
            {.input = "Ctrl+Alt+S"},
            {.control = "nameBox field", .input = "Ctrl+Left"},
        };
        for (const Case& c : cases) {
            const auto nameTheRow = qScopeGuard([&c] {
                if (QTest::currentTestFailed()) {
                    qWarning() << "in row" << c.input << "in" << c.control << c.composing;
                }
            });
            QVERIFY(files.WriteAll(At(u"memo/m日本.txt"_qs), "theirs").ok);
            Open();
            Text()->SetMemoText("a\r\nb\r\n");
            Text()->SetSelStart(c.caret);
            Control(c.control)->setFocus();
            InputMethod(QApplication::focusWidget(), c.composing);
            QStringList asked;
            AnswerNext(QMessageBox::No, asked);
            if (QAction* const item = Action(c.input)) {
                item->trigger();
            } else {
                PressKey(Control(c.control), c.input);
            }
            QCOMPARE(Text()->MemoText(), c.memo);
            QCOMPARE(Text()->SelStart(), c.caretAfter);
            QCOMPARE(Combo()->EditText(), c.name);
            QCOMPARE(asked, c.asked);
            QCOMPARE(files.ReadAll(At("memo/.txt")).value(), c.saved);
            QCOMPARE(files.ReadAll(At(u"memo/m日本.txt"_qs)).value(), "theirs");
            QCOMPARE(QApplication::overrideCursor(), nullptr);
            QTest::keyClick(Text(), Qt::Key_Z, Qt::ControlModifier);
            QCOMPARE(Text()->MemoText(), c.undone);
            QCoreApplication::processEvents();  // the handler of a case without a question
        }
    }

    // An ibus engine commits a composition once more after the toolkit committed it, wherever
    // the focus has gone meanwhile: that repeat is dropped; commits of compositions of their
    // own, and commits without one, all land.
    void aCompositionCommittedTwiceLandsOnce() {
        Open();
        QWidget* const text = Text();
        QWidget* const name = Combo()->lineEdit();
        const std::tuple<QWidget*, QString, QString> events[] = {
            {text, u"すし"_qs, {}}, {text, {}, u"すし"_qs}, {text, {}, {}},
            {name, {}, u"すし"_qs}, {text, u"す"_qs, {}},   {text, {}, u"す"_qs},
            {text, u"す"_qs, {}},   {text, {}, u"す"_qs},   {text, {}, u"a"_qs},
            {text, {}, u"a"_qs},
        };
        for (const auto& [to, preedit, commit] : events) {
            InputMethod(to, preedit, commit);
        }
        QCOMPARE(Text()->MemoText(), u"すしすすaa"_qs);
        QCOMPARE(Combo()->EditText(), QString());
    }

    // The window opens where settings.ini says, in twips (15 a pixel here), with its icon, font
    // and menus. 7000 twips became 467 pixels, which would read back as 7005: unmoved, it stays
    // 7000. Minimized, it has none.
    void windowOpensAsStoredAndKeepsItsLayout() {
        QVERIFY(files.WriteAll(At("settings.ini"), "6000,7000,1500,1500").ok);
        Open();
        QCOMPARE(window->frameGeometry(), QRect(100, 100, 400, 467));
        QCOMPARE(window->WindowGeometryTwips(), (WindowGeometry{6000, 7000, 1500, 1500}));
        QVERIFY(!window->windowIcon().isNull());
        // The free Japanese fixed-pitch font that the set-up installs, at 12 points.
        QCOMPARE(QFontInfo(Text()->font()).family(), QString("IPAGothic"));
        QCOMPARE(Text()->font().pointSizeF(), 12.0);
        QCOMPARE(Combo()->font(), Text()->font());
        QStringList menuBar;  // each entry's name, caption and the tool tip shown on hovering it
        QMenuBar* bar = window->menuBar();
        for (QAction* action : bar->actions()) {
            const QPoint at = bar->actionGeometry(action).center();
            QHelpEvent hover(QEvent::ToolTip, at, bar->mapToGlobal(at));
            QApplication::sendEvent(bar, &hover);
            QTRY_VERIFY(!action->menu() || !QToolTip::isVisible());  // a tip before fades out
            menuBar << (action->menu() ? action->menu()->objectName() : action->objectName()) +
                           " " + action->text() + " " +
                           (QToolTip::isVisible() ? QToolTip::text() : QString());
        }
        QCOMPARE(menuBar, (QStringList{u"fileMenu ﾌｧｲﾙ(&F) "_qs, u"settingsMenu 設定(&S) "_qs,
                                       u"toggleCheckItem ■ チェックの切り替え (Ctrl+←)"_qs,
                                       u"moveLineUpItem ▲ 行を上へ移動 (Ctrl+↑)"_qs,
                                       u"moveLineDownItem ▼ 行を下へ移動 (Ctrl+↓)"_qs,
                                       u"helpMenu ﾍﾙﾌﾟ(&H) "_qs}));
        // The frame of the offscreen platform adds 2 pixels a side. Two pixels wider, the user
        // resized it; a pixel lower is within rounding and keeps the height read.
        window->resize(398, 462);
        QTRY_COMPARE(window->WindowGeometryTwips(), (WindowGeometry{6030, 7000, 1500, 1500}));
        const QRect client = window->centralWidget()->rect();
        QCOMPARE(Combo()->geometry(), QRect(0, 0, client.width(), Combo()->sizeHint().height()));
        QCOMPARE(Text()->geometry(),
                 QRect(0, Combo()->height(), client.width(), client.height() - Combo()->height()));
        const int textHeight = Text()->height();
        window->centralWidget()->resize(300, 5);  // lower than the combo box
        QCOMPARE(Text()->width(), 300);
        QCOMPARE(Combo()->width(), 300);
        QCOMPARE(Text()->height(), textHeight);
        window->showMinimized();
        QTRY_VERIFY(window->isMinimized());
        QCOMPARE(window->WindowGeometryTwips(), WindowGeometry{});
    }

    // The About dialog is modal, shows each caption whole and starts on "O K" with the version;
    // Escape does nothing and the site button keeps it open. Each failed launch says so.
    void aboutDialogAndLaunchCommands() {
        Open();
        QStringList messages;
        for (const char* command : {"openMemoFolderItem", "startAnotherWindowItem"}) {
            AnswerNext(QMessageBox::Ok, messages);
            Action(command)->trigger();
        }
        WithNextModal([&messages](QWidget* about) {
            const auto closeAnyway = qScopeGuard([about] { about->hide(); });
            QTRY_COMPARE(QApplication::activeWindow(), about);
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
            QCOMPARE(QApplication::focusWidget()->objectName(), "okButton");
            QCOMPARE(about->findChild<QLabel*>("version")->text(), u"ﾊﾞｰｼﾞｮﾝ 1.0.2"_qs);
            ExpectWholeCaptions(about);
            AnswerNext(QMessageBox::Ok, messages);
            about->findChild<QPushButton*>("siteButton")->click();
            QVERIFY(about->isVisible());
            QCOMPARE(about->focusWidget()->objectName(), "okButton");
            QTest::keyClick(about->focusWidget(), Qt::Key_Return);
            QVERIFY(!about->isVisible());
        });
        Action("aboutItem")->trigger();
        const QString folder = At("memo");
        const QString program = QCoreApplication::applicationFilePath();
        QCOMPARE(launcher.calls,
                 (QStringList{"folder " + folder, "start " + program + " in " + dir->path(),
                              "url https://markola.example.org/"}));
        QCOMPARE(messages, (QStringList{folder + u" ﾌｫﾙﾀﾞを開けません。"_qs,
                                        program + u" を起動できません。"_qs,
                                        u"https://markola.example.org/ を開けません。"_qs}));
    }

    // The close box and 終了 ask about the text and the name with their compositions: Cancel
    // keeps the window, No closes it.
    void closingAsksAboutTheTextWithItsComposition() {
        Open();
        InputMethod(Text(), u"すし"_qs);
        InputMethod(Combo()->lineEdit(), u"すし"_qs);
        QStringList asked;
        AnswerNext(QMessageBox::Cancel, asked);
        window->close();
        QVERIFY(window->isVisible());
        AnswerNext(QMessageBox::No, asked);
        Action("endItem")->trigger();
        QVERIFY(!window->isVisible());
        QCOMPARE(asked, QStringList(2, u"変更されています。保存しますか？"_qs));
        QCOMPARE(Text()->MemoText(), u"すし"_qs);
        QCOMPARE(Combo()->EditText(), u"すし"_qs);
    }

    // Each kind of question: the buttons it shows and what Enter and Escape answer. Where a
    // hasty Enter could destroy something it answers No; Escape never says Yes.
    void questionsAnswerEnterAndEscapeSafely() {
        using A = Answer;
        const std::tuple<Buttons, qsizetype, A, A> kinds[] = {
            {Buttons::Ok, 1, A::Ok, A::Ok},
            {Buttons::YesNo, 2, A::Yes, A::No},
            {Buttons::YesNoDefaultNo, 2, A::No, A::No},
            {Buttons::YesNoCancel, 3, A::Yes, A::Cancel},
            {Buttons::YesNoOrLater, 2, A::Yes, A::Cancel},  // later: the question stays open
        };
        for (const auto& [buttons, shown, onEnter, onEscape] : kinds) {
            for (const Qt::Key key : {Qt::Key_Return, Qt::Key_Escape}) {
                qsizetype visible = 0;
                WithNextModal([&visible, key](QWidget* box) {
                    for (const QPushButton* button : box->findChildren<QPushButton*>()) {
                        visible += button->isVisible();
                    }
                    QTest::keyClick(box, key);
                });
                const A answer = ShowMessageBox(nullptr, "t", "p", buttons, MessageIcon::None);
                QCOMPARE(answer, key == Qt::Key_Return ? onEnter : onEscape);
                QCOMPARE(visible, shown);
            }
        }
    }

    // A modal question runs an event loop of its own, in which the restore timer falls due.
    void restoreTickWaitsForTheOutermostHandler() {
        int ticks = 0;
        TickGate gate([&ticks] { ++ticks; });
        gate.Guarded([&] {
            gate.Tick();
            gate.Guarded([] {})();
            QCoreApplication::processEvents();
            QCOMPARE(ticks, 0);
        })();
        QCoreApplication::processEvents();
        QCOMPARE(ticks, 1);
    }

    void reportsEachChangeOnceAndAtOnceWithTheMemoText() {
        MemoTextEdit edit;
        QStringList seen;
        connect(&edit, &MemoTextEdit::memoChanged, [&] {
            const QStringList sliced = Sliced(edit);  // while the edit is not yet taken in
            seen << edit.MemoText();
            QCOMPARE(sliced, QStringList(3, seen.back()));
        });
        const auto compose = [&edit](QString preedit, QString commit = {}, int takeBack = 0) {
            return [&edit, preedit, commit, takeBack] {
                InputMethod(&edit, preedit, commit, takeBack);
            };
        };
        const auto select = [&edit](int start, int length) {
            return [&edit, start, length] {
                edit.SetSelStart(start);
                edit.SetSelLength(length);
            };
        };
        // A pasted "␍" is that symbol; the text box's own marks cannot be pasted.
        QApplication::clipboard()->setText(u"1\r2\u20283\r\n4\u240D\uFDD2"_qs);
        // A replacement never splits a CR LF or a surrogate pair: the lines end as a load makes
        // them.
        const std::pair<std::function<void()>, QStringList> steps[] = {
            {[&] { edit.SetMemoText(u"\ra"_qs); }, {u"\ra"_qs}},
            {[&] { edit.ReplaceMemoText(u"\r\na"_qs); }, {u"\r\na"_qs}},
            {[&] { edit.SetMemoText(u"\r\n"_qs); }, {u"\r\n"_qs}},
            {[&] { edit.ReplaceMemoText(u"x\n"_qs); }, {u"x\n"_qs}},
            {[&] { edit.SetMemoText(u"\U0001F600"_qs); }, {u"\U0001F600"_qs}},
            {[&] { edit.ReplaceMemoText(u"\U0001F601"_qs); }, {u"\U0001F601"_qs}},
            {[&] { edit.SetMemoText("a"); }, {"a"}},
            {[&] { edit.ReplaceMemoText(u"a\u2029b"_qs); }, {"a\r\nb"}},  // read back as CR LF
            {[&] { edit.SetMemoText(u"a\rb\nc\r\n\0z"_qs); }, {u"a\rb\nc\r\n\0z"_qs}},
            {[&] { edit.SetMemoText(u"a\rb\nc\r\n\0z"_qs); }, {}},
            {[&] { edit.undo(); }, {}},  // a loaded memo is no step to undo
            {[&] { edit.ReplaceMemoText(u"a\rb\nc\r\n\0z"_qs); }, {}},
            {[&] { edit.SetSelStart(1); }, {}},
            {[&] { QTest::keyClick(&edit, Qt::Key_Return, Qt::ShiftModifier); },
             {u"a\r\n\rb\nc\r\n\0z"_qs}},
            {[&] { edit.SetSelStart(9); }, {}},
            {[&] { QTest::keyClick(&edit, Qt::Key_Backspace); }, {u"a\r\n\rb\nc\0z"_qs}},
            {[&] { edit.paste(); }, {u"a\r\n\rb\nc1\r\n2\r\n3\r\n4\u240D\0z"_qs}},
            {[&] { edit.undo(); }, {u"a\r\n\rb\nc\0z"_qs}},
            {[&] { edit.redo(); }, {u"a\r\n\rb\nc1\r\n2\r\n3\r\n4\u240D\0z"_qs}},
            {[&] { edit.selectAll(); }, {}},
            {[&] { edit.copy(); }, {}},
            {[&] { QCOMPARE(QApplication::clipboard()->text(), edit.MemoText()); }, {}},
            {[&] { edit.cut(); }, {""}},
            {[&] { edit.paste(); }, {u"a\r\n\rb\nc1\r\n2\r\n3\r\n4\u240D\0z"_qs}},
            {[&] { edit.ReplaceMemoText("a\r\nb"); }, {"a\r\nb"}},
            {[&] { edit.ReplaceMemoText("b\r\na"); }, {"b\r\na"}},
            {[&] { edit.undo(); }, {"a\r\nb"}},  // a replace is one step
            {[&] { edit.ReplaceMemoText("b\r\na"); }, {"b\r\na"}},
            {compose(u"に"_qs), {}},
            {compose(""), {}},  // given up
            {compose(u"日本"_qs), {}},
            {compose("", u"日本"_qs), {u"日本b\r\na"_qs}},
            {compose("x"), {}},
            {[&] { edit.SetSelStart(4); }, {u"日本xb\r\na"_qs}},  // committed where typed
            {compose("y"), {}},
            {[&] { edit.SetMemoText("z"); }, {u"日本xby\r\na"_qs, "z"}},
            {[&] { edit.SetSelStart(1); }, {}},
            {compose("", u"\u2028"_qs), {"z\r\n"}},
            {compose("", "", 1), {"z"}},  // an edit with nothing committed
            // A selection converted again: ibus takes it back counted from the caret, fcitx5
            // counts from where it was, or lets the composition replace it.
            {[&] { edit.SetMemoText(u"□ 牛乳\r\nx"_qs); }, {u"□ 牛乳\r\nx"_qs}},
            {select(2, 2), {}},
            {compose("", "", 2), {u"□ \r\nx"_qs}},
            {compose("", u"牛乳"_qs), {u"□ 牛乳\r\nx"_qs}},
            {select(2, 2), {}},
            {compose(u"牛乳"_qs), {u"□ \r\nx"_qs}},
            {compose("", u"牛乳"_qs), {u"□ 牛乳\r\nx"_qs}},
            // Only the caret's line is told: the anchor of a selection beyond it is not.
            {select(3, 4), {}},
            {[&] { QCOMPARE(edit.inputMethodQuery(Qt::ImAnchorPosition), QVariant(1)); }, {}},
            {[&] {  // a mark in the text given: the document does not hold it exactly
                 const QSignalBlocker unasked(edit);
                 edit.SetMemoText(u"b\uFDD2"_qs);
                 QTest::keyClick(&edit, Qt::Key_A);
             },
             {}},
            {[&] {  // edits in several places before the memo text is asked for
                 const QSignalBlocker unasked(edit);
                 edit.SetMemoText("a\r\nb\r\nc");
                 QTest::keyClicks(&edit, "pq");
                 edit.moveCursor(QTextCursor::End);
                 QTest::keyClick(&edit, Qt::Key_Backspace);
                 edit.SetSelStart(4);
                 QTest::keyClick(&edit, Qt::Key_Return);
             },
             {}},
        };
        for (const auto& [step, wanted] : steps) {
            seen.clear();
            step();
            QCOMPARE(seen, wanted);
            const QString onScreen = MemoTextFromDocument(edit.document()->toRawText());
            QCOMPARE(Sliced(edit), QStringList(3, onScreen));
            QCOMPARE(onScreen, edit.MemoText());
        }
    }

    // The caret is spoken in memo units.
    void mapsTheCaretInMemoUnits() {
        MemoTextEdit edit;
        edit.SetMemoText(u"ab\r\nc\U0001F600d\r\n"_qs);
        // Between CR and LF is the end of the line; inside a surrogate pair is before it.
        const std::pair<int, int> carets[] = {{0, 0}, {2, 2}, {3, 2},   {4, 4},   {5, 5},
                                              {6, 5}, {9, 8}, {10, 10}, {99, 10}, {-1, 0}};
        for (const auto& [set, read] : carets) {
            edit.SetSelStart(set);
            QCOMPARE(edit.SelStart(), read);
        }
    }

    // The box draws each mark over its cell: CR and LF differ from each other and from a blank,
    // a typed arrow and the empty box a font draws for a noncharacter. A new memo text shows
    // from its start; the controller's line scroll moves by whole lines.
    void showsMarksAndScrollsByLines() {
        MemoTextEdit edit;
        edit.resize(200, 100);
        edit.show();
        QList<QImage> shots;
        for (const QString& memo :
             {u"x\ry"_qs, u"x\ny"_qs, u"x y"_qs, u"x\u2190y"_qs, u"x\uFDD4y"_qs}) {
            edit.SetMemoText(u"x y"_qs);
            edit.ReplaceMemoText(memo);  // a line command's, and the far ones below a load's
            shots << edit.viewport()->grab().toImage();
        }
        for (int other = 1; other < shots.size(); ++other) {
            QVERIFY2(shots[0] != shots[other] && (other == 1 || shots[1] != shots[other]),
                     qPrintable(QString::number(other)));
        }
        QList<QImage> far;  // a mark far into a long line, brought on screen by the caret
        for (const QString& at : {u"\r"_qs, u"\uFDD4"_qs}) {
            edit.SetMemoText(QString(20'000, u'a') + at + "yy");
            edit.SetSelStart(20'003);
            far << edit.viewport()->grab().toImage();
        }
        QVERIFY(far[0] != far[1]);
        const QString memo = QString(QString(80, u'a') + "\r\n").repeated(50);
        for (const auto set : {&MemoTextEdit::SetMemoText, &MemoTextEdit::ReplaceMemoText}) {
            edit.SetMemoText(memo);
            edit.SetSelStart(memo.size() - 30);  // scrolled down and right
            (edit.*set)(memo + "\r\n");
            QCOMPARE(edit.FirstVisibleLine(), 0);
            QCOMPARE(edit.horizontalScrollBar()->value(), 0);
        }
        edit.PostLineScroll(3);
        QTRY_COMPARE(edit.FirstVisibleLine(), 3);
    }

    // Every character a memo file can hold or a user can save, but those without a glyph, draws
    // the same without the toolkit's shaping as with it.
    void memoCharactersDrawAlikeWithoutShaping() {
        QString drawn = u"\u301C\u2016\u2212\u00A2\u00A3\u00AC"_qs;  // as input methods type them
        for (int code = 0; code <= 0xFCFC; ++code) {
            QByteArray bytes(1, char(code));
            if (code > 0xFF) {
                bytes = QByteArray(1, char(code >> 8)) + char(code);
            }
            const QString text = cp932::Decode(bytes);
            drawn += text.size() == 1 && DrawsAlikeWithoutShaping(text) ? text : QString();
        }
        QCOMPARE(drawn.size(), 6 + 7724 + 95 + 3 + 63);  // and its pairs, ASCII, tab, CR, LF, kana
        const auto draw = [&drawn](bool shaped) {
            QImage image(64 * 20, static_cast<int>(drawn.size() / 64 + 1) * 20,
                         QImage::Format_RGB32);
            image.fill(Qt::white);
            QPainter painter(&image);
            painter.setFont(WithShaping(JapaneseFixedFont(12), shaped));
            for (int row = 0; row * 64 < drawn.size(); ++row) {
                painter.drawText(QPointF(0, 16 + 20 * row), drawn.mid(row * 64, 64));
            }
            return image;
        };
        QCOMPARE(draw(false), draw(true));
    }

    // A long line is laid out without shaping only while that draws the same: a character
    // without a glyph still takes room, loaded, typed or put in by a line command.
    void glyphlessCharactersTakeRoomInALongLine() {
        MemoTextEdit edit;
        const QString line(kLongLineLength, u'a');
        const QString glyphless = u"\uE000"_qs;
        const std::function<void()> ways[] = {
            [&] { edit.SetMemoText(glyphless + line); },
            [&] {
                edit.SetMemoText(line);
                InputMethod(&edit, u"す"_qs, glyphless);  // the composition stays open
                QCOMPARE(edit.textCursor().block().layout()->preeditAreaText(), u"す"_qs);
            },
            [&] {
                edit.SetMemoText(line);
                edit.ReplaceMemoText(glyphless + line);
            },
        };
        // Line breaks, loaded, typed or moved, need no shaping.
        edit.SetMemoText(line + "\r\nb\r\n");
        QTest::keyClick(&edit, Qt::Key_Return);
        edit.ReplaceMemoText("b\r\n\r\n" + line + "\r\n");
        QVERIFY(edit.font().styleStrategy() & QFont::PreferNoShaping);
        QStringList seen;  // once, as it is, also where the font changed within the edit
        connect(&edit, &MemoTextEdit::memoChanged, [&] { seen << edit.MemoText(); });
        for (const auto& way : ways) {
            seen.clear();
            way();
            QCOMPARE(seen.last(), glyphless + line);
            QCOMPARE(seen.count(glyphless + line), 1);
            QTextCursor at(edit.document());
            const int left = edit.cursorRect(at).left();
            at.setPosition(1);
            QVERIFY(edit.cursorRect(at).left() > left);
        }
    }

    // Where a blink would draw a line of millions of characters again, the caret stays on.
    void caretStaysOnInALineTooLongToBlink() {
        const int flashTime = QGuiApplication::styleHints()->cursorFlashTime();
        QWidget box;
        auto* edit = new MemoTextEdit(&box);
        auto* other = new QLineEdit(&box);
        other->move(0, 120);
        box.show();
        QVERIFY(QTest::qWaitForWindowActive(&box));
        edit->SetMemoText(QString(kUnblinkingLineLength, u'a') + "\r\nb");
        const std::pair<std::function<void()>, int> steps[] = {
            {[&] { edit->setFocus(); }, 0},
            {[&] { edit->SetSelStart(kUnblinkingLineLength + 3); }, flashTime},
            {[&] { edit->SetSelStart(1); }, 0},
            {[&] { other->setFocus(); }, flashTime},
        };
        for (const auto& [step, wanted] : steps) {
            step();
            QCOMPARE(QGuiApplication::styleHints()->cursorFlashTime(), wanted);
        }
    }

    // However many signals arrive before the event loop runs, the program hears of them once.
    void terminationSignalsAreHeardOnce() {
        TerminationSignals endRequests;
        int heard = 0;
        connect(&endRequests, &TerminationSignals::received, [&heard] { ++heard; });
        for (const int number : {SIGTERM, SIGHUP, SIGINT}) {
            QCOMPARE(raise(number), 0);
        }
        QTest::qWait(50);
        QCOMPARE(heard, 1);
        QVERIFY(endRequests.Received());
    }
};

}  // namespace markola

QTEST_MAIN(markola::WidgetsTest)
#include "widgets_test.moc"
