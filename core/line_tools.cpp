#include "core/line_tools.h"

#include <algorithm>
#include <array>
#include <initializer_list>

namespace markola {
namespace {

// An upper-case block whose lower-case letters lie a fixed distance above it; gap is a
// code inside the block that is no letter (0 when there is none).
struct CaseBlock {
    char16_t first;
    char16_t last;
    char16_t gap;
    char16_t toLower;
};

// The blocks of one-to-one case pairs that a memo is likely to hold: ASCII, Latin-1,
// Greek, Cyrillic and the full-width Latin letters of Japanese text.
constexpr std::array<CaseBlock, 6> kCaseBlocks{{
    {u'A', u'Z', 0, 0x20},
    {u'\u00C0', u'\u00DE', u'\u00D7', 0x20},
    {u'\u0391', u'\u03A9', u'\u03A2', 0x20},
    {u'\u0400', u'\u040F', 0, 0x50},
    {u'\u0410', u'\u042F', 0, 0x20},
    {u'\uFF21', u'\uFF3A', 0, 0x20},
}};

char16_t FoldCase(char16_t unit) {
    for (const CaseBlock& block : kCaseBlocks) {
        if (unit >= block.first && unit <= block.last && unit != block.gap) {
            return static_cast<char16_t>(unit + block.toLower);
        }
    }
    return unit;
}

bool SameUnit(char16_t a, char16_t b, CompareMode mode) {
    return a == b || (mode == CompareMode::Text && FoldCase(a) == FoldCase(b));
}

bool SameText(MemoStringView a, MemoStringView b, CompareMode mode) {
    return std::equal(a.begin(), a.end(), b.begin(), b.end(),
                      [mode](char16_t x, char16_t y) { return SameUnit(x, y, mode); });
}

std::int32_t Length(MemoStringView text) {
    return static_cast<std::int32_t>(text.size());
}

std::int32_t ClampCaret(MemoStringView text, std::int32_t caret) {
    return std::min(caret, Length(text));
}

MemoString Concat(std::initializer_list<MemoStringView> parts) {
    std::size_t total = 0;
    for (const MemoStringView part : parts) {
        total += part.size();
    }
    MemoString joined;
    joined.reserve(total);
    for (const MemoStringView part : parts) {
        joined.append(part);
    }
    return joined;
}

// The text with the units [first, middle) and [middle, last) changed places.
MemoString SwapRanges(MemoStringView text, std::int32_t first, std::int32_t middle,
                      std::int32_t last) {
    MemoString swapped(text);
    std::rotate(swapped.begin() + first, swapped.begin() + middle, swapped.begin() + last);
    return swapped;
}

// Start offset of the caret line and the offset just past its own CR LF, or nothing
// when no CR LF ends it. The search for the ending break begins at the unit in front
// of the caret, so a caret between CR and LF stays on the line that this CR ends, for
// moves in either direction.
struct CaretLine {
    std::int32_t start;
    std::int32_t end;
};

std::optional<CaretLine> FindCaretLine(MemoStringView text, std::int32_t caret) {
    const std::int32_t ending = FindBreak(text, caret);
    if (ending == 0) {
        return std::nullopt;
    }
    return CaretLine{PreviousBreak(text, caret) + 1, ending + 1};
}

}  // namespace

std::int32_t RevInStr(MemoStringView text, MemoStringView delimiter, std::int32_t& start,
                      CompareMode compareMode) {
    if (text.empty() || delimiter.empty()) {
        return 0;
    }
    if (start <= 0) {
        start = Length(text);
    }
    const std::int32_t width = Length(delimiter);
    // Positions past the end never match, so the scan begins at the last unit at most.
    for (std::int32_t last = std::min(start, Length(text)); last >= width; --last) {
        if (!SameUnit(text[last - 1], delimiter.back(), compareMode)) {
            continue;
        }
        const std::int32_t first = last - width + 1;
        if (SameText(text.substr(first - 1, width), delimiter, compareMode)) {
            return first;
        }
    }
    return 0;
}

std::int32_t FindBreak(MemoStringView text, std::int32_t start) {
    const auto from = static_cast<std::size_t>(std::max(start, 1) - 1);
    if (from >= text.size()) {
        return 0;
    }
    const std::size_t found = text.find(kLineBreak, from);
    return found == MemoStringView::npos ? 0 : static_cast<std::int32_t>(found) + 1;
}

std::int32_t PreviousBreak(MemoStringView text, std::int32_t caret) {
    if (caret <= 0) {
        return -1;
    }
    std::int32_t from = caret;
    const std::int32_t found = RevInStr(text, kLineBreak, from, CompareMode::Binary);
    return found == 0 ? -1 : found;
}

MemoString EnsureFinalBreak(MemoStringView text) {
    if (text.ends_with(kLineBreak)) {
        return MemoString(text);
    }
    return Concat({text, kLineBreak});
}

std::optional<LineEdit> MoveLineDown(MemoStringView text, std::int32_t caret) {
    const auto line = FindCaretLine(text, ClampCaret(text, caret));
    if (!line) {
        return std::nullopt;
    }
    const std::int32_t belowBreak = FindBreak(text, line->end);
    if (belowBreak == 0) {
        return std::nullopt;
    }
    const std::int32_t belowEnd = belowBreak + 1;
    return LineEdit{SwapRanges(text, line->start, line->end, belowEnd),
                    line->start + (belowEnd - line->end)};
}

std::optional<LineEdit> MoveLineUp(MemoStringView text, std::int32_t caret) {
    const auto line = FindCaretLine(text, ClampCaret(text, caret));
    if (!line || line->start == 0) {
        return std::nullopt;
    }
    const std::int32_t aboveStart = PreviousBreak(text, line->start - 1) + 1;
    return LineEdit{SwapRanges(text, aboveStart, line->start, line->end), aboveStart};
}

LineEdit ToggleCheck(MemoStringView text, std::int32_t caret) {
    const std::int32_t lineStart = PreviousBreak(text, ClampCaret(text, caret)) + 1;
    const MemoStringView head = text.substr(lineStart, kUncheckedPrefix.size());
    const MemoStringView before = text.substr(0, lineStart);
    if (head == kUncheckedPrefix) {
        return {Concat({before, kCheckedPrefix, text.substr(lineStart + head.size())}), lineStart};
    }
    if (head == kCheckedPrefix) {
        return {Concat({before, kUncheckedPrefix, text.substr(lineStart + head.size())}),
                lineStart};
    }
    return {Concat({before, kUncheckedPrefix, text.substr(lineStart)}), lineStart};
}

}  // namespace markola
