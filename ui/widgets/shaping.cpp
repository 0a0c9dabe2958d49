#include "ui/widgets/shaping.h"

#include <algorithm>

#include "storage/cp932.h"
#include "ui/widgets/long_line_layout.h"

namespace markola {

bool DrawsAlikeWithoutShaping(QStringView text) {
    const bool glyphless = std::any_of(text.begin(), text.end(), [](QChar c) {
        return c.category() == QChar::Other_PrivateUse ||
               (c.category() == QChar::Other_Control && c != u'\t' && c != u'\r' && c != u'\n');
    });
    return !glyphless && cp932::Encode(text).unencodableAt == -1;
}

bool HoldsLongLine(QStringView documentText) {
    for (qsizetype start = 0; start < documentText.size();) {
        const qsizetype end = documentText.indexOf(QChar::ParagraphSeparator, start);
        if ((end < 0 ? documentText.size() : end) - start >= kLongLineLength) {
            return true;
        }
        if (end < 0) {
            break;
        }
        start = end + 1;
    }
    return false;
}

QFont WithShaping(QFont font, bool shaped) {
    const int strategy = font.styleStrategy();
    font.setStyleStrategy(QFont::StyleStrategy(shaped ? strategy & ~QFont::PreferNoShaping
                                                      : strategy | QFont::PreferNoShaping));
    return font;
}

}  // namespace markola
