#pragma once

#include <QChar>
#include <QPalette>
#include <QRectF>

#include "ui/widgets/memo_text_mapping.h"

class QPainter;

namespace markola {

// Draws the mark over the cell the character takes: an arrow back to the line start for
// CR, an arrow down for LF, framed, in the selection colour so it is no ordinary text.
void DrawLineEndMark(QPainter& painter, const QRectF& cell, QChar mark, const QPalette& palette,
                     bool selected);

}  // namespace markola
