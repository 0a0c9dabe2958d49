#include <algorithm>
#include <cassert>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <utility>
#include <vector>

#include "core/line_tools.h"

using namespace markola;

// What the line commands must give, worked out on whole lines (the text cut after each
// CR LF, so only the last line has no break) instead of break positions.
static void CheckCommands(MemoStringView text, std::int32_t caret) {
    using Lines = std::vector<MemoString>;
    // The caret line is the last line that begins at or before the caret, so a caret
    // between CR and LF belongs to the line that this CR ends.
    Lines lines(1);
    std::size_t line = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        lines.back() += text[i];
        if (lines.back().ends_with(kLineBreak)) {
            lines.emplace_back();
            line = std::cmp_less_equal(i + 1, caret) ? lines.size() - 1 : line;
        }
    }
    const auto joined = [](const Lines& parts, std::size_t caretLine) {
        LineEdit edit;
        for (std::size_t i = 0; i < parts.size(); ++i) {
            edit.caret = i == caretLine ? static_cast<std::int32_t>(edit.text.size()) : edit.caret;
            edit.text += parts[i];
        }
        return edit;
    };
    // Two lines change places only when both end with CR LF; the caret follows the line.
    const auto swapped = [&](std::size_t upper, std::size_t caretLine) -> std::optional<LineEdit> {
        if (upper + 2 >= lines.size()) {
            return std::nullopt;
        }
        Lines moved = lines;
        std::swap(moved[upper], moved[upper + 1]);
        return joined(moved, caretLine);
    };
    assert(MoveLineDown(text, caret) == swapped(line, line + 1));
    assert(MoveLineUp(text, caret) == (line == 0 ? std::nullopt : swapped(line - 1, line - 1)));
    MemoString& unit = lines[line];
    const bool item = unit.starts_with(kUncheckedPrefix) || unit.starts_with(kCheckedPrefix);
    unit.replace(0, item ? kCheckedPrefix.size() : 0,
                 unit.starts_with(kUncheckedPrefix) ? kCheckedPrefix : kUncheckedPrefix);
    assert(ToggleCheck(text, caret) == joined(lines, line));
}

// The input is the text with the caret as its first '|' (none: 0), '[' and ']' standing for the
// prefix squares, so corpus files stay readable. The glue gives the moves a text that ends with
// CR LF; the pure functions must hold for any text all the same, and for carets off either end.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    MemoString text;
    std::int32_t caret = -1;
    for (std::size_t i = 0; i < size; ++i) {
        const char16_t unit = data[i];
        if (unit == '|' && caret < 0) {
            caret = static_cast<std::int32_t>(text.size());
        } else {
            text += unit == '[' ? kUncheckedPrefix[0] : unit == ']' ? kCheckedPrefix[0] : unit;
        }
    }
    caret = std::max(caret, 0);
    // A lone CR at the end stays one: the break is added after it.
    const MemoString withBreak = EnsureFinalBreak(text);
    assert(withBreak == (text.ends_with(kLineBreak) ? text : text + MemoString(kLineBreak)));
    for (const MemoString& given : {text, withBreak}) {
        const auto size = static_cast<std::int32_t>(given.size());
        for (const std::int32_t at : {caret, -1 - caret, size + 1 + caret}) {
            CheckCommands(given, at);
        }
    }
    return 0;
}
