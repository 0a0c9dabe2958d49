#pragma once

#include <QString>

class QInputMethodEvent;
class QWidget;

namespace markola {

// The text an input method is composing in one control and not yet committed. The program
// must not change that control's text or caret under an open composition: the input method
// would later insert the text wherever the caret has gone, so the composition is committed
// first, where it was typed.
class Composition {
public:
    void Track(const QInputMethodEvent& event);
    bool IsOpen() const { return !preedit_.isEmpty(); }
    // Commits an open composition into `receiver`, the widget that gets the input method's
    // events. The input method is asked first, so that it forgets the composition too; an
    // input method that does not commit on request, or none at all, leaves it to be done here.
    void Commit(QWidget& receiver);

private:
    QString preedit_;
};

}  // namespace markola
