#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace markola {

// Memo text in the units the text box counts (UTF-16). Lines end with CR LF; a lone
// CR or LF is an ordinary character of its line. String positions are 1-based
// (0: not found); the caret is 0-based, the number of units in front of it.
using MemoString = std::u16string;
using MemoStringView = std::u16string_view;

inline constexpr MemoStringView kLineBreak = u"\r\n";
inline constexpr MemoStringView kUncheckedPrefix = u"\u25A1 ";
inline constexpr MemoStringView kCheckedPrefix = u"\u25A0 ";

enum class CompareMode : std::int16_t { Binary = 0, Text = 1 };

// Position of the last occurrence of delimiter whose last character lies at or before
// start; 0 when there is none. A start of 0 or less searches from the end and writes
// the text's length back into start.
std::int32_t RevInStr(MemoStringView text, MemoStringView delimiter, std::int32_t& start,
                      CompareMode compareMode);

// Position of the first CR LF whose CR is at or after start (1-based); 0 when none.
std::int32_t FindBreak(MemoStringView text, std::int32_t start);

// The break in front of the caret line: the CR of the last CR LF wholly before the
// caret, or -1 when the caret line is the first line.
std::int32_t PreviousBreak(MemoStringView text, std::int32_t caret);

// The result of a line command: the new whole text and the caret at the start of the
// line the command worked on.
struct LineEdit {
    MemoString text;
    std::int32_t caret = 0;
    friend bool operator==(const LineEdit&, const LineEdit&) = default;
};

MemoString EnsureFinalBreak(MemoStringView text);

// Both moves expect a text that ends with CR LF (see EnsureFinalBreak); they give
// nothing when there is no line to change places with.
std::optional<LineEdit> MoveLineDown(MemoStringView text, std::int32_t caret);
std::optional<LineEdit> MoveLineUp(MemoStringView text, std::int32_t caret);

// Plain line -> "□ " inserted; "□ " -> "■ "; "■ " -> "□ ".
LineEdit ToggleCheck(MemoStringView text, std::int32_t caret);

// The scroll, in lines, that brings the line that was on top (top0) back to the top
// after the view moved to top1; 0 means nothing is to be queued.
constexpr std::int32_t KeepTopLineScroll(std::int32_t top0, std::int32_t top1) {
    return top0 - top1;
}

}  // namespace markola
