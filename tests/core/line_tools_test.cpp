#include "core/line_tools.h"

#include <gtest/gtest.h>

#include <optional>
#include <span>
#include <tuple>

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

// Each line command by example: text and caret before, and after (none: no line to swap with).
struct LineExample {
    const char* name;
    MemoStringView text;
    std::int32_t caret;
    std::optional<LineEdit> after;
};
constexpr MemoStringView kAbc = u"a\r\nb\r\nc\r\n";

template <typename Command>
void ExpectExamples(Command command, std::span<const LineExample> examples) {
    for (const LineExample& e : examples) {
        SCOPED_TRACE(e.name);
        EXPECT_EQ(std::optional(command(e.text, e.caret)), e.after);
    }
}

TEST(LineCommandsTest, MoveLineDownSwapsTheCaretLineWithTheOneBelow) {
    const LineExample examples[] = {
        {.name = "first line", .text = kAbc, .caret = 0, .after = {{u"b\r\na\r\nc\r\n", 3}}},
        {.name = "middle line", .text = kAbc, .caret = 4, .after = {{u"a\r\nc\r\nb\r\n", 6}}},
        {.name = "between CR and LF", .text = kAbc, .caret = 2, .after = {{u"b\r\na\r\nc\r\n", 3}}},
        {.name = "last line", .text = kAbc, .caret = 7, .after = {}},
        {.name = "same lines", .text = u"a\r\na\r\n", .caret = 0, .after = {{u"a\r\na\r\n", 3}}},
        {.name = "LF", .text = u"\nab\r\ncd\r\n", .caret = 2, .after = {{u"cd\r\n\nab\r\n", 4}}},
    };
    ExpectExamples(MoveLineDown, examples);
}

TEST(LineCommandsTest, MoveLineUpSwapsTheCaretLineWithTheOneAbove) {
    const LineExample examples[] = {
        {.name = "first line", .text = kAbc, .caret = 1, .after = {}},
        {.name = "second line", .text = kAbc, .caret = 3, .after = {{u"b\r\na\r\nc\r\n", 0}}},
        {.name = "last line", .text = kAbc, .caret = 7, .after = {{u"a\r\nc\r\nb\r\n", 3}}},
        {.name = "between CR and LF", .text = kAbc, .caret = 5, .after = {{u"b\r\na\r\nc\r\n", 0}}},
        {.name = "after the end", .text = kAbc, .caret = 9, .after = {}},
        {.name = "an empty line", .text = u"a\r\n\r\n", .caret = 3, .after = {{u"\r\na\r\n", 0}}},
    };
    ExpectExamples(MoveLineUp, examples);
}

// Plain -> "□ " -> "■ " -> "□ ": only the exact two characters at the line's start count.
TEST(LineCommandsTest, ToggleCheckCyclesThePrefixOfTheCaretLine) {
    const LineExample examples[] = {
        {.name = "plain line", .text = u"task", .caret = 2, .after = {{u"□ task", 0}}},
        {.name = "unchecked", .text = u"□ task", .caret = 6, .after = {{u"■ task", 0}}},
        {.name = "checked", .text = u"x\r\n■ y", .caret = 5, .after = {{u"x\r\n□ y", 3}}},
        {.name = "empty memo", .text = u"", .caret = 0, .after = {{u"□ ", 0}}},
        {.name = "after the end", .text = u"a\r\n", .caret = 3, .after = {{u"a\r\n□ ", 3}}},
        {.name = "empty line", .text = u"a\r\n\r\nb", .caret = 3, .after = {{u"a\r\n□ \r\nb", 3}}},
        {.name = "no space", .text = u"□x", .caret = 0, .after = {{u"□ □x", 0}}},
        {.name = "after a blank", .text = u" □ a", .caret = 0, .after = {{u"□  □ a", 0}}},
        {.name = "lone LF", .text = u"\nab", .caret = 2, .after = {{u"□ \nab", 0}}},
    };
    ExpectExamples(ToggleCheck, examples);
}

}  // namespace
}  // namespace markola
