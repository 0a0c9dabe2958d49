#include "ui/line_commands.h"

#include <gtest/gtest.h>

#include <tuple>

#include "fake_view.h"

namespace markola {
namespace {

class LineCommandsTest : public ::testing::Test {
protected:
    LineCommandsTest() {
        view.onTextChange = [this] { ++changeRuns; };
    }

    void Run(void (*command)(MemoTextView&), const QString& text, int caret, int top = 0) {
        view.memoText = text;
        view.selStart = caret;
        view.firstVisibleLine = top;
        view.replaceCount = changeRuns = 0;
        view.postedScrolls.clear();
        command(view);
    }

    static QString Lines(int count) {
        QString text;
        for (int line = 0; line < count; ++line) {
            text += QStringLiteral("line %1\r\n").arg(line);
        }
        return text;
    }

    testing::FakeView view;
    int changeRuns = 0;
};

TEST_F(LineCommandsTest, MoveAddsTheFinalBreakAsAStepOfItsOwnThenMoves) {
    Run(mnuMemoDown_Click, QStringLiteral("a\r\nb"), 1);
    EXPECT_EQ(view.memoText, QStringLiteral("b\r\na\r\n"));
    EXPECT_EQ(view.selStart, 3);
    EXPECT_EQ(view.replaceCount, 2);
    EXPECT_EQ(changeRuns, 2);
}

TEST_F(LineCommandsTest, MoveEndingAtItsGuardKeepsTheAddedBreakWithTheViewOnTop) {
    for (const auto& [command, text, caret] :
         {std::tuple{&mnuMemoDown_Click, QStringLiteral("a\r\nb"), 4},
          std::tuple{&mnuMemoUp_Click, QStringLiteral("a\r\nb"), 1},
          std::tuple{&mnuMemoUp_Click, QString(), 0}}) {
        Run(command, text, caret, 3);
        EXPECT_EQ(view.memoText, text + QStringLiteral("\r\n"));
        EXPECT_EQ(view.selStart, 0);
        EXPECT_EQ(view.firstVisibleLine, 0);
        EXPECT_EQ(changeRuns, 1);
        EXPECT_TRUE(view.postedScrolls.empty());
    }
    Run(mnuMemoUp_Click, QStringLiteral("a\r\nb\r\n"), 0, 2);
    EXPECT_EQ(view.replaceCount, 0);
    EXPECT_EQ(view.firstVisibleLine, 2);
}

TEST_F(LineCommandsTest, ScrollPutsTheOldTopLineBackOnlyWhenTheViewMoved) {
    const QString text = Lines(60);
    Run(mnuMemoUp_Click, text, static_cast<int>(Lines(41).size()) + 2, 40);
    EXPECT_EQ(view.selStart, static_cast<int>(Lines(40).size()));
    EXPECT_EQ(view.firstVisibleLine, 31);
    EXPECT_EQ(view.postedScrolls, std::vector<int>{9});
    Run(mnuMemoDown_Click, text, static_cast<int>(Lines(2).size()), 0);
    EXPECT_EQ(view.selStart, static_cast<int>(Lines(3).size()));
    EXPECT_TRUE(view.postedScrolls.empty());
}

TEST_F(LineCommandsTest, SwappingTwoIdenticalLinesIsNoEdit) {
    Run(mnuMemoDown_Click, QStringLiteral("a\r\na\r\n"), 0);
    EXPECT_EQ(view.selStart, 3);
    EXPECT_EQ(view.replaceCount, 1);
    EXPECT_EQ(changeRuns, 0);
}

TEST_F(LineCommandsTest, ToggleWorksOnTheLineWhereTheSelectionStarts) {
    Run(Text1_DblClick, QStringLiteral("x\r\n\u25A0 yes\r\nz"), 7, 1);
    EXPECT_EQ(view.memoText, QStringLiteral("x\r\n\u25A1 yes\r\nz"));
    EXPECT_EQ(view.selStart, 3);
    EXPECT_EQ(changeRuns, 1);
    EXPECT_EQ(view.postedScrolls, std::vector<int>{1});
    Run(mnuCheck_Click, QStringLiteral("\U0001F600\r\n\U0001F600"), 6);
    EXPECT_EQ(view.memoText, QStringLiteral("\U0001F600\r\n\u25A1 \U0001F600"));
    EXPECT_EQ(view.selStart, 4);
}

}  // namespace
}  // namespace markola
