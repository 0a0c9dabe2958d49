#pragma once

#include <QFont>

namespace markola {

// The fixed-pitch Japanese font of the controls and labels at that size: the one the
// memos were written with where it is installed, otherwise the nearest free one.
QFont JapaneseFixedFont(qreal pointSize);

// The font, with the text shaping left out for scripts that need none. Every character a memo
// file can hold draws the same either way in these fixed fonts; only combining marks, which no
// memo file can hold, then stand beside their letter. Laying out a line takes a third of the
// time, which a line of millions of characters needs: each edit of it lays it all out again.
QFont WithoutShaping(QFont font);

}  // namespace markola
