#include "ui/widgets/fonts.h"

#include <QFontDatabase>
#include <QStringList>

namespace markola {

QFont JapaneseFixedFont(qreal pointSize) {
    static const QStringList kFamilies{QStringLiteral("ＭＳ ゴシック"), QStringLiteral("IPAGothic"),
                                       QStringLiteral("Noto Sans Mono CJK JP")};
    QFont font = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    for (const QString& family : kFamilies) {
        if (QFontDatabase::hasFamily(family)) {
            font.setFamily(family);
            break;
        }
    }
    font.setPointSizeF(pointSize);
    font.setWeight(QFont::Normal);
    return font;
}

}  // namespace markola
