#include <benchmark/benchmark.h>

#include "core/line_tools.h"

namespace markola {
namespace {

constexpr int kLines = 100'000;

// About 3 MB of memo text: 100,000 numbered check items ending with CR LF.
const MemoString& LargeMemo() {
    static const MemoString memo = [] {
        MemoString text;
        for (int line = 0; line < kLines; ++line) {
            const std::string number = std::to_string(line);
            text += kUncheckedPrefix;
            text += u"item ";
            text.append(number.begin(), number.end());
            text += u"\r\n";
        }
        return text;
    }();
    return memo;
}

std::int32_t MiddleCaret(const MemoString& memo) {
    return static_cast<std::int32_t>(memo.size() / 2);
}

void BM_MoveLineDown_Pure_100kLines(benchmark::State& state) {
    const MemoString& memo = LargeMemo();
    for (auto _ : state) {
        benchmark::DoNotOptimize(MoveLineDown(memo, MiddleCaret(memo)));
    }
}
BENCHMARK(BM_MoveLineDown_Pure_100kLines)->Unit(benchmark::kMicrosecond);

void BM_MoveLineUp_Pure_100kLines(benchmark::State& state) {
    const MemoString& memo = LargeMemo();
    for (auto _ : state) {
        benchmark::DoNotOptimize(MoveLineUp(memo, MiddleCaret(memo)));
    }
}
BENCHMARK(BM_MoveLineUp_Pure_100kLines)->Unit(benchmark::kMicrosecond);

void BM_ToggleCheck_Pure_100kLines(benchmark::State& state) {
    const MemoString& memo = LargeMemo();
    for (auto _ : state) {
        benchmark::DoNotOptimize(ToggleCheck(memo, MiddleCaret(memo)));
    }
}
BENCHMARK(BM_ToggleCheck_Pure_100kLines)->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace markola
