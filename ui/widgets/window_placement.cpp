#include "ui/widgets/window_placement.h"

#include <algorithm>

#include "ui/widgets/twips.h"

namespace markola {

QRect OuterRectInPixels(const WindowGeometry& twips, qreal logicalDpi) {
    return {TwipsToPixels(twips.left, logicalDpi), TwipsToPixels(twips.top, logicalDpi),
            TwipsToPixels(twips.width, logicalDpi), TwipsToPixels(twips.height, logicalDpi)};
}

WindowGeometry OuterRectInTwips(const QRect& pixels, qreal logicalDpi) {
    return {.width = PixelsToTwips(pixels.width(), logicalDpi),
            .height = PixelsToTwips(pixels.height(), logicalDpi),
            .left = PixelsToTwips(pixels.x(), logicalDpi),
            .top = PixelsToTwips(pixels.y(), logicalDpi)};
}

QPoint PlaceOnScreens(const QRect& window, const QList<QRect>& screens, QPoint fallback) {
    // A window of no size still has a corner that must be on a screen.
    const QRect probe(window.topLeft(), window.size().expandedTo({1, 1}));
    const bool visible = std::any_of(screens.begin(), screens.end(), [&probe](const QRect& screen) {
        return screen.intersects(probe);
    });
    return visible ? window.topLeft() : fallback;
}

QSize FitToScreen(QSize outer, QSize minimum, QSize available) {
    return outer.expandedTo(minimum).boundedTo(available);
}

}  // namespace markola
