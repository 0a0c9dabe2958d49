#include <algorithm>
#include <cassert>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <utility>
#include <vector>

#include "core/line_tools.h"

namespace markola {
namespace {

using Lines = std::vector<MemoString>;

// The expected edits are worked out on whole lines (the text cut after each CR LF, so only
// the last line has no break) instead of break positions: the lines joined again, with
// the caret at the start of line `caretLine`.
LineEdit Joined(const Lines& lines, std::size_t caretLine) {
    LineEdit edit;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        edit.caret = i == caretLine ? static_cast<std::int32_t>(edit.text.size()) : edit.caret;
        edit.text += lines[i];
    }
    return edit;
}

// Two lines change places only when both end with CR LF.
std::optional<LineEdit> Swapped(Lines lines, std::size_t upper, std::size_t caretLine) {
    if (upper + 2 >= lines.size()) {
        return std::nullopt;
    }
    std::swap(lines[upper], lines[upper + 1]);
    return Joined(lines, caretLine);
}

void RequireEdit(const std::optional<LineEdit>& edit, const std::optional<LineEdit>& expected) {
    assert(!edit || (edit->caret >= 0 && edit->caret <= std::ssize(edit->text)));
    assert(edit == expected);
}

void CheckCommands(MemoStringView text, std::int32_t caret) {
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
    // Down swaps the caret line with the next, Up with the one above; the caret follows it.
    RequireEdit(MoveLineDown(text, caret), Swapped(lines, line, line + 1));
    RequireEdit(MoveLineUp(text, caret),
                line == 0 ? std::nullopt : Swapped(lines, line - 1, line - 1));
    MemoString& unit = lines[line];
    const bool item = unit.starts_with(kUncheckedPrefix) || unit.starts_with(kCheckedPrefix);
    unit.replace(0, item ? kCheckedPrefix.size() : 0,
                 unit.starts_with(kUncheckedPrefix) ? kCheckedPrefix : kUncheckedPrefix);
    RequireEdit(ToggleCheck(text, caret), Joined(lines, line));
}

}  // namespace
}  // namespace markola

// The input is the text with the caret written as its first '|' (none means 0), so corpus
// files stay readable; '[' and ']' stand for the squares of the two prefixes.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace markola;
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
    // The moves always get a text that ends with CR LF from their glue; the pure
    // functions must hold for any text all the same.
    CheckCommands(text, std::max(caret, 0));
    CheckCommands(EnsureFinalBreak(text), std::max(caret, 0));
    return 0;
}
