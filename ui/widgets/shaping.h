#pragma once

#include <QFont>
#include <QStringView>

namespace markola {

// Whether a memo text draws the same in the text box's fixed fonts with and without the
// toolkit's shaping. Every character a memo file can hold does, but for those no font has a glyph
// for: control characters other than the tab and the line ends, the user-defined area and the
// codes that keep stray bytes. Shaping draws those as an empty box; without it they take no room
// at all. Combining marks and other scripts, which no memo file holds, need shaping too. A lone
// CR or LF is not drawn as itself: its mark is the caller's to ask about.
bool DrawsAlikeWithoutShaping(QStringView text);

// Whether a document text holds a line too long to shape in good time: laying out a line of
// millions of characters without shaping takes a third of the time, and each edit of the line
// lays it all out again.
bool HoldsLongLine(QStringView documentText);

QFont WithShaping(QFont font, bool shaped);

}  // namespace markola
