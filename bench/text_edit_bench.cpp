#include <benchmark/benchmark.h>

#include <QCoreApplication>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QStringList>
#include <QTextCursor>

#include "ui/line_commands.h"
#include "ui/widgets/memo_text_edit.h"

namespace markola {
namespace {

constexpr int kLines = 100'000;

// lineCount numbered check items, each padded to width characters, ending with CR LF.
QString Memo(int lineCount, int width, const QString& tag = {}) {
    QStringList lines;
    lines.reserve(lineCount);
    for (int line = 0; line < lineCount; ++line) {
        lines << QStringLiteral(u"\u25A1 item %1 %2").arg(line).arg(tag).leftJustified(width, u'.');
    }
    return lines.join("\r\n") + "\r\n";
}

// About 3 MB: the large memo of the line commands.
QString LargeMemo() {
    return Memo(kLines, 28);
}

QString SwapLines(const QString& memo, int first) {
    QStringList lines = memo.split("\r\n");
    lines.swapItemsAt(first, first + 1);
    return lines.join("\r\n");
}

// 10 MB in 100,000 lines of 100 characters.
void BM_SetMemoText_10MB(benchmark::State& state) {
    const QString texts[] = {Memo(kLines, 98, "a"), Memo(kLines, 98, "b")};
    MemoTextEdit edit;
    edit.resize(600, 400);
    edit.show();
    int turn = 0;
    for (auto _ : state) {
        edit.SetMemoText(texts[turn ^= 1]);
    }
    state.SetBytesProcessed(state.iterations() * texts[0].size() * 2);
}
BENCHMARK(BM_SetMemoText_10MB)->Unit(benchmark::kMillisecond);

// One keystroke in the middle of a large memo and the memo text read after it, as the
// change handler and every line command do.
void BM_TypeAndReadMemo_100kLines(benchmark::State& state) {
    MemoTextEdit edit;
    edit.SetMemoText(LargeMemo());
    QTextCursor cursor(edit.document());
    cursor.setPosition(edit.document()->characterCount() / 2);
    bool insert = true;
    for (auto _ : state) {
        if (insert) {
            cursor.insertText("x");
        } else {
            cursor.deletePreviousChar();
        }
        insert = !insert;
        benchmark::DoNotOptimize(edit.MemoText().size());
    }
}
BENCHMARK(BM_TypeAndReadMemo_100kLines)->Unit(benchmark::kMicrosecond);

void BM_ReplaceMemoText_100kLines(benchmark::State& state) {
    const QString memo = LargeMemo();
    const QString texts[] = {memo, SwapLines(memo, kLines / 2)};
    MemoTextEdit edit;
    edit.SetMemoText(memo);
    int turn = 0;
    for (auto _ : state) {
        edit.ReplaceMemoText(texts[turn ^= 1]);
    }
}
BENCHMARK(BM_ReplaceMemoText_100kLines)->Unit(benchmark::kMicrosecond);

// A shown text box holding the memo, the caret in its middle.
void ShowWithCaretInTheMiddle(MemoTextEdit& edit, const QString& memo) {
    edit.resize(600, 400);
    edit.show();
    edit.SetMemoText(memo);
    edit.SetSelStart(static_cast<int>(edit.MemoText().size() / 2));
}

// Keystrokes at the middle of a 10 MB memo in a shown text box, two to an iteration: a
// typed character and its Backspace, or a composition shown and given up.
template <typename Keystrokes>
void TypeIntoLargeMemo(benchmark::State& state, Keystrokes keystrokes) {
    MemoTextEdit edit;
    ShowWithCaretInTheMiddle(edit, Memo(kLines, 98));
    for (auto _ : state) {
        keystrokes(edit);
    }
}

void BM_TypedCharacter_10MB(benchmark::State& state) {
    TypeIntoLargeMemo(state, [](MemoTextEdit& edit) {
        for (const auto& [key, text] : {std::pair{Qt::Key_X, "x"}, {Qt::Key_Backspace, ""}}) {
            QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier, QString::fromLatin1(text));
            QCoreApplication::sendEvent(&edit, &press);
        }
    });
}
BENCHMARK(BM_TypedCharacter_10MB)->Unit(benchmark::kMicrosecond);

void BM_CompositionKeystroke_10MB(benchmark::State& state) {
    TypeIntoLargeMemo(state, [](MemoTextEdit& edit) {
        for (const QString& preedit : {QStringLiteral(u"す"), QString()}) {
            QInputMethodEvent composing(preedit, {});
            QCoreApplication::sendEvent(&edit, &composing);
        }
    });
}
BENCHMARK(BM_CompositionKeystroke_10MB)->Unit(benchmark::kMicrosecond);

// A whole line-command event on a large memo in a shown text box, caret in the middle,
// the queued scroll back included.
template <typename LineCommand>
void RunOnLargeMemo(benchmark::State& state, LineCommand command) {
    MemoTextEdit edit;
    ShowWithCaretInTheMiddle(edit, LargeMemo());
    const int middle = edit.SelStart();
    for (auto _ : state) {
        edit.SetSelStart(middle);
        command(edit);
        QCoreApplication::processEvents();
    }
}

void BM_MoveLineDown_100kLines(benchmark::State& state) {
    RunOnLargeMemo(state, MoveCaretLineDown);
}
BENCHMARK(BM_MoveLineDown_100kLines)->Unit(benchmark::kMicrosecond);

void BM_ToggleCheck_100kLines(benchmark::State& state) {
    RunOnLargeMemo(state, ToggleCaretLineCheck);
}
BENCHMARK(BM_ToggleCheck_100kLines)->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace markola
