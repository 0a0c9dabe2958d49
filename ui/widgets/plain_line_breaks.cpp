#include "ui/widgets/plain_line_breaks.h"

#include <QInputMethodEvent>
#include <QKeyEvent>

namespace markola {

bool PlainLineBreaks::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::KeyPress) {
        auto* key = static_cast<QKeyEvent*>(event);
        if (key->matches(QKeySequence::InsertLineSeparator)) {
            key->setModifiers(key->modifiers() & ~Qt::ShiftModifier);
        }
    } else if (event->type() == QEvent::InputMethod) {
        auto* input = static_cast<QInputMethodEvent*>(event);
        QString commit = input->commitString();
        if (commit.contains(QChar::LineSeparator) || commit.contains(QChar::ParagraphSeparator)) {
            commit.replace(QChar::LineSeparator, u'\n').replace(QChar::ParagraphSeparator, u'\n');
            input->setCommitString(commit, input->replacementStart(), input->replacementLength());
        }
    }
    return QObject::eventFilter(watched, event);
}

}  // namespace markola
