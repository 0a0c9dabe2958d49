#pragma once

#include <QObject>
#include <QSet>
#include <QString>

class QInputMethodEvent;

namespace markola {

// Drops an input method's second delivery of a composition that was already committed.
//
// When the program (or the toolkit, on a click or a change of focus) ends a composition,
// the toolkit's ibus context commits the composition itself and then resets the engine;
// an engine whose compositions are committed on reset, as Mozc's are, has the daemon
// commit the same text again, a moment later, to whichever control then has the focus and
// wherever its caret has gone. That repeat comes before any other composition or key of
// the user's, so a commit that arrives with no composition open, right after a commit
// that closed one, and carries the same text, is that repeat. Input methods that do not
// repeat the commit (fcitx5) never meet the condition: their next composition or key
// clears it. A key counts once, where it reaches the window: the same key passed on to
// the parents of a control, after a command that it ran has committed, is no new key.
//
// The controls that receive compositions live as long as the filter, so a control in
// the set of those composing is never one that is gone.
class CommitEchoFilter : public QObject {
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    bool IsEcho(const QInputMethodEvent& event) const;
    void Follow(const QObject* receiver, const QInputMethodEvent& event);

    QSet<const QObject*> composing_;
    // The text of the composition that the last commit closed, until something else comes.
    QString committed_;
};

}  // namespace markola
