#include "ui/widgets/composition.h"

#include <QApplication>
#include <QInputMethod>
#include <QInputMethodEvent>
#include <QWidget>

namespace markola {

void Composition::Track(const QInputMethodEvent& event) {
    preedit_ = event.preeditString();
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
