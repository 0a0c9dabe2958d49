#include <benchmark/benchmark.h>
#include <QApplication>

#include "ui/free_memory.h"

// Widget benchmarks need an application; the offscreen platform keeps them headless. The heap
// is the program's.
int main(int argc, char** argv) {
    markola::KeepLargeBuffersOffTheHeap();
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) {
        return 1;
    }
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
