#include "ui/window_placement.h"

#include <gtest/gtest.h>

namespace markola {
namespace {

TEST(WindowPlacement, TwipsAndPixelsAtTheScreensDpi) {
    struct Case {
        qreal dpi;
        WindowGeometry twips;
        QRect pixels;
    };
    const Case cases[] = {
        {96, {5820, 6390, 1920, 1335}, {128, 89, 388, 426}},
        {96, {6000, 7000, 1500, 1500}, {100, 100, 400, 467}},
        {144, {5820, 6390, 1920, 1335}, {192, 134, 582, 639}},  // 133.5 rounds up
        {96, {0, 0, 0, 0}, {0, 0, 0, 0}},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(OuterRectInPixels(c.twips, c.dpi), c.pixels) << c.dpi;
    }
    EXPECT_EQ(OuterRectInTwips({128, 89, 388, 426}, 96), (WindowGeometry{5820, 6390, 1920, 1335}));
    EXPECT_EQ(OuterRectInTwips({192, 134, 582, 639}, 144),
              (WindowGeometry{5820, 6390, 1920, 1340}));
}

TEST(WindowPlacement, OnlyAWindowOnNoScreenIsMoved) {
    const QList<QRect> screens{{0, 0, 1024, 768}, {1024, 0, 800, 600}};
    const QPoint fallback(128, 89);
    struct Case {
        QRect window;
        QPoint placed;
    };
    const Case cases[] = {
        {{100, 100, 400, 400}, {100, 100}},
        {{-390, -390, 400, 400}, {-390, -390}},  // a corner still shows
        {{1700, 500, 400, 400}, {1700, 500}},    // on the second screen
        {{1900, 100, 400, 400}, fallback},       // right of both
        {{1100, 650, 400, 400}, fallback},       // below the second, right of the first
        {{-500, 100, 400, 400}, fallback},       // left of both
        {{0, 0, 0, 0}, {0, 0}},                  // a window of no size at the corner
        {{100000, 100000, 400, 400}, fallback},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(PlaceOnScreens(c.window, screens, fallback), c.placed)
            << c.window.x() << "," << c.window.y();
    }
}

}  // namespace
}  // namespace markola
