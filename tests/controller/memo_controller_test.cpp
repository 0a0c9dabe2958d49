#include "ui/memo_controller.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <QCoreApplication>
#include <QDir>
#include <QEventLoop>
#include <QFile>
#include <QTemporaryDir>
#include <QTimer>
#include <cerrno>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>
#include <optional>
#include <tuple>

#include "storage/file_lock.h"
#include "storage/recovery_file.h"
#include "tests/controller/fake_view.h"
#include "ui/messages.h"
#include "ui/sliced_text_copy.h"

namespace markola::testing {
namespace {

using A = markola::Answer;

const ShownMessage kCloseQuestion{"変更されています。保存しますか？", Buttons::YesNoCancel,
                                  MessageIcon::None, "変更されています。"};

// A controller on a fake view, on a temporary folder with a "memo" folder; paths given to
// the helpers are relative to it. Writes of memos fail while failWrites is set, those of
// recovery copies with the errno in failCopies.
class ControllerTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(QDir(dir.path()).mkdir("memo")); }
    // QTemporaryDir cannot remove names that are not UTF-8.
    void TearDown() override { std::filesystem::remove_all(dir.path().toStdString()); }

    // A new window on the files as they are now.
    void Start(const QString& argument = {}, std::deque<Answer> answers = {}) {
        view = FakeView();
        view.answers = std::move(answers);
        controller = std::make_unique<MemoController>(view, files, folder, argument);
        view.controller = controller.get();
        controller->Start();
    }
    const EditorState& State() const { return controller->State(); }
    // Picking an item of the list: the combo already shows it, no change handler runs.
    void Choose(const QString& name) {
        view.comboText = name;
        controller->OnMemoChosen();
    }
    static QByteArray Memo(const QString& name) { return "memo/" + name.toUtf8() + ".txt"; }
    // By the bytes of the file's name, which need not be UTF-8.
    QByteArray At(const QByteArray& path) const {
        return QFile::encodeName(dir.path()) + '/' + path;
    }
    void Write(const QByteArray& path, const QByteArray& bytes) const {
        std::ofstream file(At(path).constData(), std::ios::binary);
        ASSERT_TRUE(file.write(bytes.constData(), bytes.size()));
    }
    QByteArray Read(const QByteArray& path) const {
        std::ifstream file(At(path).constData(), std::ios::binary);
        return file ? QByteArray::fromStdString({std::istreambuf_iterator<char>(file), {}})
                    : QByteArray("<missing>");
    }
    void Remove(const QByteArray& path) const { std::remove(At(path).constData()); }
    // A command of the shell, run in the temporary folder: its status.
    int Shell(const std::string& command) const {
        return std::system(("cd " + dir.path().toStdString() + " && " + command).c_str());
    }
    qsizetype Recoveries() const {
        return QDir(folder.RecoveryFolder()).entryList({"*.recovery"}, QDir::Files).size();
    }

    // The recovery copy's timers want an application object, as in the program.
    int argc = 1;
    char name[5] = "test";
    char* argv[1] = {name};
    QCoreApplication application{argc, argv};
    QTemporaryDir dir;
    const MemoFolder folder{dir.path()};
    FakeView view;
    bool failWrites = false;
    int failCopies = 0;
    DiskFileStore files{[this](const QString& path) {
        return folder.Holds(path) ? (failWrites ? EACCES : 0)
                                  : (path.startsWith(folder.RecoveryFolder()) ? failCopies : 0);
    }};
    std::unique_ptr<MemoController> controller;
};

// Memo files as they come from older systems too: each opens from the command line and
// takes an edit back into itself, byte for byte.
TEST_F(ControllerTest, StartUpOpensTheMemoTheArgumentNames) {
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
        {"<0x82>", "\x82.txt", "lone\rcr\nlf", "<0x82>", "lone\rcr\nlf"},
        {"bom", "bom.txt", "\xEF\xBB\xBFtext\x1A", "bom", u"\uF7EF\uFF7B\uFF7Ftext\x1A"_qs},
    };
    Write(Memo(""), "unnamed");
    Write("escape.txt", "outside");
    Write("settings.ini", "100,200,300,400\r\n");
    for (const Case& c : cases) {
        SCOPED_TRACE(c.argument.toStdString());
        Write("memo/" + c.file, c.content);
        Start(c.argument);
        EXPECT_EQ(view.comboText, c.combo);
        EXPECT_EQ(view.memoText, c.text);
        EXPECT_FALSE(State().TextChanged || State().NameChanged);
        EXPECT_EQ(view.geometry, (WindowGeometry{100, 200, 300, 400}));
        EXPECT_TRUE(view.comboList.contains(c.combo));
        for (int save = 0; save < 2; ++save) {  // its own write is no change by another program
            view.SetMemoText(view.memoText + "+");
            controller->SaveShown();
        }
        EXPECT_TRUE(view.messages.empty());
        EXPECT_EQ(Read("memo/" + c.file), c.content + "++");
    }
}

// Leaving memo "one" (maybe renamed to "two", whose file exists, or to New's name, and maybe
// edited) by choosing "four", by New or by closing. A memo saved under a new name is listed;
// one not saved (declined or failed) stays on screen with its edits and in the recovery file,
// and the close is cancelled. New's name is a new name even where the combo shows it already.
TEST_F(ControllerTest, LeavingTheMemoOnScreen) {
    // The text, the combo, the name the memo is saved under, both flags.
    using Screen = std::tuple<QString, QString, QString, bool, bool>;
    struct Outcome {
        QString savedAs{};  // the file that now holds the edits
        bool listsNew = false, focusesCombo = false, armsTimer = false;
        bool cancels = false;  // the close
        int recoveries = 0;
        std::optional<Screen> screen{};  // none once closed
    };
    struct Leaving {
        const char* name;
        QString typed;            // the name in the combo
        std::deque<A> answers{};  // none: the memo is not edited
        bool failWrite = false;
    };
    struct Case {
        Leaving when;
        std::vector<ShownMessage> asked{};
        Outcome byChoosing{}, byNew{}, byClosing{};  // the three ways of leaving it
    };
    const QString fresh = text::kNewMemoName;
    const ShownMessage overwriteTwo{
        "「two」 の名前は他のメモで使用されています。上書き保存しますか？", Buttons::YesNo,
        MessageIcon::None, "MARKOLA"};
    const ShownMessage failed{"memo/one.txt を保存できませんでした。書き込みが許可されていません。",
                              Buttons::Ok, MessageIcon::Exclamation, "MARKOLA"};
    const Screen choseFour{"four", "four", "four", false, false};
    const Screen newMemo{"", fresh, fresh, true, true};
    // The restore is a change of name, so the next save asks before overwriting.
    const Screen keptRenamed{"メモ", "one", "one", true, true};
    const Screen kept{"メモ", "one", "one", true, false};
    const Screen keptAs2{"メモ", "two", "two", true, true};
    const Case cases[] = {
        {.when = {.name = "unedited", .typed = "one"},
         .byChoosing = {.screen = choseFour},
         .byNew = {.focusesCombo = true, .screen = newMemo}},
        {.when = {.name = "Yes saves", .typed = "one", .answers = {A::Yes}},
         .asked = {kCloseQuestion},
         .byChoosing = {.savedAs = "one", .armsTimer = true, .screen = choseFour},
         .byNew = {.savedAs = "one", .focusesCombo = true, .screen = newMemo},
         .byClosing = {.savedAs = "one"}},
        {.when = {.name = "No drops", .typed = "one", .answers = {A::No}},
         .asked = {kCloseQuestion},
         .byChoosing = {.screen = choseFour},
         .byNew = {.focusesCombo = true, .screen = newMemo}},
        {.when = {.name = "Cancel stays", .typed = "one", .answers = {A::Cancel}},
         .asked = {kCloseQuestion},
         .byChoosing = {.armsTimer = true, .recoveries = 1, .screen = keptRenamed},
         .byNew = {.focusesCombo = true, .armsTimer = true, .recoveries = 1, .screen = kept},
         .byClosing = {.armsTimer = true, .cancels = true, .recoveries = 1, .screen = kept}},
        {.when = {.name = "Yes fails", .typed = "one", .answers = {A::Yes}, .failWrite = true},
         .asked = {kCloseQuestion, failed},
         .byChoosing = {.armsTimer = true, .recoveries = 1, .screen = keptRenamed},
         .byNew = {.focusesCombo = true, .armsTimer = true, .recoveries = 1, .screen = kept},
         .byClosing = {.armsTimer = true, .cancels = true, .recoveries = 1, .screen = kept}},
        {.when = {.name = "renamed, declines", .typed = "two", .answers = {A::Yes, A::No}},
         .asked = {kCloseQuestion, overwriteTwo},
         .byChoosing = {.armsTimer = true, .recoveries = 1, .screen = keptAs2},
         .byNew = {.focusesCombo = true, .armsTimer = true, .recoveries = 1, .screen = keptAs2},
         .byClosing = {.armsTimer = true, .cancels = true, .recoveries = 1, .screen = keptAs2}},
        {.when = {.name = "renamed, overwrites", .typed = "two", .answers = {A::Yes, A::Yes}},
         .asked = {kCloseQuestion, overwriteTwo},
         .byChoosing = {.savedAs = "two", .armsTimer = true, .screen = choseFour},
         .byNew = {.savedAs = "two", .focusesCombo = true, .screen = newMemo},
         .byClosing = {.savedAs = "two"}},
        {.when = {.name = "named as New, Yes saves", .typed = fresh, .answers = {A::Yes}},
         .asked = {kCloseQuestion},
         .byChoosing = {.savedAs = fresh, .listsNew = true, .armsTimer = true, .screen = choseFour},
         .byNew = {.savedAs = fresh, .listsNew = true, .focusesCombo = true, .screen = newMemo},
         .byClosing = {.savedAs = fresh}},
    };
    for (const Case& c : cases) {
        bool cancel = false;
        const std::tuple<const char*, std::function<void()>, const Outcome&> leaves[] = {
            {"choosing", [this] { Choose("four"); }, c.byChoosing},
            {"New", [this] { controller->NewMemo(); }, c.byNew},
            {"closing", [&] { controller->Close(cancel); }, c.byClosing}};
        for (const auto& [way, leave, then] : leaves) {
            SCOPED_TRACE(::testing::Message() << way << ", " << c.when.name);
            for (const char* name : {"one", "two", "four"}) {
                Write(Memo(name), name);
            }
            Remove("settings.ini");
            Remove(Memo(fresh));
            QDir(folder.RecoveryFolder()).removeRecursively();
            Start("one");
            view.messages.clear();                             // the unnamed memo is missing
            EXPECT_EQ(view.geometry, kDefaultWindowGeometry);  // no settings file
            view.geometry = {6000, 7000, 1500, 1500};
            view.SetComboText(c.when.typed);
            view.SetMemoText(c.when.answers.empty() ? "one" : "メモ");
            controller->EndNow();
            view.answers = c.when.answers;
            failWrites = c.when.failWrite;
            leave();

            EXPECT_EQ(view.messages, c.asked);
            // No file is taken for another of the same length ("four.txt").
            for (const QString& name : {u"one"_qs, u"two"_qs, u"four"_qs, fresh}) {
                const QByteArray kept = name == fresh ? "<missing>" : name.toUtf8();
                EXPECT_EQ(Read(Memo(name)), name == then.savedAs ? "\x83\x81\x83\x82" : kept);
            }
            EXPECT_EQ(view.comboList.contains(fresh), then.listsNew);
            EXPECT_EQ(cancel, then.cancels);
            EXPECT_EQ(view.comboFocusCount, int{then.focusesCombo});
            // Armed for the restore of the combo text, which clears itself.
            EXPECT_EQ(view.timerEnabled, then.armsTimer);
            controller->OnRestoreTick();
            EXPECT_FALSE(view.timerEnabled);
            if (then.screen) {
                EXPECT_EQ(Screen(view.memoText, view.comboText, State().MemoName,
                                 State().TextChanged, State().NameChanged),
                          *then.screen);
            } else {
                EXPECT_EQ(Read("settings.ini"), "6000,7000,1500,1500\r\n");
                controller->EndNow();  // the end of the session after the close
            }
            EXPECT_EQ(Recoveries(), then.recoveries);
            view.SetComboText("typed");  // the restore ran: after it, a typed name is new
            controller->OnRestoreTick();
            EXPECT_TRUE(State().NameChanged);
        }
    }
}

// A memo that cannot be saved, by the save command or by a Yes on leaving it, stays on
// screen with its edits. Unencodable text is refused before the overwrite question, and a
// memo whose file could not be read (over the size limit, by any name) before anything else.
TEST_F(ControllerTest, SavesThatWriteNothingKeepTheMemoOnScreen) {
    struct Case {
        const char* chosen;
        QString name;
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
        {"", "b", "\r\nz😀", false, unsavable("2 行目 2 文字目の「😀」、U+1F600")},
        // A stray lead byte before a trail byte; a pasted sign that is no line end, alone.
        {"", "b", "x\r\n\xEF\x9E\x81@", false, unsavable("2 行目 1 文字目の「0x81」")},
        {"", "b", "\xE2\x90\x8D.", false, unsavable("1 行目 1 文字目の「\xE2\x90\x8D」、U+240D")},
        {"", "b\tc", "x", false, text::kUnsafeName},
        {"", "b", "x", true, "memo/b.txt を保存できませんでした。書き込みが許可されていません。"},
        {"", "/", "x", false, text::kUnsafeName},
        {"", tooLong, "x", false,
         "memo/" + tooLong + ".txt を保存できませんでした。名前が長すぎます。"},
        {"huge", "huge", "x", false,
         "「huge」 は読み込めなかったため、上書き保存しません。別の名前で保存してください。"},
        {"huge", "big", "x", false,  // a link to it
         "「big」 は読み込めなかったため、上書き保存しません。別の名前で保存してください。"},
    };
    Write(Memo("b"), "text");
    QFile huge(QFile::decodeName(At(Memo("huge"))));
    ASSERT_TRUE(huge.open(QIODevice::WriteOnly) && huge.resize(kMaxMemoFileSize + 1));  // sparse
    ASSERT_TRUE(QFile::link("huge.txt", QFile::decodeName(At(Memo("big")))));
    for (const Case& c : cases) {
        SCOPED_TRACE(c.message.toStdString());
        Start(c.chosen);
        view.SetComboText(c.name);
        view.SetMemoText(c.text);
        failWrites = c.failWrite;
        view.answers.assign(c.failWrite ? 1 : 0, A::Yes);  // to overwrite "b"
        controller->SaveShown();
        view.answers.assign(c.failWrite ? 2 : 1, A::Yes);
        controller->NewMemo();
        EXPECT_EQ(view.messages.back(),
                  (ShownMessage{c.message, Buttons::Ok, MessageIcon::Exclamation, "MARKOLA"}));
        EXPECT_EQ(view.memoText, c.text);
        EXPECT_TRUE(State().TextChanged);
        EXPECT_EQ(Read(Memo("b")), "text");
        EXPECT_EQ(QFile(QFile::decodeName(At(Memo("huge")))).size(), kMaxMemoFileSize + 1);
    }
}

// Edits left by an end without questions (SIGTERM) come back at the next start, every character
// whole, with the file as it was known then: their save asks (No the default) exactly when
// another program left other bytes in the file since, or made it, whatever its size, time and
// inode say. Edits are kept as their memo's also while the combo shows the one chosen next. The
// recovery file goes once the edits are saved or given up, and nothing is left behind.
TEST_F(ControllerTest, EditsKeptAtAnEndBySignalAreOfferedAtTheNextStart) {
    struct Case {
        QString memo, edits;
        const char* theirs;     // another program's doing in memo/ (old: plan's old time back)
        std::deque<A> answers;  // to the offer at the next start, then to the save's question
        const char* kept;       // the file after the save
        bool whileChoosingB = false;  // the end comes while the close question is open
    };
    const QString mixed = QStringLiteral("plan\r\n😀 \uE0FF ") + QChar(0xD800);
    const Case cases[] = {
        {"plan", mixed, "", {A::No}, "plan"},
        // All text deleted is an edit too, although it looks like the empty start-up memo.
        {"plan", "", "touch plan.txt", {A::Yes}, "saved"},
        {"plan", mixed, "rm plan.txt", {A::Yes}, "saved"},
        // The same size and the old time, in place or in a new file (maybe of the same inode).
        {"plan", mixed, "printf PLAN >plan.txt; old", {A::Yes, A::No}, "PLAN"},
        {"plan", mixed, "rm plan.txt; printf PLAN >plan.txt; old", {A::Yes, A::Yes}, "saved"},
        {"", mixed, "printf PLAN >.txt", {A::Yes, A::No}, "PLAN"},
        {"plan", mixed, "", {A::Yes}, "saved", true},
        // A link repointed: the file under the memo's name is the memo's, whatever it leads to.
        {"plan",
         mixed,
         "echo -n PLAN >../o.txt; ln -sf ../o.txt plan.txt",
         {A::Yes, A::No},
         "PLAN"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.theirs);
        Shell("rm -rf memo/.recovery memo/.txt");
        Write(Memo("plan"), "plan");
        Write(Memo("b"), "b");
        Start(c.memo);
        controller->EndNow();
        EXPECT_EQ(Recoveries(), 0);  // nothing edited, nothing kept
        view.SetMemoText(c.edits);
        if (c.whileChoosingB) {
            view.answers = {A::Cancel};
            view.whileShown = [this](Buttons) { EXPECT_FALSE(controller->EndNow()); };
            Choose("b");
            view.whileShown = {};
        } else {
            EXPECT_FALSE(controller->EndNow());
        }
        EXPECT_EQ(Read(Memo("plan")), "plan");
        EXPECT_EQ(Recoveries(), 1);
        const std::string shell = "cd memo; touch -r plan.txt t; old() { touch -r t plan.txt; }; ";
        ASSERT_EQ(Shell(shell + c.theirs), 0);

        const bool restored = c.answers.front() == A::Yes;
        Start({}, c.answers);
        const QString memo = c.memo.isEmpty() ? "名前のないメモ" : "「plan」";
        EXPECT_EQ(view.messages.back(),
                  (ShownMessage{"保存されていない" + memo + "の変更が残っています。復元しますか？",
                                Buttons::YesNoOrLater, MessageIcon::None, "MARKOLA"}));
        EXPECT_EQ(view.comboText, restored ? c.memo : "");
        EXPECT_EQ(view.memoText, restored ? c.edits : "");
        EXPECT_EQ(State().TextChanged, restored);
        EXPECT_FALSE(State().NameChanged);
        if (restored) {
            view.SetMemoText("saved");
            controller->SaveShown();
        }
        EXPECT_TRUE(view.answers.empty());
        EXPECT_EQ(Read(Memo(c.memo)), c.kept);
        if (c.answers.size() > 1) {
            EXPECT_EQ(
                view.messages.back(),
                (ShownMessage{
                    "「" + c.memo + "」はほかのプログラムで変更されています。上書き保存しますか？",
                    Buttons::YesNoDefaultNo, MessageIcon::Exclamation, "MARKOLA"}));
        }
        const bool unsaved = restored && qstrcmp(c.kept, "saved") != 0;
        EXPECT_EQ(State().TextChanged, unsaved);
        EXPECT_EQ(Recoveries(), unsaved ? 1 : 0);
        if (!unsaved) {
            controller.reset();
            EXPECT_EQ(QDir(folder.RecoveryFolder())
                          .entryList(QDir::AllEntries | QDir::Hidden | QDir::System |
                                     QDir::NoDotAndDotDot),
                      QStringList());
        }
    }
}

// The text box emptied by a load that then fails, and a memo whose bytes the code page reads as
// characters it writes otherwise (a duplicate code of NEC row 13, an NEC-selected IBM kanji, a
// stray byte), are no edits of the user's: none is kept, however long a message stays open or
// whatever ends the program meanwhile. Edits undone keep nothing either, nor does a new memo left
// empty.
TEST_F(ControllerTest, OnlyTheUsersEditsAreKept) {
    const QByteArray memo = "keep me \x87\x90\xED\x40\x80";
    const auto waitTwoSeconds = [] {
        QEventLoop loop;
        QTimer::singleShot(2100, &loop, &QEventLoop::quit);
        loop.exec();
    };
    const auto endBySignal = [this] { EXPECT_FALSE(controller->EndNow()); };
    const auto whileFailureShown = [this](const std::function<void()>& what) {
        view.whileShown = [what](Buttons buttons) {
            if (buttons == Buttons::Ok) {
                what();
            }
        };
    };
    const std::pair<const char*, std::function<void()>> roads[] = {
        {"b fails to load, its message open for 2 s", [&] { whileFailureShown(waitTwoSeconds); }},
        {"No to the close question, then b fails to load",
         [&] {
             view.SetMemoText("edits");
             view.answers = {A::No};
             whileFailureShown(waitTwoSeconds);
         }},
        {"an end by signal while b's failure is shown", [&] { whileFailureShown(endBySignal); }},
        {"2 s unedited, an end by signal, then choosing b",
         [&] {
             waitTwoSeconds();
             endBySignal();
         }},
        {"a new memo, left empty, and an end by signal",
         [&] {
             controller->NewMemo();
             endBySignal();
             EXPECT_EQ(Recoveries(), 0);
             view.answers = {A::No};  // the close question holds it edited all the same
         }},
        {"edits undone, then choosing b",
         [&] {
             const QString loaded = view.memoText;
             view.SetMemoText("edits");
             endBySignal();
             view.SetMemoText(loaded);
             endBySignal();
             EXPECT_EQ(Recoveries(), 0);
             view.answers = {A::No};  // still edited, as the close question knows it
         }},
    };
    for (const auto& [road, beforeChoosing] : roads) {
        SCOPED_TRACE(road);
        Write(Memo("a"), memo);
        Write(Memo("b"), "b");
        Start("a");
        Remove(Memo("b"));  // by another program, after the list was read
        beforeChoosing();
        Choose("b");
        EXPECT_EQ(Recoveries(), 0);
        Start();  // an offer would be a question that no answer waits for
        EXPECT_EQ(Read(Memo("a")), memo);
    }
}

// Copies left by many ends: the newest of each memo is offered, newest memo first, with the count
// of its older ones, which No gives up too; a question closed puts the rest off, whole. Copies
// whose edits the memo holds already go unasked; one whose lock is a folder is said once; one a
// running program holds is not its to offer. While another program holds the folder, the start
// asks nothing and says why.
TEST_F(ControllerTest, APileOfCopiesIsOneQuestionAMemo) {
    const auto copy = [this](const QString& name, const char* when) {
        const QString path = NewRecoveryPath(folder.RecoveryFolder());
        EXPECT_EQ(MakeRecoveryFolder(folder.RecoveryFolder()), 0);
        EXPECT_TRUE(
            WriteRecoveryFile(files, path, {.name = name, .text = name + " edits"}).result.ok);
        Shell("touch -d " + std::string(when) + " " + QFile::encodeName(path).toStdString());
        return path;
    };
    Write(Memo(""), "");
    Write(Memo("a"), "a");
    Write(Memo("saved"), "saved edits");
    copy("a", "2020-01-01");
    copy("a", "2020-01-03");
    copy("b", "2020-01-02");
    copy("saved", "2020-01-04");
    Shell("mkdir " + QFile::encodeName(RecoveryLockPath(copy("odd", "2020-01-05"))).toStdString());
    const auto running =
        FileLock::TryTake(QFile::encodeName(RecoveryLockPath(copy("run", "2021-01-01"))),
                          FileLock::Kind::Exclusive, true);
    ASSERT_TRUE(running);
    {
        const auto held = FileLock::TryTake(QFile::encodeName(folder.Path()) + "/.",
                                            FileLock::Kind::Exclusive, false);
        ASSERT_TRUE(held);
        ::testing::internal::CaptureStderr();
        Start();
        EXPECT_NE(::testing::internal::GetCapturedStderr().find(
                      "保存されていない変更の確認をせずに起動します"),
                  std::string::npos);
        EXPECT_TRUE(view.messages.empty());
    }
    const auto offer = [](const char* memo, const char* more = "") {
        return QString("保存されていない「") + memo + "」の変更が残っています。復元しますか？" +
               more;
    };
    const QString aOffer =
        offer("a", "\n（このメモの古い変更がほかに 1 件あります。いいえで、それらも破棄します。）");
    const std::tuple<std::deque<A>, QStringList, qsizetype, QString> starts[] = {
        {{A::Cancel}, {aOffer}, 5, ""},  // put off: nothing goes
        {{A::No, A::Yes}, {aOffer, offer("b")}, 3, "b edits"},
    };
    for (const auto& [answers, offers, left, restored] : starts) {
        Start({}, answers);
        ASSERT_FALSE(view.messages.empty());
        EXPECT_TRUE(std::get<0>(view.messages.front()).contains(".lock"));  // the odd one, once
        QStringList asked;
        for (auto m = view.messages.begin() + 1; m != view.messages.end(); ++m) {
            asked << std::get<0>(*m);
        }
        EXPECT_EQ(asked, offers);
        EXPECT_EQ(view.memoText, restored);
        controller.reset();
        EXPECT_EQ(Recoveries(), left);
    }
}

// A copy that cannot be kept is said without a question, once while it stays so, and the all
// clear once a copy is kept again.
TEST_F(ControllerTest, CopiesThatCannotBeKeptAreSaidOnce) {
    Write(Memo("plan"), "plan");
    Start("plan");
    view.messages.clear();  // the unnamed memo is missing
    for (const int failure : {ENOSPC, ENOSPC, EROFS, 0, 0}) {
        failCopies = failure;
        view.SetMemoText(view.memoText + "+");
        controller->EndNow();
        QCoreApplication::processEvents();
    }
    EXPECT_EQ(view.copyTroubles,
              QStringList({"変更のコピーを保存できません: ディスクの空き容量が足りません。",
                           "変更のコピーを保存できません: 読み取り専用の場所です。", ""}));
    EXPECT_TRUE(view.messages.empty());
}

// The start reads only regular files of a folder of the user's own, no larger than the edits of
// the largest memo: a link to a pipe or a device, a file over that size (each made in the shell),
// a folder that is a link or another's are left alone, without an offer. Edits are not kept in
// such a folder, and say why; kept edits are the user's alone, whatever the umask and the folder.
TEST_F(ControllerTest, RecoveryFilesAreTheUsersAlone) {
    const auto keepEdits = [this] {
        Write(Memo("plan"), "plan");
        Start("plan");
        view.SetMemoText("edits");
        return controller->EndNow();
    };
    const std::pair<const char*, QString> cases[] = {
        {"rm memo/.recovery/* && mkfifo pipe && ln -s ../../pipe memo/.recovery/a.recovery", {}},
        {"rm memo/.recovery/* && ln -s /dev/zero memo/.recovery/a.recovery", {}},
        {"truncate -s 1T memo/.recovery/*", {}},
        {"mv memo/.recovery elsewhere && ln -s ../elsewhere memo/.recovery", text::kNoFolder},
        {"[ $(id -u) = 0 ] && chown nobody memo/.recovery", text::kNotPermitted},
    };
    const mode_t mask = umask(022);
    for (const auto& [odd, reason] : cases) {
        SCOPED_TRACE(odd);
        Shell("rm -rf memo/.recovery elsewhere pipe && mkdir -m 755 memo/.recovery");
        EXPECT_FALSE(keepEdits());
        Shell("stat -c %a memo/.recovery memo/.recovery/* >modes");
        EXPECT_EQ(Read("modes"), "700\n600\n600\n");  // the folder, the lock, the edits
        if (Shell(odd) != 0) {
            continue;  // not root
        }
        Shell("ls -lniR --time-style=+ memo elsewhere >before 2>&1");
        Start();  // an offer would be a question that no answer waits for
        Shell("ls -lniR --time-style=+ memo elsewhere >after 2>&1");
        EXPECT_EQ(Read("after"), Read("before"));
        EXPECT_EQ(keepEdits().value_or("").section(u' ', 1),
                  reason.isEmpty() ? QString() : "を保存できませんでした。" + reason);
    }
    umask(mask);
}

// Each shortcut where it is typed: the key and shift state it leaves, the memo, the selection,
// the save and whether the list is read again; with Ctrl not alone the key passes untouched. A
// line command replaces the text in steps of their own (the missing final break first) and
// scrolls the line that was on top back there; identical lines change places without an edit.
TEST_F(ControllerTest, ShortcutsNeedCtrlAlone) {
    struct Press {
        const char* name;
        bool inCombo = false;
        int code, caret;
        const char* text;  // as loaded
    };
    struct Outcome {
        const char* text;
        int caret = 0, selLength = 0, replaces = 0;
        std::vector<int> scrolls{};
        int code = 0, shift = key::kCtrlOnly;  // what the key handler leaves
        bool edited = false, saves = false, readsList = false;
    };
    struct Case {
        Press press;
        Outcome then;
    };
    const char* abc = "a\r\nb\r\nc\r\n";
    const Case cases[] = {
        {.press = {.name = "Up, second line", .code = key::kUp, .caret = 3, .text = abc},
         .then = {.text = "b\r\na\r\nc\r\n", .replaces = 1, .scrolls = {1}, .edited = true}},
        {.press = {.name = "Up, first line", .code = key::kUp, .caret = 0, .text = abc},
         .then = {.text = abc}},
        {.press = {.name = "Down, break first", .code = key::kDown, .caret = 1, .text = "a\r\nb"},
         .then = {.text = "b\r\na\r\n", .caret = 3, .replaces = 2, .scrolls = {1}, .edited = true}},
        {.press = {.name = "Down, last line", .code = key::kDown, .caret = 4, .text = "a\r\nb"},
         .then = {.text = "a\r\nb\r\n", .replaces = 1, .edited = true}},
        {.press = {.name = "Down, same", .code = key::kDown, .caret = 0, .text = "a\r\na\r\n"},
         .then = {.text = "a\r\na\r\n", .caret = 3, .replaces = 1, .scrolls = {1}}},
        {.press = {.name = "Left, no break", .code = key::kLeft, .caret = 4, .text = "a\r\nb"},
         .then = {.text = "a\r\n□ b", .caret = 3, .replaces = 1, .scrolls = {1}, .edited = true}},
        {.press = {.name = "R reads the list", .code = key::kR, .caret = 3, .text = abc},
         .then = {.text = abc, .caret = 3, .shift = 0, .readsList = true}},
        {.press = {.name = "A selects all", .code = key::kA, .caret = 3, .text = abc},
         .then = {.text = abc, .selLength = 9, .code = key::kA}},
        {.press = {.name = "N, new memo", .code = key::kN, .caret = 3, .text = abc},
         .then = {.text = "", .edited = true}},
        {.press = {.name = "combo, S", .inCombo = true, .code = key::kS, .caret = 3, .text = abc},
         .then = {.text = abc, .caret = 3, .saves = true, .readsList = true}},
        {.press = {.name = "combo, N", .inCombo = true, .code = key::kN, .caret = 3, .text = abc},
         .then = {.text = "", .edited = true}},
        {.press = {.name = "combo, R", .inCombo = true, .code = key::kR, .caret = 3, .text = abc},
         .then = {.text = abc, .caret = 3, .readsList = true}},
        {.press = {.name = "combo, Up", .inCombo = true, .code = key::kUp, .caret = 3, .text = abc},
         .then = {.text = abc, .caret = 3, .code = key::kUp}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.press.name);
        Remove(Memo(""));
        Remove(Memo("listed"));
        Start();
        const auto press = [&](int code, int shift) {
            c.press.inCombo ? controller->OnNameKey(code, shift)
                            : controller->OnTextKey(code, shift);
            return std::pair{code, shift};
        };
        view.memoText = c.press.text;  // as loaded: no edit
        view.SetSelStart(c.press.caret);
        view.firstVisibleLine = 1;
        Write(Memo("listed"), "");
        for (const int shift : {0, 1, 3, 4, 6}) {
            EXPECT_EQ(press(c.press.code, shift), (std::pair{c.press.code, shift}));
        }
        EXPECT_EQ(view.memoText, c.press.text);
        EXPECT_EQ(press(c.press.code, key::kCtrlOnly), (std::pair{c.then.code, c.then.shift}));
        EXPECT_EQ(view.memoText, c.then.text);
        EXPECT_EQ(view.selStart, c.then.caret);
        EXPECT_EQ(view.selLength, c.then.selLength);
        EXPECT_EQ(view.replaceCount, c.then.replaces);
        EXPECT_EQ(State().TextChanged, c.then.edited);
        EXPECT_EQ(view.postedScrolls, c.then.scrolls);
        EXPECT_EQ(Read(Memo("")), c.then.saves ? QByteArray(c.press.text) : "<missing>");
        EXPECT_EQ(view.comboList.contains("listed"), c.then.readsList);
    }
}

// A copy made between events of a text larger than a slice holds the text as it stands when the
// copy ends, an edit meanwhile included, and leaves the text on screen unshared: the next edit
// then copies nothing.
TEST_F(ControllerTest, TextCopiedBetweenEventsIsTheNewestAndItsOwn) {
    view.memoText = QString(u'a').repeated(1'000'000);
    std::optional<QString> copied;
    SlicedTextCopy copy([this]() -> const MemoTextView& { return view; },
                        [&](QString text) { copied = std::move(text); });
    copy.Start();
    QCoreApplication::processEvents();
    EXPECT_TRUE(copy.IsCopying());
    view.memoText[0] = u'b';
    copy.Start();  // as an edit does
    while (!copied) {
        QCoreApplication::processEvents();
    }
    EXPECT_EQ(*copied, view.memoText);
    EXPECT_TRUE(view.memoText.isDetached());
}

}  // namespace
}  // namespace markola::testing
