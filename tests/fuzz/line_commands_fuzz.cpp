#include <algorithm>
#include <cassert>
#include <cstddef>
#include <cstdint>

#include "tests/core/line_model.h"

namespace {

void CheckCommands(markola::MemoStringView text, std::int32_t caret) {
    using namespace markola;
    const testing::ExpectedEdits expected = testing::ExpectEdits(text, caret);
    assert(MoveLineDown(text, caret) == expected.down);
    assert(MoveLineUp(text, caret) == expected.up);
    assert(ToggleCheck(text, caret) == expected.toggle);
}

}  // namespace

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
