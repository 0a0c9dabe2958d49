#include <benchmark/benchmark.h>

#include <QCoreApplication>

#include "bench/bench_window.h"
#include "bench/resident_memory.h"
#include "storage/cp932.h"
#include "storage/file_store.h"
#include "ui/free_memory.h"
#include "ui/memo_store.h"

namespace markola {
namespace {

using bench::BenchFolder;
using bench::ResidentMb;
using bench::ShownWindow;

// About 10 MB of CP932: 100,000 lines of Japanese check items.
QByteArray LargeMemoBytes(char tag) {
    QString text;
    for (int line = 0; line < 100'000; ++line) {
        text += QStringLiteral(u"\u25A1 項目%1%2 牛乳と卵を買う、月曜の会議の資料を準備する。ｱｲｳｴｵ")
                    .arg(line, 6)
                    .arg(QChar::fromLatin1(tag))
                    .leftJustified(60, u'＿') +
                QStringLiteral("\r\n");
    }
    return cp932::Encode(text).bytes;
}

void BM_LoadMemo_10MB(benchmark::State& state) {
    const BenchFolder place;
    const QByteArray memos[] = {LargeMemoBytes('a'), LargeMemoBytes('b')};
    place.Write(QStringLiteral("a"), memos[0]);
    place.Write(QStringLiteral("b"), memos[1]);
    ShownWindow shown(place);
    EditorState editor;
    MemoStore store(shown.window, editor, shown.files, place.folder);
    const QString paths[] = {place.folder.MemoPath(QStringLiteral("a")),
                             place.folder.MemoPath(QStringLiteral("b"))};
    int turn = 0;
    for (auto _ : state) {
        store.LoadMemo(paths[turn ^= 1]);
        QCoreApplication::processEvents();
    }
    state.SetBytesProcessed(state.iterations() * memos[0].size());
}
BENCHMARK(BM_LoadMemo_10MB)->Unit(benchmark::kMillisecond);

// From creating the window to its first showing, with the memo list filled.
void BM_StartupShownWindow_1000Memos(benchmark::State& state) {
    const BenchFolder place;
    for (int memo = 0; memo < 1000; ++memo) {
        place.Write(QStringLiteral("メモ%1").arg(memo), "\x81\xa0 item\r\n");
    }
    for (auto _ : state) {
        const ShownWindow shown(place);
    }
}
BENCHMARK(BM_StartupShownWindow_1000Memos)->Unit(benchmark::kMillisecond);

// What opening a 10 MB memo adds to the resident memory of the running program, as a
// multiple of the file's size. The window is resized afterwards, as a user does, since
// a new width is what would lay out every line of the memo.
void BM_ResidentMemory_10MBMemo(benchmark::State& state) {
    const BenchFolder place;
    const QByteArray bytes = LargeMemoBytes('a');
    place.Write(QStringLiteral("big"), bytes);
    for (auto _ : state) {
        ShownWindow shown(place);
        // The benchmarks before this one leave free heap pages resident; a freshly started
        // program has none, so they are no part of its empty baseline.
        ReturnFreeMemoryToSystem();
        const double before = ResidentMb();
        shown.window.SetComboText(QStringLiteral("big"));
        EditorState editor;
        MemoStore(shown.window, editor, shown.files, place.folder)
            .LoadMemo(place.folder.MemoPath(QStringLiteral("big")));
        shown.window.resize(shown.window.size() + QSize(40, 40));
        QCoreApplication::processEvents();
        state.counters["rss_over_file"] =
            (ResidentMb() - before) * 1e6 / static_cast<double>(bytes.size());
    }
}
BENCHMARK(BM_ResidentMemory_10MBMemo)->Iterations(1)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace markola
