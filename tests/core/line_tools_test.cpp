#include "core/line_tools.h"

#include <gtest/gtest.h>

#include <array>

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
             Case{u"a\r\nb", u"\r\n", 2, kBin, 0, 2},
             Case{u"a\r\nb", u"\r\n", 3, kBin, 2, 3},
             Case{u"x\r\n\r\ny", u"\r\n", 5, kBin, 4, 5},
             Case{u"a\r\n", u"\r\n", 10, kBin, 2, 10},
             Case{u"\nab", u"\r\n", 3, kBin, 0, 3},
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

TEST(CaretLineRulesTest, BreaksAroundTheCaretLine) {
    // Next break searched from S + 1 and from S: they differ between CR and LF (S = 4).
    const std::array<std::array<std::int32_t, 4>, 6> cases{
        {{0, -1, 4, 4}, {1, -1, 4, 4}, {3, -1, 4, 4}, {4, -1, 9, 4}, {5, 4, 9, 9}, {10, 9, 0, 0}}};
    for (const auto& [caret, previous, nextFromAfter, nextFromBefore] : cases) {
        EXPECT_EQ(PreviousBreak(u"one\r\ntwo\r\n", caret), previous) << caret;
        EXPECT_EQ(FindBreak(u"one\r\ntwo\r\n", caret + 1), nextFromAfter) << caret;
        EXPECT_EQ(FindBreak(u"one\r\ntwo\r\n", caret), nextFromBefore) << caret;
    }
    EXPECT_EQ(PreviousBreak(u"a\rb\nc\r\nd", 5), -1);  // lone CR and LF are no breaks
    EXPECT_EQ(FindBreak(u"a\rb\nc\r\nd", 1), 6);
}

enum class Move { Down, Up };
struct MoveCase {
    Move move;
    MemoStringView text;
    std::int32_t caret;
    MemoStringView newText;  // empty: the move gives nothing
    std::int32_t newCaret;
};

TEST(MoveLineTest, SwapsTheCaretLineWithItsNeighbour) {
    constexpr MemoStringView abc = u"a\r\nb\r\nc\r\n", bac = u"b\r\na\r\nc\r\n",
                             acb = u"a\r\nc\r\nb\r\n";
    for (const MoveCase& c : {
             MoveCase{Move::Down, abc, 0, bac, 3},
             {Move::Down, abc, 1, bac, 3},
             {Move::Down, abc, 4, acb, 6},
             {Move::Down, abc, 6, u"", 0},
             {Move::Down, abc, 7, u"", 0},
             {Move::Down, abc, 9, u"", 0},
             {Move::Up, abc, 0, u"", 0},
             {Move::Up, abc, 1, u"", 0},
             {Move::Up, abc, 3, bac, 0},
             {Move::Up, abc, 7, acb, 3},
             {Move::Up, abc, 9, u"", 0},
             // A caret between CR and LF stays on the line that CR ends.
             {Move::Down, abc, 5, acb, 6},
             {Move::Down, abc, 2, bac, 3},
             {Move::Up, abc, 5, bac, 0},
             {Move::Up, abc, 2, u"", 0},
             {Move::Down, u"a\r\na\r\n", 0, u"a\r\na\r\n", 3},
             {Move::Down, u"\nab\r\ncd\r\n", 2, u"cd\r\n\nab\r\n", 4},
             {Move::Up, u"x\ry\r\n\n\r\n", 6, u"\n\r\nx\ry\r\n", 0},
             {Move::Up, u"\U0001F600\r\nb\r\n", 5, u"b\r\n\U0001F600\r\n", 0},
             {Move::Down, u"\r\n", 0, u"", 0},
             {Move::Up, u"", 0, u"", 0},
             {Move::Down, abc, -4, bac, 3},
             {Move::Up, abc, 99, u"", 0},  // clamped caret
         }) {
        const auto edit = (c.move == Move::Down ? MoveLineDown : MoveLineUp)(c.text, c.caret);
        EXPECT_EQ(edit.value_or(LineEdit{}), (LineEdit{MemoString(c.newText), c.newCaret}))
            << static_cast<int>(c.move) << " caret " << c.caret << " on "
            << ::testing::PrintToString(MemoString(c.text));
    }
}

TEST(ToggleCheckTest, InsertsOrCyclesThePrefixOfTheCaretLine) {
    struct Case {
        MemoStringView text;
        std::int32_t caret;
        MemoStringView newText;
        std::int32_t newCaret;
    };
    for (const Case& c : {
             Case{u"task", 2, u"\u25A1 task", 0},
             {u"\u25A1 task", 3, u"\u25A0 task", 0},
             {u"\u25A0 task", 0, u"\u25A1 task", 0},
             {u"x\r\n\u25A0 y", 5, u"x\r\n\u25A1 y", 3},
             {u"", 0, u"\u25A1 ", 0},
             {u"a\r\n", 3, u"a\r\n\u25A1 ", 3},
             {u"\u25A1x", 1, u"\u25A1 \u25A1x", 0},
             {u" \u25A1 a", 1, u"\u25A1  \u25A1 a", 0},
             {u"\u25A1", 1, u"\u25A1 \u25A1", 0},
             {u"\nab", 2, u"\u25A1 \nab", 0},
             {u"a\r\nb", 2, u"\u25A1 a\r\nb", 0},
             {u"a\r\nb", 40, u"a\r\n\u25A1 b", 3},
         }) {
        EXPECT_EQ(ToggleCheck(c.text, c.caret), (LineEdit{MemoString(c.newText), c.newCaret}))
            << ::testing::PrintToString(MemoString(c.text));
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
