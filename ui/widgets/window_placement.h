#pragma once

#include <QList>
#include <QPoint>
#include <QRect>
#include <QSize>

#include "storage/window_settings.h"

namespace markola {

// The window's outer rectangle, frame and title bar included, in pixels of a screen of
// that logical dpi, and back.
QRect OuterRectInPixels(const WindowGeometry& twips, qreal logicalDpi);
WindowGeometry OuterRectInTwips(const QRect& pixels, qreal logicalDpi);

// Where a window of that outer rectangle goes: where it is when any part of it lies on
// one of the screens, otherwise at the fallback, so a window saved on a screen that is
// gone does not open where nobody can see it.
QPoint PlaceOnScreens(const QRect& window, const QList<QRect>& screens, QPoint fallback);

// The size a window of that outer size opens at: raised to the minimum at which it can be
// used, then lowered to the available area of its screen, so that no stored size makes it
// invisible or larger than the screen.
QSize FitToScreen(QSize outer, QSize minimum, QSize available);

}  // namespace markola
