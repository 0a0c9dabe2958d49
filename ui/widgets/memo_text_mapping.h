#pragma once

#include <QString>
#include <QStringView>

namespace markola {

// The memo text box keeps the memo in a text document, one block per CR LF line. The
// document turns every \r and \n into a block break, so a lone CR or LF of a memo stays
// in its line as a mark character instead. The marks are noncharacters: no font draws
// them (the text box draws them itself) and no user types or pastes them, so a pasted
// "␍" or "␊" stays the symbol it is, and the mapping loses nothing a memo file can hold.
// All other characters, NUL and the other control characters included, stay as they are.
inline constexpr QChar kLoneCrMark = QChar(0xFDD2);
inline constexpr QChar kLoneLfMark = QChar(0xFDD3);

struct DocumentText {
    QString text;  // blocks separated by '\n', as QTextDocument::setPlainText reads it
    // False when reading the document back would not give the memo text unchanged: the
    // memo held a mark character, or a character that the document takes for a block
    // break.
    bool roundTrips = true;
    // Whether the memo had a lone CR or LF, whose mark the text box draws itself.
    bool holdsMarks = false;
};

DocumentText DocumentTextFromMemo(QStringView memo);

// Memo text from raw document text (QTextDocument::toRawText, QTextCursor::selectedText),
// whose blocks are separated by U+2029.
QString MemoTextFromDocument(QStringView raw);

// Pasted or dropped text with every kind of line break (CR LF, CR, LF, U+2028, U+2029)
// as '\n', so that each one becomes a block break, that is a CR LF of the memo, and
// without noncharacters, which are the text box's own marks.
QString InsertedText(QStringView pasted);

// Memo offset of a document position in the block numbered blockNumber: every block
// break in front of it is one document position but two memo units.
constexpr int MemoOffset(int documentPosition, int blockNumber) {
    return documentPosition + blockNumber;
}

// The number of the block that holds the memo offset: the last block whose memo start
// (blockPosition(n) + n) is at or before it. blockPosition(n) is the document position
// of block n; the search calls it O(log blockCount) times.
template <typename BlockPosition>
int BlockOfMemoOffset(int memoOffset, int blockCount, BlockPosition blockPosition) {
    int low = 0;
    int high = blockCount - 1;
    while (low < high) {
        const int middle = low + (high - low + 1) / 2;
        if (MemoOffset(blockPosition(middle), middle) <= memoOffset) {
            low = middle;
        } else {
            high = middle - 1;
        }
    }
    return low;
}

// Document column, within a block of text blockText, of a memo column of its line. A
// column past the line's end stands between the CR and the LF of the line's break,
// where the document has no position: it maps to the end of the line. A column inside
// a surrogate pair maps to the start of the pair, so the caret never splits a character.
int DocumentColumn(QStringView blockText, int memoColumn);

// The part of a memo text that a replacement changes: old[start, oldEnd) becomes
// replacement[start, newEnd); the rest is common to both. The span never begins or ends
// between a CR and an LF or inside a surrogate pair, so each side maps to whole
// document characters and the unchanged text around it keeps its meaning.
struct ChangedSpan {
    int start = 0;
    int oldEnd = 0;
    int newEnd = 0;
    friend bool operator==(const ChangedSpan&, const ChangedSpan&) = default;
};

ChangedSpan FindChangedSpan(QStringView old, QStringView replacement);

}  // namespace markola
