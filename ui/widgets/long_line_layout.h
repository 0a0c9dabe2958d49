#pragma once

#include <QPlainTextDocumentLayout>

namespace markola {

// The text box's document layout. A line of the memo is one block, laid out as one line of
// text; the toolkit drops a block's shaped glyphs once it has laid it out, and shapes the
// whole line again for every caret position asked and every paint, cursor blinks included.
// For a short line that costs nothing; a line of millions of characters would keep the
// program busy for good. Long blocks therefore keep their glyphs until their text changes.
// A block at least this long is a long line. Shaping one takes about a millisecond; its
// glyphs take a few dozen bytes a character, held only for blocks this long.
inline constexpr int kLongLineLength = 10'000;

class LongLineLayout : public QPlainTextDocumentLayout {
public:
    using QPlainTextDocumentLayout::QPlainTextDocumentLayout;

protected:
    void documentChanged(int from, int charsRemoved, int charsAdded) override;
};

}  // namespace markola
