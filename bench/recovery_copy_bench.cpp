#include <benchmark/benchmark.h>

#include <unistd.h>
#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QKeyEvent>
#include <QPlainTextEdit>
#include <QTemporaryDir>
#include <algorithm>
#include <chrono>

#include "bench/resident_memory.h"
#include "storage/recovery_file.h"
#include "ui/recovery_copy.h"
#include "ui/widgets/fonts.h"
#include "ui/widgets/memo_text_edit.h"
#include "ui/widgets/memo_text_mapping.h"

namespace markola {
namespace {

using bench::ResidentMb;

QString MemoOfSize(qsizetype characters) {
    return QString(u"□ checklist item\r\n"_qs).repeated(characters / 18 + 1).left(characters);
}

// One copy as the writer makes it; its CPU time leaves out the waits for the disk's sync.
void WriteOneCopy(benchmark::State& state, qsizetype characters) {
    QTemporaryDir dir;
    const QString path = NewRecoveryPath(dir.path());
    const Recovery edits{.name = QStringLiteral("plan"), .text = MemoOfSize(characters)};
    DiskFileStore files;
    for (auto _ : state) {
        benchmark::DoNotOptimize(WriteRecoveryFile(files, path, edits));
    }
}

void BM_RecoveryCopy_1KB(benchmark::State& state) {
    WriteOneCopy(state, 1000);
}
BENCHMARK(BM_RecoveryCopy_1KB)->Unit(benchmark::kMicrosecond);

void BM_RecoveryCopy_10MB(benchmark::State& state) {
    WriteOneCopy(state, 10'000'000);
}
BENCHMARK(BM_RecoveryCopy_10MB)->Unit(benchmark::kMillisecond);

// A 10 MB memo in a shown text box at the program's font, typed into at its middle: the
// program's, whose edits a recovery copy keeps as the controller has it keep them (after a
// short pause here, to make many copies), or the toolkit's bare text box as the floor.
class TypedMemo {
public:
    TypedMemo(bool floor, std::chrono::milliseconds pause) : floor_(floor), copy_(pause, memo_) {
        const QString text = MemoOfSize(10'000'000);
        QPlainTextEdit& box = floor ? bare_ : memo_;
        if (floor) {
            bare_.setPlainText(DocumentTextFromMemo(text).text);
        } else {
            memo_.SetMemoText(text);
        }
        box.setFont(JapaneseFixedFont(12));
        box.setLineWrapMode(QPlainTextEdit::NoWrap);
        box.resize(640, 480);
        box.show();
        QTextCursor middle(box.document());
        middle.setPosition(box.document()->characterCount() / 2);
        box.setTextCursor(middle);
        QCoreApplication::processEvents();
    }
    // From the key's press to its paint.
    qint64 KeyNs() {
        QElapsedTimer key;
        key.start();
        QKeyEvent press(QEvent::KeyPress, Qt::Key_X, Qt::NoModifier, QStringLiteral("x"));
        QCoreApplication::sendEvent(floor_ ? &bare_ : static_cast<QWidget*>(&memo_), &press);
        QCoreApplication::processEvents();
        return key.nsecsElapsed();
    }
    // Typing paused: whatever the copy and the writer do meanwhile.
    static void Pause(std::chrono::milliseconds pause) {
        QElapsedTimer clock;
        clock.start();
        while (clock.elapsed() < pause.count()) {
            QCoreApplication::processEvents();
            usleep(200);
        }
    }
    QString RecoveryFile() const {
        const QFileInfoList files = QDir(dir_.path()).entryInfoList({QStringLiteral("*.recovery")});
        return files.isEmpty() ? QString() : files.front().filePath();
    }

private:
    struct Copy {
        Copy(std::chrono::milliseconds pause, MemoTextEdit& memo)
            : copy(
                  files, dir.path(), [&memo]() -> const MemoTextView& { return memo; }, {}, pause) {
            QObject::connect(&memo, &MemoTextEdit::memoChanged,
                             [this] { copy.UserEdited({.name = QStringLiteral("plan")}); });
        }
        QTemporaryDir dir;
        DiskFileStore files;
        RecoveryCopy copy;
    };
    const bool floor_;
    QPlainTextEdit bare_;
    MemoTextEdit memo_;
    Copy copy_;
    const QTemporaryDir& dir_ = copy_.dir;
};

constexpr std::chrono::milliseconds kShortPause(30);

// The last key of a burst, a pause that brings a copy, and the next burst at a fast typist's
// pace, its first key from just as the copy begins to later, while the writer writes. The
// longest key of all is reported; the floor is typed into just so, with no copy.
void KeysDuringCopies(benchmark::State& state, bool floor) {
    TypedMemo memo(floor, kShortPause);
    qint64 longestNs = 0;
    int burst = 0;
    for (auto _ : state) {
        memo.KeyNs();
        TypedMemo::Pause(kShortPause + std::chrono::milliseconds(burst++ % 8 * 3));
        for (int key = 0; key < 8; ++key) {
            longestNs = std::max(longestNs, memo.KeyNs());
            TypedMemo::Pause(std::chrono::milliseconds(3));
        }
    }
    state.counters["longest_key_ms"] = static_cast<double>(longestNs) / 1e6;
}
void BM_KeyDuringCopy_10MB(benchmark::State& state) {
    KeysDuringCopies(state, false);
}
BENCHMARK(BM_KeyDuringCopy_10MB)->Iterations(40)->Unit(benchmark::kMillisecond);

void BM_KeyDuringCopyFloor_10MB(benchmark::State& state) {
    KeysDuringCopies(state, true);
}
BENCHMARK(BM_KeyDuringCopyFloor_10MB)->Iterations(40)->Unit(benchmark::kMillisecond);

// The resident memory after 100 copies of a 10 MB memo, each after a key and a pause, beyond what
// it was after the first: what the copies keep that they should have let go of.
void BM_MemoryOverCopies_10MB(benchmark::State& state) {
    TypedMemo memo(false, kShortPause);
    const auto copyAfterAKey = [&memo] {
        const qint64 before = QFileInfo(memo.RecoveryFile()).size();
        memo.KeyNs();
        while (QFileInfo(memo.RecoveryFile()).size() == before) {
            TypedMemo::Pause(std::chrono::milliseconds(1));
        }
    };
    // The file is there before the writer has let go of the copy's text and synced the folder.
    const auto residentMbOnceWritten = [] {
        TypedMemo::Pause(std::chrono::milliseconds(200));
        return ResidentMb();
    };
    for (auto _ : state) {
        copyAfterAKey();
        const double first = residentMbOnceWritten();
        for (int copy = 1; copy < 100; ++copy) {
            copyAfterAKey();
        }
        state.counters["rss_growth_mb"] = residentMbOnceWritten() - first;
    }
}
BENCHMARK(BM_MemoryOverCopies_10MB)->Iterations(1)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace markola
