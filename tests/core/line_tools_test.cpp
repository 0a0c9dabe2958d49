#include "core/line_tools.h"

#include <gtest/gtest.h>

#include <tuple>

// The line commands themselves are checked against a model of whole lines, over the corpus
// that the replay of line_commands_fuzz reads.
namespace markola {
namespace {

constexpr auto kBin = CompareMode::Binary;
constexpr auto kTxt = CompareMode::Text;

TEST(RevInStrTest, FindsTheLastOccurrenceEndingAtStart) {
    using Case = std::tuple<MemoStringView, MemoStringView, std::int32_t, CompareMode, std::int32_t,
                            std::int32_t>;
    for (auto [text, delimiter, start, mode, found, startAfter] : {
             Case{u"", u"\r\n", 5, kBin, 0, 5}, Case{u"abc", u"", 0, kBin, 0, 0},
             Case{u"a\r\nb", u"\r\n", 0, kBin, 2, 4}, Case{u"a\r\n", u"\r\n", 10, kBin, 2, 10},
             Case{u"aXbx", u"X", 4, kBin, 2, 4}, Case{u"aXbx", u"X", 4, kTxt, 4, 4},
             Case{u"AbcaBC", u"abc", 0, kTxt, 4, 6},
             Case{u"\uFF21\uFF42", u"\uFF41", 0, kTxt, 1, 2},  // full-width Latin
             Case{u"\u00D7\u00F7", u"\u00D7", 0, kTxt, 1, 2},  // signs, not letters
         }) {
        const std::int32_t given = start;
        EXPECT_EQ(RevInStr(text, delimiter, start, mode), found) << given;
        EXPECT_EQ(start, startAfter) << given;
    }
}

}  // namespace
}  // namespace markola
