#pragma once

#include <QObject>

namespace markola {

// A menu bar shows no tool tips of its own. Installed on one, this filter shows the tool
// tip of a command placed directly on the bar while the pointer rests on it, so the bare
// "■", "▲" and "▼" say what they do and which keys do the same.
class BarToolTips : public QObject {
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
};

}  // namespace markola
