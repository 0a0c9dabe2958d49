#include "ui/line_commands.h"

#include <gtest/gtest.h>

#include "fake_view.h"

namespace markola {
namespace {

using Command = void (*)(MemoTextView&);

// The missing final break goes in as a step of its own, and stays when the move then
// gives nothing; two identical lines swap without an edit; the line that was on top is
// scrolled back to the top after the replacement showed the first line.
TEST(LineCommands, EditsReachTheTextBoxAsSeparateSteps) {
    struct Case {
        Command command;
        const char* text;
        int caret, top;
        const char* after;
        int caretAfter, topAfter, replaces, changes;
        std::vector<int> scrolls;
    };
    const Case cases[] = {
        {mnuMemoDown_Click, "a\r\nb", 1, 0, "b\r\na\r\n", 3, 0, 2, 2, {}},
        {mnuMemoDown_Click, "a\r\nb", 4, 3, "a\r\nb\r\n", 0, 0, 1, 1, {}},
        {mnuMemoUp_Click, "a\r\nb\r\n", 0, 2, "a\r\nb\r\n", 0, 2, 0, 0, {}},
        {mnuMemoDown_Click, "a\r\na\r\n", 0, 0, "a\r\na\r\n", 3, 0, 1, 0, {}},
        {mnuMemoUp_Click, "a\r\nb\r\nc\r\n", 4, 1, "b\r\na\r\nc\r\n", 0, 0, 1, 1, {1}},
        {Text1_DblClick, "x\r\n\u25A0 yes\r\nz", 7, 2, "x\r\n\u25A1 yes\r\nz", 3, 0, 1, 1, {2}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(::testing::Message() << c.text << " caret " << c.caret);
        testing::FakeView view;
        int changes = 0;
        view.onTextChange = [&changes] { ++changes; };
        view.memoText = QString::fromUtf8(c.text);
        view.selStart = c.caret;
        view.firstVisibleLine = c.top;
        c.command(view);
        EXPECT_EQ(view.memoText, QString::fromUtf8(c.after));
        EXPECT_EQ(view.selStart, c.caretAfter);
        EXPECT_EQ(view.firstVisibleLine, c.topAfter);
        EXPECT_EQ(view.replaceCount, c.replaces);
        EXPECT_EQ(changes, c.changes);
        EXPECT_EQ(view.postedScrolls, c.scrolls);
    }
}

}  // namespace
}  // namespace markola
