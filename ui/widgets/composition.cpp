#include "ui/widgets/composition.h"

#include <QApplication>
#include <QInputMethod>
#include <QInputMethodEvent>
#include <QWidget>

namespace markola {

// A composition given up (Escape) is only hidden from the toolkit's ibus context, which would
// commit it at the next change of focus, click or menu; a reset makes the context forget it.
// An input method that gave the composition up has nothing of it left to commit on reset.
void Composition::Track(const QInputMethodEvent& event) {
    const bool givenUp = IsOpen() && event.preeditString().isEmpty() &&
                         event.commitString().isEmpty() && event.replacementLength() == 0;
    preedit_ = event.preeditString();
    if (givenUp) {
        QGuiApplication::inputMethod()->reset();
    }
}

// Input methods differ in which request commits: some commit on commit() and drop the
// composition on reset(), others do nothing on commit() and commit on reset(). Asking in
// this order, and only as long as the composition is still open, commits it exactly once.
void Composition::Commit(QWidget& receiver) {
    if (!IsOpen()) {
        return;
    }
    if (QApplication::focusWidget() == &receiver) {
        QInputMethod* method = QGuiApplication::inputMethod();
        method->commit();
        if (IsOpen()) {
            method->reset();
        }
    }
    if (IsOpen()) {
        QInputMethodEvent commit;
        commit.setCommitString(preedit_);
        QCoreApplication::sendEvent(&receiver, &commit);
        preedit_.clear();
    }
}

}  // namespace markola
