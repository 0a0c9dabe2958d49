#include "core/line_tools.h"

#include <gtest/gtest.h>

#include <array>
#include <random>

#include "tests/core/line_model.h"

namespace markola {
namespace {

constexpr auto kBin = CompareMode::Binary;
constexpr auto kTxt = CompareMode::Text;

TEST(RevInStrTest, FindsTheLastOccurrenceEndingAtStart) {
    struct Case {
        MemoStringView text, delimiter;
        std::int32_t start;
        CompareMode mode;
        std::int32_t found, startAfter;
    };
    for (const Case& c : {
             Case{u"", u"\r\n", 5, kBin, 0, 5},
             Case{u"abc", u"", 0, kBin, 0, 0},
             Case{u"a\r\nb", u"\r\n", 0, kBin, 2, 4},
             Case{u"a\r\nb", u"\r\n", -7, kBin, 2, 4},
             Case{u"a\r\n", u"\r\n", 10, kBin, 2, 10},
             Case{u"aXbx", u"X", 4, kBin, 2, 4},
             Case{u"aXbx", u"X", 4, kTxt, 4, 4},
             Case{u"AbcaBC", u"abc", 0, kTxt, 4, 6},
             Case{u"\uFF21\uFF42", u"\uFF41", 0, kTxt, 1, 2},  // full-width Latin
             Case{u"\u00D7\u00F7", u"\u00D7", 0, kTxt, 1, 2},  // signs, not letters
             Case{u"a\U0001F600\r\n", u"\r\n", INT32_MAX, kBin, 4, INT32_MAX},
         }) {
        std::int32_t start = c.start;
        EXPECT_EQ(RevInStr(c.text, c.delimiter, start, c.mode), c.found) << c.start;
        EXPECT_EQ(start, c.startAfter);
    }
}

// Random short texts over the units that matter to the line rules (lone CR and LF, a
// surrogate pair, both prefixes and a square without its space), with and without the
// final break the glue adds, against the whole-lines model; carets off both ends too.
TEST(LineCommandsTest, MovesAndTogglesFollowTheWholeLinesModel) {
    constexpr std::array<MemoStringView, 9> pieces{
        u"\r\n", u"\r\n", u"\r", u"\n", u"a", u"\U0001F600", u"\u25A1 ", u"\u25A0 ", u"\u25A1"};
    std::mt19937 random(20240611);
    for (int round = 0; round < 3000 && !::testing::Test::HasFailure(); ++round) {
        MemoString text;
        for (int count = std::uniform_int_distribution(0, 12)(random); count > 0; --count) {
            text +=
                pieces[std::uniform_int_distribution<std::size_t>(0, pieces.size() - 1)(random)];
        }
        if (round % 2 == 0) {
            text = EnsureFinalBreak(text);
        }
        const auto caret =
            std::uniform_int_distribution<std::int32_t>(-2, std::ssize(text) + 2)(random);
        SCOPED_TRACE(::testing::PrintToString(text) + " caret " + std::to_string(caret));
        const testing::ExpectedEdits expected = testing::ExpectEdits(text, caret);
        EXPECT_EQ(MoveLineDown(text, caret), expected.down);
        EXPECT_EQ(MoveLineUp(text, caret), expected.up);
        EXPECT_EQ(ToggleCheck(text, caret), expected.toggle);
    }
}

TEST(EnsureFinalBreakTest, AddsCrLfUnlessTheTextEndsWithOne) {
    EXPECT_EQ(EnsureFinalBreak(u""), u"\r\n");
    EXPECT_EQ(EnsureFinalBreak(u"\n"), u"\n\r\n");
    EXPECT_EQ(EnsureFinalBreak(u"a\r"), u"a\r\r\n");
    EXPECT_EQ(EnsureFinalBreak(u"a\r\n"), u"a\r\n");
}

}  // namespace
}  // namespace markola
