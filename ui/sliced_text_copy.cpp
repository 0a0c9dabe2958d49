#include "ui/sliced_text_copy.h"

#include <algorithm>
#include <utility>

namespace markola {
namespace {

// Half a megabyte: a tenth of a millisecond or so, its first touch of fresh pages included.
constexpr qsizetype kSliceUnits = 256 * 1024;

}  // namespace

SlicedTextCopy::SlicedTextCopy(Source source, Done done)
    : source_(std::move(source)), done_(std::move(done)) {
    slices_.setInterval(0);
    QObject::connect(&slices_, &QTimer::timeout, [this] { CopySlice(); });
}

// A copy begun again keeps its buffer, whose pages are touched already.
void SlicedTextCopy::Start() {
    copy_.resize(0);
    slices_.start();
}

void SlicedTextCopy::Stop() {
    slices_.stop();
    copy_ = QString();
}

void SlicedTextCopy::CopySlice() {
    const QString text = source_();
    if (copy_.size() > text.size()) {
        copy_.resize(0);
    }
    if (copy_.capacity() < text.size()) {
        copy_.reserve(text.size() + kSliceUnits);  // room for the typing that begins it again
    }
    const qsizetype from = copy_.size();
    copy_.append(QStringView(text).sliced(from, std::min(kSliceUnits, text.size() - from)));
    if (copy_.size() == text.size()) {
        slices_.stop();
        done_(std::exchange(copy_, QString()));
    }
}

}  // namespace markola
