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

}  // namespace
}  // namespace markola
