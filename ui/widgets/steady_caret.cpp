#include "ui/widgets/steady_caret.h"

#include <QEvent>
#include <QGuiApplication>
#include <QPlainTextEdit>
#include <QStyleHints>
#include <QTextBlock>
#include <utility>

namespace markola {

SteadyCaret::SteadyCaret(QPlainTextEdit* box) : QObject(box), box_(box) {
    box->installEventFilter(this);
    connect(box, &QPlainTextEdit::cursorPositionChanged, this, &SteadyCaret::Follow);
}

SteadyCaret::~SteadyCaret() {
    Release();
}

bool SteadyCaret::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::FocusIn) {
        Follow();
    } else if (event->type() == QEvent::FocusOut) {
        Release();  // the box may be on its way out: nothing of it is asked
    }
    return QObject::eventFilter(watched, event);
}

void SteadyCaret::Follow() {
    if (box_->hasFocus() && box_->textCursor().block().length() > kUnblinkingLineLength) {
        Hold();
    } else {
        Release();
    }
}

void SteadyCaret::Hold() {
    if (!heldFlashTime_) {
        heldFlashTime_ = QGuiApplication::styleHints()->cursorFlashTime();
        QGuiApplication::styleHints()->setCursorFlashTime(0);
    }
}

void SteadyCaret::Release() {
    if (heldFlashTime_) {
        QGuiApplication::styleHints()->setCursorFlashTime(*std::exchange(heldFlashTime_, {}));
    }
}

}  // namespace markola
