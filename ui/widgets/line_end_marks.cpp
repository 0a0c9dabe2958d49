#include "ui/widgets/line_end_marks.h"

#include <QPainter>
#include <QPainterPath>

namespace markola {
namespace {

// An arrow from `from` to `to` with a head of two short strokes.
QPainterPath Arrow(QPointF from, QPointF to, qreal head) {
    const QPointF direction = (to - from) / std::max(QLineF(from, to).length(), 1.0);
    const QPointF normal(-direction.y(), direction.x());
    QPainterPath path(from);
    path.lineTo(to);
    path.moveTo(to - direction * head + normal * head);
    path.lineTo(to);
    path.lineTo(to - direction * head - normal * head);
    return path;
}

}  // namespace

void DrawLineEndMark(QPainter& painter, const QRectF& cell, QChar mark, const QPalette& palette,
                     bool selected) {
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    painter.fillRect(cell, palette.color(selected ? QPalette::Highlight : QPalette::Base));
    const QColor ink = palette.color(selected ? QPalette::HighlightedText : QPalette::Highlight);
    painter.setPen(QPen(ink, 1.0));
    const QRectF box = cell.adjusted(1.5, 1.5, -1.5, -1.5);
    painter.drawRoundedRect(box, 2, 2);
    const QRectF inner =
        box.adjusted(box.width() / 5, box.height() / 5, -box.width() / 5, -box.height() / 5);
    const qreal head = inner.width() / 3;
    if (mark == kLoneCrMark) {
        QPainterPath hook(inner.topRight());
        hook.lineTo(QPointF(inner.right(), inner.center().y()));
        painter.drawPath(hook);
        painter.drawPath(Arrow(QPointF(inner.right(), inner.center().y()),
                               QPointF(inner.left(), inner.center().y()), head));
    } else {
        painter.drawPath(Arrow(QPointF(inner.center().x(), inner.top()),
                               QPointF(inner.center().x(), inner.bottom()), head));
    }
    painter.restore();
}

}  // namespace markola
