#include "ui/widgets/window_placement.h"

#include <algorithm>
#include <cstdlib>

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

QRect FitToScreen(const QRect& outer, QSize minimum, const QRect& available) {
    QRect fitted(outer.topLeft(), outer.size().expandedTo(minimum).boundedTo(available.size()));
    fitted.moveRight(std::min(fitted.right(), available.right()));
    fitted.moveBottom(std::min(fitted.bottom(), available.bottom()));
    fitted.moveLeft(std::max(fitted.left(), available.left()));
    fitted.moveTop(std::max(fitted.top(), available.top()));
    return fitted;
}

WindowGeometry KeptGeometry(const WindowGeometry& read, const QRect& asked, const QRect& now,
                            qreal logicalDpi) {
    const auto kept = [logicalDpi](int readTwips, int askedPixels, int nowPixels) {
        return std::abs(nowPixels - askedPixels) <= 1 ? readTwips
                                                      : PixelsToTwips(nowPixels, logicalDpi);
    };
    return {.width = kept(read.width, asked.width(), now.width()),
            .height = kept(read.height, asked.height(), now.height()),
            .left = kept(read.left, asked.x(), now.x()),
            .top = kept(read.top, asked.y(), now.y())};
}

WindowGeometry WithPositionRead(WindowGeometry measured, const WindowGeometry& read) {
    measured.left = read.left > 0 ? read.left : kDefaultWindowGeometry.left;
    measured.top = read.top > 0 ? read.top : kDefaultWindowGeometry.top;
    return measured;
}

}  // namespace markola
