#include "ui/widgets/long_line_layout.h"

#include <QTextBlock>
#include <QTextDocument>
#include <QTextLayout>

namespace markola {
void LongLineLayout::documentChanged(int from, int charsRemoved, int charsAdded) {
    const QTextBlock last = document()->findBlock(from + charsAdded);
    for (QTextBlock block = document()->findBlock(from); block.isValid(); block = block.next()) {
        if (block.length() >= kLongLineLength) {
            block.layout()->setCacheEnabled(true);
        }
        if (block == last) {
            break;
        }
    }
    QPlainTextDocumentLayout::documentChanged(from, charsRemoved, charsAdded);
}

}  // namespace markola
