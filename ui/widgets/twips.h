#pragma once

#include <QtGlobal>

namespace markola {

// Window and control geometry is kept in twips, 1440 to the inch: 15 to a pixel on a
// screen of 96 logical dots per inch. Both conversions round to the nearest unit.
int TwipsToPixels(int twips, qreal logicalDpi);
int PixelsToTwips(int pixels, qreal logicalDpi);

}  // namespace markola
