#pragma once

#include <QFont>

namespace markola {

// The fixed-pitch Japanese font of the controls and labels at that size: the one the
// memos were written with where it is installed, otherwise the nearest free one.
QFont JapaneseFixedFont(qreal pointSize);

}  // namespace markola
