#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

#include "core/line_tools.h"
#include "tests/fuzz/fuzz_check.h"

namespace markola {
namespace {

using fuzz::Require;

// The input is the text with the caret written as '|' (the first one; none means 0), so
// corpus files stay readable; '[' and ']' stand for the two squares of the prefixes.
struct Case {
    MemoString text;
    std::int32_t caret = 0;
};

Case ReadCase(const std::uint8_t* data, std::size_t size) {
    Case input;
    bool caretSeen = false;
    for (std::size_t i = 0; i < size; ++i) {
        const std::uint8_t byte = data[i];
        if (byte == '|' && !caretSeen) {
            input.caret = static_cast<std::int32_t>(input.text.size());
            caretSeen = true;
        } else if (byte == '[') {
            input.text += kUncheckedPrefix.front();
        } else if (byte == ']') {
            input.text += kCheckedPrefix.front();
        } else {
            input.text += static_cast<char16_t>(byte);
        }
    }
    return input;
}

// The text cut after each CR LF; the last piece is what follows the last CR LF.
struct Piece {
    std::int32_t start;
    MemoStringView unit;
    bool HasBreak() const { return unit.ends_with(kLineBreak); }
};

std::vector<Piece> SplitLines(MemoStringView text) {
    std::vector<Piece> pieces;
    std::size_t start = 0;
    for (std::size_t found; (found = text.find(kLineBreak, start)) != MemoStringView::npos;) {
        pieces.push_back({static_cast<std::int32_t>(start), text.substr(start, found + 2 - start)});
        start = found + 2;
    }
    pieces.push_back({static_cast<std::int32_t>(start), text.substr(start)});
    return pieces;
}

// The caret line is the last piece that begins at or before the caret, so a caret between
// CR and LF belongs to the line that this CR ends.
std::size_t CaretLine(const std::vector<Piece>& pieces, std::int32_t caret) {
    std::size_t line = 0;
    while (line + 1 < pieces.size() && pieces[line + 1].start <= caret) {
        ++line;
    }
    return line;
}

MemoString Join(const std::vector<Piece>& pieces) {
    MemoString text;
    for (const Piece& piece : pieces) {
        text += piece.unit;
    }
    return text;
}

// The same commands worked out on whole lines instead of break positions.
std::optional<LineEdit> SwapWithNext(std::vector<Piece> pieces, std::size_t upper) {
    if (upper + 1 >= pieces.size() || !pieces[upper].HasBreak() || !pieces[upper + 1].HasBreak()) {
        return std::nullopt;
    }
    const std::int32_t start = pieces[upper].start;
    std::swap(pieces[upper], pieces[upper + 1]);
    return LineEdit{Join(pieces), start};
}

std::optional<LineEdit> ExpectedDown(MemoStringView text, std::int32_t caret) {
    const std::vector<Piece> pieces = SplitLines(text);
    const std::size_t line = CaretLine(pieces, caret);
    std::optional<LineEdit> edit = SwapWithNext(pieces, line);
    if (edit) {
        edit->caret += static_cast<std::int32_t>(pieces[line + 1].unit.size());
    }
    return edit;
}

std::optional<LineEdit> ExpectedUp(MemoStringView text, std::int32_t caret) {
    const std::vector<Piece> pieces = SplitLines(text);
    const std::size_t line = CaretLine(pieces, caret);
    return line == 0 ? std::nullopt : SwapWithNext(pieces, line - 1);
}

LineEdit ExpectedToggle(MemoStringView text, std::int32_t caret) {
    const std::vector<Piece> pieces = SplitLines(text);
    const Piece& line = pieces[CaretLine(pieces, caret)];
    const auto start = static_cast<std::size_t>(line.start);
    MemoString toggled(text);
    if (line.unit.starts_with(kUncheckedPrefix)) {
        toggled.replace(start, kCheckedPrefix.size(), kCheckedPrefix);
    } else if (line.unit.starts_with(kCheckedPrefix)) {
        toggled.replace(start, kUncheckedPrefix.size(), kUncheckedPrefix);
    } else {
        toggled.insert(start, kUncheckedPrefix);
    }
    return {toggled, line.start};
}

bool CaretWithin(const std::optional<LineEdit>& edit) {
    return !edit || (edit->caret >= 0 && edit->caret <= std::ssize(edit->text));
}

void CheckEnsureFinalBreak(MemoStringView text) {
    const MemoString ensured = EnsureFinalBreak(text);
    Require(ensured.ends_with(kLineBreak), "EnsureFinalBreak ends with CR LF");
    Require(ensured == (text.ends_with(kLineBreak) ? MemoString(text) : MemoString(text) + u"\r\n"),
            "EnsureFinalBreak adds CR LF only when it is missing");
}

void CheckCommands(MemoStringView text, std::int32_t caret) {
    const std::optional<LineEdit> down = MoveLineDown(text, caret);
    Require(CaretWithin(down), "MoveLineDown caret within the new text");
    Require(down == ExpectedDown(text, caret), "MoveLineDown swaps the caret line with the next");
    const std::optional<LineEdit> up = MoveLineUp(text, caret);
    Require(CaretWithin(up), "MoveLineUp caret within the new text");
    Require(up == ExpectedUp(text, caret), "MoveLineUp swaps the caret line with the one above");
    const LineEdit toggled = ToggleCheck(text, caret);
    Require(CaretWithin(toggled), "ToggleCheck caret within the new text");
    Require(toggled == ExpectedToggle(text, caret), "ToggleCheck cycles the caret line's prefix");
}

}  // namespace
}  // namespace markola

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const markola::Case input = markola::ReadCase(data, size);
    markola::CheckEnsureFinalBreak(input.text);
    // The moves always get a text that ends with CR LF from their glue; the pure
    // functions must hold for any text all the same.
    markola::CheckCommands(input.text, input.caret);
    markola::CheckCommands(markola::EnsureFinalBreak(input.text), input.caret);
    return 0;
}
