#include "ui/widgets/twips.h"

#include <cmath>

namespace markola {
namespace {
constexpr qreal kTwipsPerInch = 1440;
}  // namespace

int TwipsToPixels(int twips, qreal logicalDpi) {
    return static_cast<int>(std::lround(twips * logicalDpi / kTwipsPerInch));
}

int PixelsToTwips(int pixels, qreal logicalDpi) {
    return static_cast<int>(std::lround(pixels * kTwipsPerInch / logicalDpi));
}

}  // namespace markola
