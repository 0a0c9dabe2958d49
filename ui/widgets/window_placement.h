#pragma once

#include <QList>
#include <QPoint>
#include <QRect>

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

}  // namespace markola
