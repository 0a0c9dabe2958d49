#include "ui/memo_controller.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <cerrno>
#include <cstdio>
#include <fstream>
#include <functional>
#include <memory>

#include "tests/controller/fake_view.h"
#include "ui/messages.h"

namespace markola::testing {
namespace {

using A = markola::Answer;

// A controller on a fake view, in a temporary current directory with a "memo" folder.
// Writes fail while failWrites is set.
class ControllerTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(dir_.isValid());
        previousDir_ = QDir::currentPath();
        QDir::setCurrent(dir_.path());
        QDir().mkdir("memo");
    }
    void TearDown() override { QDir::setCurrent(previousDir_); }

    // A new window on the files as they are now.
    void Start(const QString& argument = {}, std::deque<Answer> answers = {}) {
        view = FakeView();
        view.answers = std::move(answers);
        failWrites = false;
        controller = std::make_unique<MemoController>(view, files, argument);
        view.onComboChange = [this] { controller->Combo1_Change(); };
        view.onTextChange = [this] { controller->Text1_Change(); };
        controller->Form_Load();
    }
    const EditorState& State() const { return controller->State(); }
    // Picking an item of the list: the combo already shows it, no change handler runs.
    void Choose(const QString& name) {
        view.comboText = name;
        controller->Combo1_Click();
    }
    static QByteArray Memo(const QString& name) { return "memo/" + name.toUtf8() + ".txt"; }
    // By the bytes of the file's name, which need not be UTF-8.
    static void Write(const QByteArray& path, const QByteArray& bytes) {
        std::ofstream file(path.constData(), std::ios::binary);
        ASSERT_TRUE(file.write(bytes.constData(), bytes.size()));
    }
    static QByteArray Read(const QByteArray& path) {
        std::ifstream file(path.constData(), std::ios::binary);
        return file ? QByteArray::fromStdString({std::istreambuf_iterator<char>(file), {}})
                    : QByteArray("<missing>");
    }

    FakeView view;
    bool failWrites = false;
    DiskFileStore files{[this] { return failWrites ? EACCES : 0; }};
    std::unique_ptr<MemoController> controller;

private:
    QTemporaryDir dir_;
    QString previousDir_;
};

// Memo files as they come from older systems too: each is listed once under its name,
// opens from the command line, and takes an edit back into itself, byte for byte.
TEST_F(ControllerTest, StartUpListsTheMemosAndOpensTheOneTheArgumentNames) {
    struct Case {
        QString argument;
        QByteArray file, content;
        QString combo, text;
    };
    const Case cases[] = {
        {"Plan.TXT", "Plan.txt", "\x83\x81\x83\x82", "Plan", "メモ"},
        {"a.txt.txt", "a.txt.txt", "A", "a.txt", "A"},
        {".txt", ".txt", "unnamed", "", "unnamed"},
        {"txt", "txt.txt", "T", "txt", "T"},
        {"missing", ".txt", "unnamed", "", "unnamed"},
        {"../escape", ".txt", "unnamed", "", "unnamed"},
        {"", ".txt", "unnamed", "", "unnamed"},
        {"NOTES", "NOTES.TXT", "a\r\n", "NOTES", "a\r\n"},
        {u"\u3042"_qs, "\x82\xA0.Txt", "\x82\xA0\r\n", u"\u3042"_qs, u"\u3042\r\n"_qs},
        {"<0x82>", "\x82.txt", "lone\rcr\nlf", "<0x82>", "lone\rcr\nlf"},
        {"bom", "bom.txt", "\xEF\xBB\xBFtext\x1A", "bom", u"\uF7EF\uFF7B\uFF7Ftext\x1A"_qs},
    };
    const QStringList listed{"",      "<0x82>", "a.txt", "B",         "bom",
                             "NOTES", "Plan",   "txt",   u"\u3042"_qs};
    for (const Case& c : cases) {
        Write("memo/" + c.file, c.content);
    }
    Write(Memo("B"), "");
    Write("escape.txt", "outside");
    Write("settings.ini", "100,200,300,400\r\n");
    for (const Case& c : cases) {
        SCOPED_TRACE(c.argument.toStdString());
        Start(c.argument);
        EXPECT_EQ(view.comboText, c.combo);
        EXPECT_EQ(view.memoText, c.text);
        EXPECT_FALSE(State().TextChanged || State().NameChanged);
        EXPECT_EQ(view.geometry, (WindowGeometry{100, 200, 300, 400}));
        EXPECT_EQ(view.comboList, listed);
        view.SetMemoText(view.memoText + "+");
        controller->mnuSave_Click();
        EXPECT_TRUE(view.messages.empty());
        EXPECT_EQ(Read("memo/" + c.file), c.content + "+");
        EXPECT_EQ(view.comboList, listed);
        Write("memo/" + c.file, c.content);
    }
    EXPECT_EQ(Read("escape.txt"), "outside");
    for (const Case& c : cases) {
        std::remove("memo/" + c.file);  // the temporary folder cannot remove a name not in UTF-8
    }
}

// Leaving memo "one" (maybe renamed in the combo to "two", whose file exists, or to a new
// name, and maybe edited) by choosing memo "three", by New or by closing the window. A
// memo saved under a new name is listed; one that was not saved, declined or failed,
// stays on screen with its edits, and the close is cancelled.
TEST_F(ControllerTest, LeavingTheMemoOnScreen) {
    struct Case {
        const char* name;
        std::vector<A> answers;  // none: the memo is not edited
        bool failWrite;
        const char* savedAs;
        bool stays;
    };
    const Case cases[] = {
        {"one", {}, false, nullptr, false},
        {"one", {A::Yes}, false, "one", false},
        {"one", {A::No}, false, nullptr, false},
        {"one", {A::Cancel}, false, nullptr, true},
        {"one", {A::Yes}, true, nullptr, true},
        {"two", {A::Yes, A::No}, false, nullptr, true},
        {"two", {A::Yes, A::Yes}, false, "two", false},
        {"fresh", {A::Yes}, false, "fresh", false},
    };
    enum Leave { kChoose, kNew, kClose };
    for (const Leave leave : {kChoose, kNew, kClose}) {
        for (const Case& c : cases) {
            SCOPED_TRACE(::testing::Message() << leave << " row " << &c - cases);
            for (const char* name : {"one", "two", "three"}) {
                Write(Memo(name), name);
            }
            std::remove("settings.ini");
            std::remove(Memo("fresh"));
            Start("one");
            EXPECT_EQ(view.messages.at(0).prompt, "memo/.txt ﾌｧｲﾙを開けません。");
            view.messages.clear();
            view.geometry = {6000, 7000, 1500, 1500};
            view.SetComboText(c.name);
            view.SetMemoText(c.answers.empty() ? "one" : "メモ");
            view.answers.assign(c.answers.begin(), c.answers.end());
            failWrites = c.failWrite;
            bool cancel = false;
            const std::function<void()> leaves[] = {[this] { Choose("three"); },
                                                    [this] { controller->mnuNewFile_Click(); },
                                                    [&] { controller->Form_Unload(cancel); }};
            leaves[leave]();

            EXPECT_TRUE(view.answers.empty());
            if (!c.answers.empty()) {
                EXPECT_EQ(view.messages[0],
                          (ShownMessage{"変更されています。保存しますか？", Buttons::YesNoCancel,
                                        MessageIcon::None, "変更されています。"}));
            }
            const bool warned =
                !view.messages.empty() && view.messages.back().icon == MessageIcon::Exclamation;
            EXPECT_EQ(warned, c.failWrite);
            for (const QByteArray name : {"one", "two", "fresh"}) {
                const QByteArray kept = name == "fresh" ? "<missing>" : name;
                EXPECT_EQ(Read(Memo(name)), name == c.savedAs ? "\x83\x81\x83\x82" : kept);
            }
            EXPECT_EQ(view.comboList.contains("fresh"),
                      leave != kClose && qstrcmp(c.savedAs, "fresh") == 0);
            EXPECT_EQ(cancel, c.stays && leave == kClose);
            EXPECT_EQ(view.comboFocusCount, leave == kNew ? 1 : 0);
            const bool restoresChoice = leave == kChoose && c.savedAs;
            EXPECT_EQ(State().ResumeMode, c.stays          ? kResumeComboS
                                          : restoresChoice ? kResumeCombo
                                                           : QString());
            EXPECT_EQ(view.timerEnabled, !State().ResumeMode.isEmpty());
            controller->Timer1_Timer();
            EXPECT_FALSE(view.timerEnabled);  // the restore is done, in either mode
            if (c.stays) {
                EXPECT_EQ(view.memoText, "メモ");
                EXPECT_EQ(view.comboText, c.name);
                EXPECT_TRUE(State().TextChanged);
                // The restore is a change of name, so the next save asks before overwriting.
                EXPECT_EQ(State().NameChanged, qstrcmp(c.name, "one") != 0 || leave == kChoose);
            } else if (leave == kChoose) {
                EXPECT_EQ(view.memoText, "three");
                EXPECT_EQ(view.comboText, "three");
                EXPECT_FALSE(State().TextChanged || State().NameChanged);
            } else if (leave == kNew) {
                EXPECT_EQ(view.memoText, "");
                EXPECT_EQ(view.comboText, "新規メモ");
                EXPECT_EQ(State().MemoName, "新規メモ");
                EXPECT_TRUE(State().NameChanged);
            }
            if (leave == kClose && !c.failWrite) {
                EXPECT_EQ(Read("settings.ini"), "6000,7000,1500,1500\r\n");
            }
        }
    }
}

TEST_F(ControllerTest, SavingANewMemoListsItAndASecondNewStillAsksBeforeOverwriting) {
    Start();
    controller->mnuNewFile_Click();
    view.SetMemoText("first");
    controller->mnuSave_Click();
    EXPECT_EQ(view.comboList, QStringList{"新規メモ"});
    controller->mnuNewFile_Click();
    view.SetMemoText("second");
    view.answers = {A::No};
    controller->mnuSave_Click();
    EXPECT_EQ(view.messages.back().prompt,
              "「新規メモ」 の名前は他のメモで使用されています。上書き保存しますか？");
    EXPECT_EQ(view.messages.back().buttons, Buttons::YesNo);
    EXPECT_EQ(Read(Memo("新規メモ")), "first");
}

// Unencodable text is refused before the overwrite question, which nobody answers here, and
// a memo whose file could not be read (over the size limit) before anything else.
TEST_F(ControllerTest, SavesThatWriteNothingKeepTheFlags) {
    struct Case {
        QString argument, name;
        const char* text;
        bool failWrite;
        QString message;
    };
    const QString tooLong(300, u'x');
    const auto unsavable = [](const char* where) {
        return "保存できない文字が含まれています（" + QString::fromUtf8(where) +
               "）。この文字を削除するか置き換えてから保存してください。";
    };
    const Case cases[] = {
        {"", "b", "x\r\nz😀", false, unsavable("2 行目の「😀」")},
        // A stray lead byte before a trail byte; a pasted sign that is no line end, alone.
        {"", "b", "x\r\n\xEF\x9E\x81@", false, unsavable("2 行目の「0x81」")},
        {"", "b", "\xE2\x90\x8D.", false, unsavable("1 行目の「\xE2\x90\x8D」")},
        {"", "b\tc", "x", false, text::kUnsafeName},
        {"", "../escape", "x", false, text::kUnsafeName},
        {"", "b", "x", true, "memo/b.txt を保存できませんでした。書き込みが許可されていません。"},
        {"", "no/b", "x", false,
         "memo/no/b.txt を保存できませんでした。保存先のフォルダがありません。"},
        {"", tooLong, "x", false,
         "memo/" + tooLong + ".txt を保存できませんでした。名前が長すぎます。"},
        {"huge", "huge", "x", false,
         "「huge」 は読み込めなかったため、上書き保存しません。別の名前で保存してください。"},
    };
    Write(Memo("b"), "text");
    QFile huge(Memo("huge"));
    ASSERT_TRUE(huge.open(QIODevice::WriteOnly) && huge.resize(kMaxMemoFileSize + 1));  // sparse
    for (const Case& c : cases) {
        SCOPED_TRACE(c.message.toStdString());
        Start(c.argument);
        view.SetComboText(c.name);
        view.SetMemoText(c.text);
        failWrites = c.failWrite;
        if (c.failWrite) {
            view.answers = {A::Yes};  // to overwrite "b"
        }
        controller->mnuSave_Click();
        EXPECT_EQ(view.messages.back(),
                  (ShownMessage{c.message, Buttons::Ok, MessageIcon::Exclamation, "MARKOLA"}));
        EXPECT_TRUE(State().TextChanged && State().NameChanged);
        EXPECT_EQ(Read(Memo("b")), "text");
        EXPECT_FALSE(QFile::exists("escape.txt"));
        EXPECT_EQ(QFileInfo(Memo("huge")).size(), kMaxMemoFileSize + 1);
    }
}

// Another program (or a second MARKOLA) changed or deleted the memo since it was loaded.
TEST_F(ControllerTest, AMemoChangedOnDiskIsOverwrittenOnlyWhenTheUserSaysSo) {
    struct Case {
        const char* onDisk;  // nullptr: deleted
        std::vector<A> answers;
        const char* kept;
    };
    const Case cases[] = {
        {"plan\r\nappended", {A::No}, "plan\r\nappended"},
        {"theirs", {A::Yes}, "mine"},
        {nullptr, {}, "mine"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.kept);
        Write(Memo("plan"), "plan");
        Start("plan");
        view.SetMemoText("mine");
        std::remove(Memo("plan"));
        if (c.onDisk) {
            Write(Memo("plan"), c.onDisk);
        }
        view.answers.assign(c.answers.begin(), c.answers.end());
        controller->mnuSave_Click();
        EXPECT_EQ(Read(Memo("plan")), c.kept);
        EXPECT_EQ(State().TextChanged, c.answers == std::vector{A::No});
        if (!c.answers.empty()) {
            EXPECT_EQ(
                view.messages.back(),
                (ShownMessage{"「plan」 はほかのプログラムで変更されています。上書き保存しますか？",
                              Buttons::YesNoDefaultNo, MessageIcon::Exclamation, "MARKOLA"}));
        }
    }
}

// Edits left by an end without questions (SIGTERM) come back at the next start, every
// character whole; the recovery file goes once they are saved or given up.
TEST_F(ControllerTest, EditsKeptAtAnEndBySignalAreOfferedAtTheNextStart) {
    enum Then { kDecline, kSave, kSaveOverTheirs, kCloseWithoutSaving };
    for (const Then then : {kDecline, kSave, kSaveOverTheirs, kCloseWithoutSaving}) {
        SCOPED_TRACE(then);
        // All text deleted is an edit too, although it looks like the empty start-up memo.
        const QString edits = then == kCloseWithoutSaving
                                  ? QString()
                                  : QStringLiteral("plan\r\n😀 \uE0FF ") + QChar(0xD800);
        Write(Memo("plan"), "plan");
        Start("plan");
        controller->Form_Terminate();  // nothing edited, nothing kept
        view.SetMemoText(edits);
        controller->Form_Terminate();
        EXPECT_EQ(Read(Memo("plan")), "plan");
        EXPECT_EQ(QDir("memo/.recovery").entryList(QDir::Files).size(), 1);
        if (then == kSaveOverTheirs) {
            Write(Memo("plan"), "theirs");
        }

        Start({}, {then == kDecline ? A::No : A::Yes});
        EXPECT_EQ(view.messages.back(),
                  (ShownMessage{"保存されていない「plan」 の変更が残っています。復元しますか？",
                                Buttons::YesNo, MessageIcon::None, "MARKOLA"}));
        EXPECT_EQ(view.comboList, (QStringList{"plan"}));
        EXPECT_EQ(view.memoText, then == kDecline ? "" : edits);
        EXPECT_EQ(State().TextChanged, then != kDecline);
        EXPECT_FALSE(State().NameChanged);
        bool cancel = false;
        if (then == kSave || then == kSaveOverTheirs) {
            view.SetMemoText("saved");
            view.answers = {A::Yes};
            controller->mnuSave_Click();
            // The file is known as it was before the end: only another program's change asks.
            EXPECT_EQ(view.answers.empty(), then == kSaveOverTheirs);
            EXPECT_EQ(Read(Memo("plan")), "saved");
        } else if (then == kCloseWithoutSaving) {
            view.answers = {A::No};
            controller->Form_Unload(cancel);
            EXPECT_TRUE(view.answers.empty());
        }
        EXPECT_TRUE(QDir("memo/.recovery").isEmpty());
    }
}

// Each shortcut where it is typed: the key code and shift state it leaves, then the memo
// and the selection. With any shift state but Ctrl alone the key passes untouched.
TEST_F(ControllerTest, ShortcutsNeedCtrlAlone) {
    struct Case {
        bool inCombo;
        int code, codeAfter, shiftAfter;
        const char* text;
        int selStart, selLength;
    };
    const char* memo = "a\r\nb\r\nc\r\n";
    const Case cases[] = {
        {false, key::kUp, 0, 2, "b\r\na\r\nc\r\n", 0, 0},
        {false, key::kDown, 0, 2, "a\r\nc\r\nb\r\n", 6, 0},
        {false, key::kLeft, 0, 2, "a\r\n\u25A1 b\r\nc\r\n", 3, 0},
        {false, key::kR, 0, 0, memo, 3, 0},
        {false, key::kA, key::kA, 2, memo, 0, 9},
        {false, key::kN, 0, 2, "", 0, 0},
        {true, key::kS, 0, 2, memo, 3, 0},
        {true, key::kN, 0, 2, "", 0, 0},
        {true, key::kR, 0, 2, memo, 3, 0},
        {true, key::kUp, key::kUp, 2, memo, 3, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(::testing::Message() << c.code << (c.inCombo ? " in the combo" : ""));
        std::remove(Memo(""));
        Start();
        const auto press = [&](int code, int shift) {
            c.inCombo ? controller->Combo1_KeyDown(code, shift)
                      : controller->Text1_KeyDown(code, shift);
            return std::pair{code, shift};
        };
        view.SetMemoText(memo);
        view.SetSelStart(3);
        view.answers = {A::No};  // to the question New asks about the edits
        for (const int shift : {0, 1, 3, 4, 6}) {
            EXPECT_EQ(press(c.code, shift), (std::pair{c.code, shift}));
        }
        EXPECT_EQ(view.memoText, memo);
        EXPECT_EQ(press(c.code, key::kCtrlOnly), (std::pair{c.codeAfter, c.shiftAfter}));
        EXPECT_EQ(view.memoText, c.text);
        EXPECT_EQ(view.selStart, c.selStart);
        EXPECT_EQ(view.selLength, c.selLength);
        EXPECT_EQ(Read(Memo("")), c.code == key::kS ? QByteArray(memo) : "<missing>");
    }
}

TEST(TextBoxCharacters, ControlCharactersOfTheShortcutsAreSwallowed) {
    for (int code = 0; code < 128; ++code) {
        int charCode = code;
        MemoController::Text1_KeyPress(charCode);
        const bool swallowed = code == 1 || code == 14 || code == 18 || code == 19;
        EXPECT_EQ(charCode, swallowed ? 0 : code) << code;
    }
}

}  // namespace
}  // namespace markola::testing
