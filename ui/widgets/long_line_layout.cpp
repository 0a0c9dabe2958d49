#include "ui/widgets/long_line_layout.h"

#include <QTextBlock>
#include <QTextDocument>
#include <QTextLayout>

namespace markola {
namespace {

// Shaping a block of this many characters takes about a millisecond; its glyphs take a few
// dozen bytes a character, held only for blocks this long.
constexpr int kLongBlockLength = 10'000;

}  // namespace

void LongLineLayout::documentChanged(int from, int charsRemoved, int charsAdded) {
    const QTextBlock last = document()->findBlock(from + charsAdded);
    for (QTextBlock block = document()->findBlock(from); block.isValid(); block = block.next()) {
        if (block.length() >= kLongBlockLength) {
            block.layout()->setCacheEnabled(true);
        }
        if (block == last) {
            break;
        }
    }
    QPlainTextDocumentLayout::documentChanged(from, charsRemoved, charsAdded);
}

}  // namespace markola
