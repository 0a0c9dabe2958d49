#include <benchmark/benchmark.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QKeyEvent>
#include <QTemporaryDir>
#include <algorithm>

#include "storage/recovery_file.h"
#include "storage/recovery_writer.h"
#include "ui/widgets/memo_text_edit.h"

namespace markola {
namespace {

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

// Typing into a 10 MB memo while its copy is being made: a copy handed over, then keystrokes
// as the writer works, the first of which pays for the memo text that the copy still shares.
// The longest wait of a keystroke is reported; the time per iteration includes the writing.
void BM_KeystrokeDuringCopy_10MB(benchmark::State& state) {
    QTemporaryDir dir;
    const QString path = NewRecoveryPath(dir.path());
    MemoTextEdit edit;
    edit.SetMemoText(MemoOfSize(10'000'000));
    edit.SetSelStart(5'000'000);
    DiskFileStore files;
    RecoveryWriter writer(files);
    qint64 longestNs = 0;
    for (auto _ : state) {
        writer.Keep(path, {.name = QStringLiteral("plan"), .text = edit.MemoText()});
        for (int key = 0; key < 3; ++key) {
            QElapsedTimer keystroke;
            keystroke.start();
            QKeyEvent press(QEvent::KeyPress, Qt::Key_X, Qt::NoModifier, QStringLiteral("x"));
            QCoreApplication::sendEvent(&edit, &press);
            longestNs = std::max(longestNs, keystroke.nsecsElapsed());
        }
        writer.Flush();
    }
    state.counters["longest_keystroke_ms"] = static_cast<double>(longestNs) / 1e6;
}
BENCHMARK(BM_KeystrokeDuringCopy_10MB)->Unit(benchmark::kMillisecond)->Iterations(30);

}  // namespace
}  // namespace markola
