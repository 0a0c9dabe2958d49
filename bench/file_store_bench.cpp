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

// The whole save as the user waits for it: write, flush to disk, rename, folder sync.
void BM_SaveMemo_10MB(benchmark::State& state) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("memo.txt"));
    const QByteArray line("\x81\xa0 \x83\x81\x83\x82 checklist item\r\n");
    const QByteArray memo = line.repeated(10'000'000 / line.size());
    DiskFileStore store;
    for (auto _ : state) {
        benchmark::DoNotOptimize(store.WriteAll(path, memo));
    }
}
BENCHMARK(BM_SaveMemo_10MB)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace
}  // namespace markola
