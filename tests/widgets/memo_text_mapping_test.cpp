#include "ui/memo_text_mapping.h"

#include <gtest/gtest.h>

#include <QStringList>
#include <vector>

namespace markola {
namespace {

QString Raw(QString documentText) {
    return documentText.replace(u'\n', QChar(0x2029));
}

struct MappingCase {
    QString memo;
    QString document;
};

TEST(MemoTextMapping, MapsLineBreaksBothWays) {
    const std::vector<MappingCase> cases = {
        {"", ""},
        {"a\r\nb", "a\nb"},
        {"a\rb", u"a\u240Db"_qs},
        {"a\nb", u"a\u240Ab"_qs},
        {"a\r", u"a\u240D"_qs},
        {"\r\r\n", u"\u240D\n"_qs},
        {"\n\r", u"\u240A\u240D"_qs},
        {"\r\n\r\n", "\n\n"},
        {u"a\0\tb\x1f"_qs, u"a\0\tb\x1f"_qs},
        {u"\U0001F600\r\n"_qs, u"\U0001F600\n"_qs},
    };
    for (const MappingCase& c : cases) {
        const DocumentText document = DocumentTextFromMemo(c.memo);
        EXPECT_EQ(document.text, c.document) << c.memo.toStdString();
        EXPECT_TRUE(document.roundTrips) << c.memo.toStdString();
        EXPECT_EQ(MemoTextFromDocument(Raw(c.document)), c.memo) << c.memo.toStdString();
    }
}

TEST(MemoTextMapping, FlagsCharactersTheDocumentWouldChange) {
    for (const QString& memo : {u"x\u240D"_qs, u"\u240A"_qs, u"a\u2029b"_qs, u"\uFDD0"_qs}) {
        EXPECT_FALSE(DocumentTextFromMemo(memo).roundTrips) << memo.toStdString();
    }
}

TEST(MemoTextMapping, InsertedLineBreaksAllBecomeBlockBreaks) {
    EXPECT_EQ(InsertedText(u"a\r\nb\rc\nd\u2028e\u2029f\r"_qs), "a\nb\nc\nd\ne\nf\n");
    EXPECT_EQ(InsertedText(u"\u240D\t"_qs), u"\u240D\t"_qs);
}

// The document of the memo "ab\r\nc😀d\r\n": blocks "ab", "c😀d" and "".
int DocumentPositionOf(int memoOffset) {
    const QStringList blocks = {"ab", u"c\U0001F600d"_qs, ""};
    const std::vector<int> positions = {0, 3, 8};
    const int number = BlockOfMemoOffset(memoOffset, static_cast<int>(blocks.size()),
                                         [&](int n) { return positions[n]; });
    return positions[number] +
           DocumentColumn(blocks[number], memoOffset - MemoOffset(positions[number], number));
}

TEST(MemoTextMapping, MemoOffsetsToDocumentPositions) {
    const std::vector<std::pair<int, int>> cases = {
        {-5, 0}, {0, 0}, {2, 2}, {3, 2},  // between CR and LF: end of the line
        {4, 3},  {5, 4}, {6, 4},          // inside the surrogate pair: before it
        {7, 6},  {8, 7}, {9, 7}, {10, 8}, {99, 8},
    };
    for (const auto& [memo, document] : cases) {
        EXPECT_EQ(DocumentPositionOf(memo), document) << "memo offset " << memo;
    }
    EXPECT_EQ(MemoOffset(8, 2), 10);
    EXPECT_EQ(BlockOfMemoOffset(0, 1, [](int) { return 0; }), 0);
}

struct SpanCase {
    QString old;
    QString replacement;
    ChangedSpan span;
};

TEST(MemoTextMapping, ChangedSpanKeepsBreaksAndPairsWhole) {
    const std::vector<SpanCase> cases = {
        {"abc", "abc", {3, 3, 3}},
        {"a\r\nb\r\n", "b\r\na\r\n", {0, 4, 4}},
        {"x\ry", "x\r\ny", {1, 2, 3}},
        {"a\r\nb", "a\nb", {1, 3, 2}},
        {u"x\U0001F600"_qs, u"x\U0001F601"_qs, {1, 3, 3}},
        {"ab", "", {0, 2, 0}},
        {"aXa", "aa", {1, 2, 1}},
        {"aa", "aaa", {2, 2, 3}},
    };
    for (const SpanCase& c : cases) {
        const ChangedSpan span = FindChangedSpan(c.old, c.replacement);
        EXPECT_EQ(span, c.span) << c.old.toStdString() << " -> " << c.replacement.toStdString()
                                << ": " << span.start << "," << span.oldEnd << "," << span.newEnd;
    }
}

}  // namespace
}  // namespace markola
