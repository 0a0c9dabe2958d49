#include <gtest/gtest.h>

#include <array>
#include <random>

#include "core/line_tools.h"

namespace markola {
namespace {

// Short texts over the units that matter to the line rules, a surrogate pair included,
// ending with CR LF as the moves expect.
MemoString RandomText(std::mt19937& random) {
    constexpr std::array<MemoStringView, 7> pieces{u"\r\n", u"\r\n",       u"\r",     u"\n",
                                                   u"a",    u"\U0001F600", u"\u25A1 "};
    MemoString text;
    for (int count = std::uniform_int_distribution(0, 12)(random); count > 0; --count) {
        text += pieces[std::uniform_int_distribution<std::size_t>(0, pieces.size() - 1)(random)];
    }
    return EnsureFinalBreak(text);
}

std::int32_t LineStart(MemoStringView text, std::int32_t caret) {
    return PreviousBreak(text, caret) + 1;
}

TEST(LineEditPropertyTest, MovesAndTogglesKeepTheirInvariants) {
    std::mt19937 random(20240611);
    for (int round = 0; round < 3000 && !::testing::Test::HasFailure(); ++round) {
        const MemoString text = RandomText(random);
        const auto caret = std::uniform_int_distribution<std::int32_t>(0, std::ssize(text))(random);
        SCOPED_TRACE(::testing::PrintToString(text) + " caret " + std::to_string(caret));

        if (const auto down = MoveLineDown(text, caret)) {
            EXPECT_EQ(down->text.size(), text.size());
            EXPECT_EQ(LineStart(down->text, down->caret), down->caret);
            const auto up = MoveLineUp(down->text, down->caret);
            EXPECT_EQ(up.value_or(LineEdit{}), (LineEdit{text, LineStart(text, caret)}));
        }
        if (const auto up = MoveLineUp(text, caret)) {
            EXPECT_EQ(up->text.size(), text.size());
            EXPECT_EQ(LineStart(up->text, up->caret), up->caret);
        }
        const LineEdit first = ToggleCheck(text, caret);
        const bool wasItem = text.compare(LineStart(text, caret), 2, kUncheckedPrefix) == 0;
        EXPECT_EQ(first.text.size(), text.size() + (wasItem ? 0 : 2));
        EXPECT_EQ(first.caret, LineStart(text, caret));
        const LineEdit second = ToggleCheck(first.text, first.caret);
        EXPECT_EQ(ToggleCheck(second.text, second.caret), first);
    }
}

}  // namespace
}  // namespace markola
