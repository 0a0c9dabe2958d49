#include "ui/sliced_text_copy.h"

#include <algorithm>
#include <utility>

namespace markola {
namespace {

// 128 KB of text: on a virtual machine the first touch of fresh pages costs a few microseconds
// a page, and each slice lands in pages of its own.
constexpr qsizetype kSliceUnits = 64 * 1024;

}  // namespace

SlicedTextCopy::SlicedTextCopy(Source source, Done done)
    : source_(std::move(source)), done_(std::move(done)) {
    slices_.setInterval(0);
    QObject::connect(&slices_, &QTimer::timeout, [this] { CopySlice(); });
}

// A copy begun again keeps its buffer, whose pages are touched already.
void SlicedTextCopy::Start() {
    copy_.resize(0);
    copied_ = 0;
    slices_.start();
}

void SlicedTextCopy::Stop() {
    slices_.stop();
    copy_ = QString();
}

void SlicedTextCopy::CopySlice() {
    const MemoTextView& text = source_();
    const qsizetype units = text.SliceUnits();
    if (copied_ > units) {
        Start();
    }
    const qsizetype slice = std::min(kSliceUnits, units - copied_);
    copy_.append(text.MemoTextSlice(copied_, slice));
    copied_ += slice;
    if (copied_ == units) {
        slices_.stop();
        done_(std::exchange(copy_, QString()));
    }
}

}  // namespace markola
