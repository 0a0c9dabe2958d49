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

// The outer rectangle a window opens at: its size raised to the minimum at which it can be
// used, then lowered to the available area of its screen, and its position moved just so far
// that the whole window, frame included, lies in that area. A window that fits stays where it is.
QRect FitToScreen(const QRect& outer, QSize minimum, const QRect& available);

// What to store for a window that was read as `read` (twips), asked to open at `asked` and
// is now at `now` (outer rectangles in pixels). A field still where it was asked to be keeps
// the number read: twips, logical and device pixels do not convert exactly into one another
// (a 7000-twip height is 466.67 pixels; at a scale of 1.5 the frame costs another fraction),
// and opening and closing a window must not move or shrink it. A field within one pixel of
// where it was asked to be counts as unmoved; a user's move or resize is written as it is.
WindowGeometry KeptGeometry(const WindowGeometry& read, const QRect& asked, const QRect& now,
                            qreal logicalDpi);

// Where the window system keeps the window's position to itself (on Wayland a client sees 0
// or nothing), the position read at start-up stands, or the default where that was none, so
// that the size is still stored.
WindowGeometry WithPositionRead(WindowGeometry measured, const WindowGeometry& read);

}  // namespace markola
