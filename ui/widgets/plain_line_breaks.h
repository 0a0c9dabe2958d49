#pragma once

#include <QObject>

namespace markola {

// The text box would put a line separator (U+2028) into a line for Shift+Enter or for an
// input method's text: a break that looks like a new line but is none to the line
// commands, and that the memo's code page cannot hold. Installed on the text box, this
// filter turns each into a plain line break, which is a CR LF of the memo.
class PlainLineBreaks : public QObject {
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
};

}  // namespace markola
