#include <benchmark/benchmark.h>

#include <QFile>
#include <QString>
#include <QTemporaryDir>

#include "storage/file_store.h"

namespace markola {
namespace {

constexpr int kMemoCount = 10'000;

// Filled once and shared by every run: creating the files is not what is measured.
struct TenThousandMemos {
    TenThousandMemos() {
        for (int i = 0; i < kMemoCount; ++i) {
            QFile(dir.filePath(QStringLiteral("Memo %1.txt").arg(i))).open(QIODevice::WriteOnly);
        }
    }
    QTemporaryDir dir;
};

void BM_ListMemos_10000(benchmark::State& state) {
    static const TenThousandMemos memos;
    const QString folder = memos.dir.path();
    DiskFileStore store;
    for (auto _ : state) {
        benchmark::DoNotOptimize(store.ListMemoNames(folder));
    }
}
BENCHMARK(BM_ListMemos_10000)->Unit(benchmark::kMillisecond);

QByteArray TenMegabyteMemo() {
    const QByteArray line("\x81\xa0 \x83\x81\x83\x82 checklist item\r\n");
    return line.repeated(10'000'000 / line.size());
}

// The whole save as the user waits for it: write, flush to disk, rename, folder sync.
void BM_SaveMemo_10MB(benchmark::State& state) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("memo.txt"));
    const QByteArray memo = TenMegabyteMemo();
    DiskFileStore store;
    for (auto _ : state) {
        benchmark::DoNotOptimize(store.WriteAll(path, memo));
    }
}
BENCHMARK(BM_SaveMemo_10MB)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_DigestOf_10MB(benchmark::State& state) {
    const QByteArray memo = TenMegabyteMemo();
    for (auto _ : state) {
        benchmark::DoNotOptimize(DigestOf(memo));
    }
}
BENCHMARK(BM_DigestOf_10MB)->Unit(benchmark::kMillisecond);

// What a save adds to tell another program's change: the file read back and hashed before the
// write, and the bytes written hashed after it.
void BM_ChangedOnDiskCheck_10MB(benchmark::State& state) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("memo.txt"));
    const QByteArray memo = TenMegabyteMemo();
    DiskFileStore store;
    store.WriteAll(path, memo);
    for (auto _ : state) {
        benchmark::DoNotOptimize(DigestOf(*store.ReadAll(path)) == DigestOf(memo));
    }
}
BENCHMARK(BM_ChangedOnDiskCheck_10MB)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace markola
