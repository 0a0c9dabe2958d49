#include "storage/cp932.h"

#include <benchmark/benchmark.h>

#include <iterator>

namespace markola::cp932 {
namespace {

constexpr qsizetype kMemoBytes = 10 * 1024 * 1024;

// A long checklist memo as people write them: kanji, kana, half-width katakana, ASCII
// and full-width digits, lines ending in CR LF.
QString japaneseMemo() {
    const QString lines[] = {u"■ 牛乳と卵を買う (スーパー、2本)\r\n"_qs,
                             u"□ 会議資料を印刷する 10:30まで\r\n"_qs,
                             u"□ ﾒｰﾙの返信: project-plan.txt を送付\r\n"_qs, u"\r\n"_qs,
                             u"【メモ】来週の予定は第３会議室で確認すること。\r\n"_qs};
    QString memo;
    memo.reserve(kMemoBytes);
    for (qsizetype i = 0, bytes = 0; bytes < kMemoBytes; ++i) {
        const QString& line = lines[i % std::size(lines)];
        memo += line;
        bytes += Encode(line).bytes.size();
    }
    return memo;
}

const QString& memoText() {
    static const QString kText = japaneseMemo();
    return kText;
}

void BM_Cp932Decode_10MB(benchmark::State& state) {
    const QByteArray bytes = Encode(memoText()).bytes;
    for (auto _ : state) {
        benchmark::DoNotOptimize(Decode(bytes));
    }
    state.SetBytesProcessed(state.iterations() * bytes.size());
}
BENCHMARK(BM_Cp932Decode_10MB)->Unit(benchmark::kMillisecond);

void BM_Cp932Encode_10MB(benchmark::State& state) {
    const QString& text = memoText();
    qsizetype size = 0;
    for (auto _ : state) {
        const Encoded encoded = Encode(text);
        size = encoded.bytes.size();
        benchmark::DoNotOptimize(encoded.bytes.data());
    }
    state.SetBytesProcessed(state.iterations() * size);
}
BENCHMARK(BM_Cp932Encode_10MB)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace markola::cp932
