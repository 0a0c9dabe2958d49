#include "ui/widgets/commit_echo_filter.h"

#include <QInputMethodEvent>

namespace markola {

bool CommitEchoFilter::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::KeyPress && watched->isWindowType()) {
        committed_.clear();
    } else if (event->type() == QEvent::InputMethod) {
        const auto& method = static_cast<const QInputMethodEvent&>(*event);
        if (IsEcho(method)) {
            committed_.clear();
            return true;
        }
        Follow(watched, method);
    }
    return QObject::eventFilter(watched, event);
}

bool CommitEchoFilter::IsEcho(const QInputMethodEvent& event) const {
    return composing_.isEmpty() && !committed_.isEmpty() && event.commitString() == committed_ &&
           event.preeditString().isEmpty() && event.replacementLength() == 0;
}

// An event that shows nothing and commits nothing, as both frameworks send after a
// commit, changes no text and leaves the expectation as it was.
void CommitEchoFilter::Follow(const QObject* receiver, const QInputMethodEvent& event) {
    if (!event.commitString().isEmpty()) {
        committed_ = composing_.contains(receiver) ? event.commitString() : QString();
    }
    if (event.preeditString().isEmpty()) {
        composing_.remove(receiver);
    } else {
        committed_.clear();
        composing_.insert(receiver);
    }
}

}  // namespace markola
