#include "tests/controller/controller_fixture.h"
#include "ui/messages.h"

namespace markola::testing {
namespace {

using A = markola::Answer;

const QString kCannotOpenUnnamed = QStringLiteral("memo/.txt ﾌｧｲﾙを開けません。");

QString OverwriteQuestion(const QString& name) {
    return QStringLiteral("「") + name +
           QStringLiteral("」 の名前は他のメモで使用されています。上書き保存しますか？");
}

TEST_F(ControllerTest, FirstStartInAnEmptyFolderThenSaveTheUnnamedMemo) {
    QDir(QStringLiteral("memo")).removeRecursively();
    Start();
    EXPECT_EQ(view.applicationTitle, QStringLiteral("MARKOLA"));
    EXPECT_TRUE(view.comboList.isEmpty());
    EXPECT_EQ(view.comboText, QString());
    ASSERT_EQ(view.messages.size(), 1u);
    EXPECT_EQ(view.messages[0].prompt, kCannotOpenUnnamed);
    EXPECT_EQ(view.messages[0].title, QStringLiteral("MARKOLA"));
    EXPECT_EQ(view.messages[0].icon, MessageIcon::None);
    EXPECT_FALSE(State().TextChanged);
    EXPECT_FALSE(State().NameChanged);

    view.TypeMemoText(QStringLiteral("first line\r\nメモ"));
    int keyCode = key::kS;
    controller->Combo1_KeyDown(keyCode, key::kCtrlOnly);
    EXPECT_EQ(keyCode, 0);
    EXPECT_EQ(ReadMemo(QString()), QByteArray("first line\r\n\x83\x81\x83\x82"));
    EXPECT_EQ(view.comboList, QStringList{QString()});
    EXPECT_FALSE(State().TextChanged);

    FakeView secondRun;
    view = secondRun;
    Start();
    EXPECT_TRUE(view.messages.empty());
    EXPECT_EQ(view.memoText, QStringLiteral("first line\r\nメモ"));
    EXPECT_EQ(view.busyDepth, 0);
    EXPECT_GT(view.busyCount, 0);
}

class TwoRoads : public ControllerTest {
protected:
    void SetUp() override {
        ControllerTest::SetUp();
        WriteMemo(QStringLiteral("plan"), "plan text");
        WriteMemo(QStringLiteral("shop"), "milk");
        Start(QStringLiteral("plan"));
        EXPECT_EQ(Prompts(), QStringList{kCannotOpenUnnamed});
        EXPECT_EQ(view.comboList, (QStringList{QStringLiteral("plan"), QStringLiteral("shop")}));
        EXPECT_EQ(view.comboText, QStringLiteral("plan"));
        EXPECT_EQ(view.memoText, QStringLiteral("plan text"));
        EXPECT_FALSE(State().TextChanged);
        EXPECT_FALSE(State().NameChanged);
        view.messages.clear();
        view.TypeMemoText(QStringLiteral("plan edited"));
    }
};

TEST_F(TwoRoads, YesSavesLoadsTheChosenMemoAndRestoresItsName) {
    Answer({A::Yes});
    Choose(QStringLiteral("shop"));
    ASSERT_EQ(view.messages.size(), 1u);
    EXPECT_EQ(view.messages[0].prompt, QStringLiteral("変更されています。保存しますか？"));
    EXPECT_EQ(view.messages[0].title, QStringLiteral("変更されています。"));
    EXPECT_EQ(view.messages[0].buttons, Buttons::YesNoCancel);
    EXPECT_EQ(ReadMemo(QStringLiteral("plan")), QByteArray("plan edited"));
    EXPECT_EQ(view.memoText, QStringLiteral("milk"));
    EXPECT_EQ(State().MemoName, QStringLiteral("shop"));
    EXPECT_EQ(State().ResumeMode, kResumeCombo);
    EXPECT_TRUE(view.timerEnabled);
    Tick();
    EXPECT_EQ(view.comboText, QStringLiteral("shop"));
    EXPECT_FALSE(State().NameChanged);
    EXPECT_FALSE(State().TextChanged);
    EXPECT_FALSE(view.timerEnabled);
    EXPECT_TRUE(State().ResumeMode.isEmpty());
}

TEST_F(TwoRoads, NoDropsTheEdits) {
    Answer({A::No});
    Choose(QStringLiteral("shop"));
    EXPECT_EQ(ReadMemo(QStringLiteral("plan")), QByteArray("plan text"));
    EXPECT_EQ(view.memoText, QStringLiteral("milk"));
    EXPECT_FALSE(view.timerEnabled);
}

TEST_F(TwoRoads, CancelKeepsTheEditsAndPutsTheNameBack) {
    Answer({A::Cancel});
    Choose(QStringLiteral("shop"));
    EXPECT_EQ(view.memoText, QStringLiteral("plan edited"));
    EXPECT_EQ(State().ResumeMode, kResumeComboS);
    Tick();
    EXPECT_EQ(view.comboText, QStringLiteral("plan"));
    EXPECT_TRUE(State().TextChanged);
    EXPECT_TRUE(State().NameChanged);
    EXPECT_FALSE(view.timerEnabled);
}

TEST_F(TwoRoads, AFailedSaveKeepsTheMemoOnScreenLikeCancel) {
    failWrites = true;
    Answer({A::Yes});
    Choose(QStringLiteral("shop"));
    ASSERT_EQ(view.messages.size(), 2u);
    EXPECT_EQ(view.messages[1].icon, MessageIcon::Exclamation);
    EXPECT_FALSE(view.messages[1].prompt.isEmpty());
    EXPECT_EQ(ReadMemo(QStringLiteral("plan")), QByteArray("plan text"));
    EXPECT_EQ(view.memoText, QStringLiteral("plan edited"));
    EXPECT_TRUE(State().TextChanged);
    EXPECT_EQ(State().ResumeMode, kResumeComboS);
    Tick();
    EXPECT_EQ(view.comboText, QStringLiteral("plan"));
}

TEST_F(ControllerTest, StartUpArgumentNamesTheMemo) {
    struct Case {
        const char* argument;
        const char* file;
        const char* expectedText;
    };
    const Case cases[] = {
        {"Plan.TXT", "Plan", "P"},       {"a.txt.txt", "a.txt", "A"},
        {".txt", "", "unnamed"},         {"txt", "txt", "T"},
        {"missing", nullptr, "unnamed"}, {"../escape", nullptr, "unnamed"},
        {"", nullptr, "unnamed"},
    };
    WriteMemo(QStringLiteral("Plan"), "P");
    WriteMemo(QStringLiteral("a.txt"), "A");
    WriteMemo(QString(), "unnamed");
    WriteMemo(QStringLiteral("txt"), "T");
    WriteFile(QStringLiteral("escape.txt"), "outside");
    for (const Case& c : cases) {
        SCOPED_TRACE(c.argument);
        view = FakeView();
        Start(QString::fromUtf8(c.argument));
        EXPECT_TRUE(view.messages.empty());
        EXPECT_EQ(view.memoText, QString::fromUtf8(c.expectedText));
        if (c.file) {
            EXPECT_EQ(view.comboText, QString::fromUtf8(c.file));
        }
        EXPECT_FALSE(State().TextChanged);
        EXPECT_FALSE(State().NameChanged);
    }
}

class OverwriteWhileChoosing : public ControllerTest {
protected:
    void SetUp() override {
        ControllerTest::SetUp();
        for (const char* name : {"one", "two", "three"}) {
            WriteMemo(QString::fromLatin1(name), name);
        }
        Start(QStringLiteral("one"));
        view.messages.clear();
        view.TypeComboText(QStringLiteral("two"));
        view.TypeMemoText(QStringLiteral("new words"));
    }
};

TEST_F(OverwriteWhileChoosing, DecliningKeepsTheEditsAndTheTypedName) {
    Answer({A::Yes, A::No});
    Choose(QStringLiteral("three"));
    EXPECT_EQ(Prompts().last(), OverwriteQuestion(QStringLiteral("two")));
    EXPECT_EQ(view.messages.back().buttons, Buttons::YesNo);
    EXPECT_EQ(ReadMemo(QStringLiteral("two")), QByteArray("two"));
    EXPECT_EQ(view.memoText, QStringLiteral("new words"));
    Tick();
    EXPECT_EQ(view.comboText, QStringLiteral("two"));
    EXPECT_TRUE(State().TextChanged);
    EXPECT_TRUE(State().NameChanged);
}

TEST_F(OverwriteWhileChoosing, AcceptingOverwritesThenLoadsTheChoice) {
    Answer({A::Yes, A::Yes});
    Choose(QStringLiteral("three"));
    EXPECT_EQ(ReadMemo(QStringLiteral("two")), QByteArray("new words"));
    EXPECT_EQ(ReadMemo(QStringLiteral("one")), QByteArray("one"));
    EXPECT_EQ(view.memoText, QStringLiteral("three"));
    Tick();
    EXPECT_EQ(view.comboText, QStringLiteral("three"));
    EXPECT_FALSE(State().NameChanged);
}

TEST_F(ControllerTest, ChoosingTheShownMemoWithoutEditsReadsItAgain) {
    WriteMemo(QStringLiteral("a"), "old");
    Start(QStringLiteral("a"));
    WriteMemo(QStringLiteral("a"), "changed on disk");
    Choose(QStringLiteral("a"));
    EXPECT_EQ(view.memoText, QStringLiteral("changed on disk"));
}

TEST_F(ControllerTest, NewMemo) {
    WriteMemo(QStringLiteral("a"), "text");
    Start(QStringLiteral("a"));
    controller->mnuNewFile_Click();
    EXPECT_EQ(view.memoText, QString());
    EXPECT_EQ(view.comboText, QStringLiteral("新規メモ"));
    EXPECT_EQ(State().MemoName, QStringLiteral("新規メモ"));
    EXPECT_TRUE(State().NameChanged);
    EXPECT_TRUE(State().TextChanged);
    EXPECT_EQ(view.comboFocusCount, 1);
    EXPECT_EQ(ReadMemo(QStringLiteral("a")), QByteArray("text"));
}

TEST_F(ControllerTest, NewMemoWithEdits) {
    struct Case {
        A answer;
        bool failWrite;
        bool expectNew;
        const char* savedText;
    };
    const Case cases[] = {
        {A::Yes, false, true, "edited"},
        {A::No, false, true, "text"},
        {A::Cancel, false, false, "text"},
        {A::Yes, true, false, "text"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(static_cast<int>(c.answer) * 10 + c.failWrite);
        WriteMemo(QStringLiteral("a"), "text");
        view = FakeView();
        failWrites = false;
        Start(QStringLiteral("a"));
        view.TypeMemoText(QStringLiteral("edited"));
        failWrites = c.failWrite;
        Answer({c.answer});
        controller->mnuNewFile_Click();
        EXPECT_EQ(ReadMemo(QStringLiteral("a")), QByteArray(c.savedText));
        EXPECT_EQ(view.comboFocusCount, 1);
        EXPECT_EQ(view.memoText, c.expectNew ? QString() : QStringLiteral("edited"));
        if (!c.expectNew) {
            EXPECT_EQ(State().ResumeMode, kResumeComboS);
            EXPECT_TRUE(State().TextChanged);
            Tick();
            EXPECT_EQ(view.comboText, QStringLiteral("a"));
        }
    }
}

TEST_F(ControllerTest, NewMemoAfterSavingOneUnderTheNewMemoNameStillAsksBeforeOverwriting) {
    Start();
    controller->mnuNewFile_Click();
    view.TypeMemoText(QStringLiteral("first"));
    controller->mnuSave_Click();
    Answer({A::No});
    controller->mnuNewFile_Click();
    view.TypeMemoText(QStringLiteral("second"));
    Answer({A::No});
    controller->mnuSave_Click();
    EXPECT_EQ(Prompts().last(), OverwriteQuestion(QStringLiteral("新規メモ")));
    EXPECT_EQ(ReadMemo(QStringLiteral("新規メモ")), QByteArray("first"));
}

TEST_F(ControllerTest, SaveUnderATypedNameCreatesAndListsTheMemo) {
    WriteMemo(QStringLiteral("old"), "text");
    Start(QStringLiteral("old"));
    view.TypeComboText(QStringLiteral("renamed"));
    controller->mnuSave_Click();
    EXPECT_EQ(ReadMemo(QStringLiteral("renamed")), QByteArray("text"));
    EXPECT_EQ(ReadMemo(QStringLiteral("old")), QByteArray("text"));
    EXPECT_EQ(view.comboList, (QStringList{QStringLiteral("old"), QStringLiteral("renamed")}));
    EXPECT_EQ(view.comboText, QStringLiteral("renamed"));
    EXPECT_FALSE(State().NameChanged);
}

TEST_F(ControllerTest, SavesThatWriteNothingKeepTheFlags) {
    WriteMemo(QStringLiteral("a"), "text");
    struct Case {
        const char* name;
        const char* text;
        bool failWrite;
        QString message;
    };
    const Case cases[] = {
        {"a", "x\r\ny😀z", false,
         QStringLiteral("保存できない文字が含まれています（2 行目の「😀」）。"
                        "この文字を削除するか置き換えてから保存してください。")},
        {"a", "price ¥5", false,
         QStringLiteral("保存できない文字が含まれています（1 行目の「¥」）。"
                        "この文字を削除するか置き換えてから保存してください。")},
        {"../escape", "x", false, text::kUnsafeName},
        {"a", "x", true, QString()},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        view = FakeView();
        failWrites = false;
        Start(QStringLiteral("a"));
        view.TypeComboText(QString::fromUtf8(c.name));
        view.TypeMemoText(QString::fromUtf8(c.text));
        failWrites = c.failWrite;
        if (c.failWrite) {
            Answer({A::Yes});  // the typed name is that of an existing memo
        }
        controller->mnuSave_Click();
        ASSERT_FALSE(view.messages.empty());
        EXPECT_EQ(view.messages.back().icon, MessageIcon::Exclamation);
        EXPECT_EQ(view.messages.back().title, QStringLiteral("MARKOLA"));
        if (!c.message.isEmpty()) {
            EXPECT_EQ(view.messages.back().prompt, c.message);
        }
        EXPECT_TRUE(State().TextChanged);
        EXPECT_TRUE(State().NameChanged);
        EXPECT_EQ(ReadMemo(QStringLiteral("a")), QByteArray("text"));
        EXPECT_FALSE(QFile::exists(QStringLiteral("escape.txt")));
    }
}

TEST_F(ControllerTest, RefreshKeepsTheStateAndShowsTheMemoName) {
    WriteMemo(QStringLiteral("a"), "text");
    Start(QStringLiteral("a"));
    view.TypeMemoText(QStringLiteral("edited"));
    WriteMemo(QStringLiteral("B"), "");
    int keyCode = key::kR;
    controller->Combo1_KeyDown(keyCode, key::kCtrlOnly);
    EXPECT_EQ(keyCode, 0);
    EXPECT_EQ(view.comboList, (QStringList{QStringLiteral("a"), QStringLiteral("B")}));
    EXPECT_EQ(view.comboText, QStringLiteral("a"));
    EXPECT_EQ(view.memoText, QStringLiteral("edited"));
    EXPECT_TRUE(State().TextChanged);
    EXPECT_FALSE(State().NameChanged);
}

TEST_F(ControllerTest, ComboShortcutsNeedCtrlAlone) {
    Start();
    view.TypeMemoText(QStringLiteral("x"));
    for (const int shift : {0, 1, 3, 4, 6}) {
        for (const int code : {key::kS, key::kN, key::kR}) {
            int keyCode = code;
            controller->Combo1_KeyDown(keyCode, shift);
            EXPECT_EQ(keyCode, code);
        }
    }
    int other = key::kUp;
    controller->Combo1_KeyDown(other, key::kCtrlOnly);
    EXPECT_EQ(other, key::kUp);
    EXPECT_EQ(view.memoText, QStringLiteral("x"));
    EXPECT_EQ(ReadMemo(QString()), QByteArray("<missing>"));
}

TEST_F(ControllerTest, TextBoxShortcutsNeedCtrlAlone) {
    Start();
    view.TypeMemoText(QStringLiteral("a\r\nb\r\n"));
    for (const int shift : {0, 1, 3, 4, 6}) {
        for (const int code : {key::kUp, key::kDown, key::kLeft, key::kS, key::kN, key::kR}) {
            int keyCode = code;
            int shiftState = shift;
            controller->Text1_KeyDown(keyCode, shiftState);
            EXPECT_EQ(keyCode, code);
            EXPECT_EQ(shiftState, shift);
        }
    }
    EXPECT_EQ(view.memoText, QStringLiteral("a\r\nb\r\n"));
    EXPECT_EQ(view.replaceCount, 0);
}

// Each Ctrl key of the text box: the key code it leaves, the shift state it leaves, and
// the memo text, caret and selection after it.
TEST_F(ControllerTest, TextBoxShortcuts) {
    struct Case {
        int code;
        int keyCodeAfter;
        int shiftAfter;
        QString textAfter;
        int selStart;
        int selLength;
    };
    constexpr int kRight = 39;
    const QString memo = QStringLiteral("a\r\nb\r\n");
    const Case cases[] = {
        {key::kUp, 0, 2, QStringLiteral("b\r\na\r\n"), 0, 0},
        {key::kDown, 0, 2, QStringLiteral("b\r\na\r\n"), 3, 0},
        {key::kLeft, 0, 2, QStringLiteral("a\r\n\u25A1 b\r\n"), 3, 0},
        {key::kR, 0, 0, memo, 3, 0},
        {key::kA, key::kA, 2, memo, 0, 6},
        {kRight, kRight, 2, memo, 3, 0},
    };
    for (const Case& c : cases) {
        Start();
        view.TypeMemoText(memo);
        view.SetSelStart(c.code == key::kDown ? 0 : 3);
        int keyCode = c.code;
        int shift = key::kCtrlOnly;
        controller->Text1_KeyDown(keyCode, shift);
        SCOPED_TRACE(c.code);
        EXPECT_EQ(keyCode, c.keyCodeAfter);
        EXPECT_EQ(shift, c.shiftAfter);
        EXPECT_EQ(view.memoText, c.textAfter);
        EXPECT_EQ(view.selStart, c.selStart);
        EXPECT_EQ(view.selLength, c.selLength);
    }
}

TEST_F(ControllerTest, TextBoxSaveAndNewShortcuts) {
    Start();
    view.TypeMemoText(QStringLiteral("x"));
    int keyCode = key::kS;
    int shift = key::kCtrlOnly;
    controller->Text1_KeyDown(keyCode, shift);
    EXPECT_EQ(keyCode, 0);
    EXPECT_EQ(ReadMemo(QString()), QByteArray("x"));
    keyCode = key::kN;
    controller->Text1_KeyDown(keyCode, shift);
    EXPECT_EQ(keyCode, 0);
    EXPECT_EQ(view.comboText, text::kNewMemoName);
    EXPECT_EQ(view.memoText, QString());
}

TEST(TextBoxCharacters, ControlCharactersOfTheShortcutsAreSwallowed) {
    for (int code = 0; code < 128; ++code) {
        int charCode = code;
        MemoController::Text1_KeyPress(charCode);
        const bool swallowed = code == 1 || code == 14 || code == 18 || code == 19;
        EXPECT_EQ(charCode, swallowed ? 0 : code) << code;
    }
}

TEST_F(ControllerTest, TickWhileIdleDoesNothing) {
    Start();
    view.comboText = QStringLiteral("typed");
    controller->Timer1_Timer();
    EXPECT_EQ(view.comboText, QStringLiteral("typed"));
    EXPECT_FALSE(view.timerEnabled);
}

TEST_F(ControllerTest, LoadingAnUnreadableMemoReportsIt) {
    QDir().mkpath(QStringLiteral("memo/folder.txt"));
    Start(QStringLiteral("a"));
    view.messages.clear();
    view.TypeComboText(QStringLiteral("folder"));
    Choose(QStringLiteral("folder"));
    EXPECT_EQ(Prompts(), QStringList{QStringLiteral("memo/folder.txt ﾌｧｲﾙを開けません。")});
    EXPECT_EQ(State().MemoName, QStringLiteral("folder"));
    EXPECT_TRUE(State().NameChanged);
    EXPECT_FALSE(State().TextChanged);
}

class Closing : public ControllerTest {
protected:
    void SetUp() override {
        ControllerTest::SetUp();
        WriteMemo(QStringLiteral("a"), "text");
        Start(QStringLiteral("a"));
        view.messages.clear();
        view.geometry = {6000, 7000, 1500, 1500};
    }
    bool Close() {
        bool cancel = false;
        controller->Form_Unload(cancel);
        return cancel;
    }
};

TEST_F(Closing, WithoutEditsClosesAndWritesTheGeometry) {
    EXPECT_FALSE(Close());
    EXPECT_TRUE(view.messages.empty());
    EXPECT_EQ(ReadFile(QStringLiteral("settings.ini")), QByteArray("6000,7000,1500,1500\r\n"));
}

TEST_F(Closing, WithEdits) {
    struct Case {
        A answer;
        bool failWrite;
        bool declineOverwrite;
        bool expectCancel;
        const char* savedText;
    };
    const Case cases[] = {
        {A::Yes, false, false, false, "edited"}, {A::No, false, false, false, "text"},
        {A::Cancel, false, false, true, "text"}, {A::Yes, true, false, true, "text"},
        {A::Yes, false, true, true, "text"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(static_cast<int>(c.answer) * 100 + c.failWrite * 10 + c.declineOverwrite);
        WriteMemo(QStringLiteral("a"), "text");
        QFile::remove(QStringLiteral("settings.ini"));
        failWrites = false;
        view = FakeView();
        Start(QStringLiteral("a"));
        view.geometry = {6000, 7000, 1500, 1500};
        if (c.declineOverwrite) {
            view.TypeComboText(QStringLiteral("a"));
        }
        view.TypeMemoText(QStringLiteral("edited"));
        Answer({c.answer});
        if (c.declineOverwrite) {
            Answer({A::No});
        }
        failWrites = c.failWrite;
        EXPECT_EQ(Close(), c.expectCancel);
        EXPECT_TRUE(view.answers.empty());
        EXPECT_EQ(ReadMemo(QStringLiteral("a")), QByteArray(c.savedText));
        failWrites = false;
        if (c.expectCancel) {
            EXPECT_EQ(State().ResumeMode, kResumeComboS);
            EXPECT_EQ(view.memoText, QStringLiteral("edited"));
        }
        if (!c.failWrite) {
            EXPECT_EQ(ReadFile(QStringLiteral("settings.ini")),
                      QByteArray("6000,7000,1500,1500\r\n"));
        }
    }
}

TEST_F(ControllerTest, StartUpAppliesTheSavedGeometry) {
    WriteFile(QStringLiteral("settings.ini"), "100,200,300,400\r\n");
    Start();
    EXPECT_EQ(view.geometry, (WindowGeometry{100, 200, 300, 400}));
    QFile::remove(QStringLiteral("settings.ini"));
    Start();
    EXPECT_EQ(view.geometry, kDefaultWindowGeometry);
}

}  // namespace
}  // namespace markola::testing
