#include "ui/widgets/memo_text_mapping.h"

#include <algorithm>
#include <iterator>

namespace markola {
namespace {

constexpr char16_t kCr = u'\r';
constexpr char16_t kLf = u'\n';
constexpr char16_t kBlockBreak = u'\u2029';

// Characters whose meaning the document would change on the way in or out.
bool BreaksRoundTrip(char16_t c) {
    return c == kLoneCrMark.unicode() || c == kLoneLfMark.unicode() || c == kBlockBreak ||
           c == u'\uFDD0' || c == u'\uFDD1';
}

bool IsNoncharacter(char16_t c) {
    return (c >= u'\uFDD0' && c <= u'\uFDEF') || c == u'\uFFFE' || c == u'\uFFFF';
}

bool IsCrLfAt(QStringView text, qsizetype i) {
    return i + 1 < text.size() && text[i] == kCr && text[i + 1] == kLf;
}

}  // namespace

DocumentText DocumentTextFromMemo(QStringView memo) {
    DocumentText result;
    result.text.resize(memo.size());
    QChar* out = result.text.data();
    for (qsizetype i = 0; i < memo.size(); ++i) {
        const char16_t c = memo[i].unicode();
        if (c == kCr) {
            if (IsCrLfAt(memo, i)) {
                ++i;
                *out++ = QChar(kLf);
            } else {
                *out++ = kLoneCrMark;
                result.holdsMarks = true;
            }
        } else if (c == kLf) {
            *out++ = kLoneLfMark;
            result.holdsMarks = true;
        } else {
            result.roundTrips = result.roundTrips && !BreaksRoundTrip(c);
            *out++ = QChar(c);
        }
    }
    result.text.truncate(out - result.text.constData());
    return result;
}

QString MemoTextFromDocument(QStringView raw) {
    const auto breaks = std::count(raw.begin(), raw.end(), QChar(kBlockBreak));
    QString memo(raw.size() + breaks, Qt::Uninitialized);
    QChar* out = memo.data();
    for (const QChar c : raw) {
        if (c == QChar(kBlockBreak)) {
            *out++ = QChar(kCr);
            *out++ = QChar(kLf);
        } else if (c == kLoneCrMark) {
            *out++ = QChar(kCr);
        } else if (c == kLoneLfMark) {
            *out++ = QChar(kLf);
        } else {
            *out++ = c;
        }
    }
    return memo;
}

QString InsertedText(QStringView pasted) {
    QString text;
    text.reserve(pasted.size());
    for (qsizetype i = 0; i < pasted.size(); ++i) {
        const char16_t c = pasted[i].unicode();
        if (IsCrLfAt(pasted, i)) {
            ++i;
            text += QChar(kLf);
        } else if (c == kCr || c == kBlockBreak || c == u'\u2028') {
            text += QChar(kLf);
        } else if (!IsNoncharacter(c)) {
            text += QChar(c);
        }
    }
    return text;
}

int DocumentColumn(QStringView blockText, int memoColumn) {
    const int column = std::clamp(memoColumn, 0, static_cast<int>(blockText.size()));
    if (column > 0 && column < blockText.size() && blockText[column - 1].isHighSurrogate() &&
        blockText[column].isLowSurrogate()) {
        return column - 1;
    }
    return column;
}

ChangedSpan FindChangedSpan(QStringView old, QStringView replacement) {
    const auto [oldDiff, newDiff] =
        std::mismatch(old.begin(), old.end(), replacement.begin(), replacement.end());
    qsizetype start = oldDiff - old.begin();
    // Whether a CR pairs with the next LF, and whether a high surrogate is whole, depends
    // on the character after it, which differs here.
    while (start > 0 && (old[start - 1] == QChar(kCr) || old[start - 1].isHighSurrogate())) {
        --start;
    }
    const qsizetype room = std::min(old.size(), replacement.size()) - start;
    const auto [oldRevDiff, newRevDiff] =
        std::mismatch(old.rbegin(), old.rbegin() + room, replacement.rbegin());
    qsizetype suffix = oldRevDiff - old.rbegin();
    while (suffix > 0 &&
           (old[old.size() - suffix] == QChar(kLf) || old[old.size() - suffix].isLowSurrogate())) {
        --suffix;
    }
    return {static_cast<int>(start), static_cast<int>(old.size() - suffix),
            static_cast<int>(replacement.size() - suffix)};
}

}  // namespace markola
