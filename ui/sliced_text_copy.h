#pragma once

#include <QString>
#include <QTimer>
#include <functional>

#include "ui/memo_text_view.h"

namespace markola {

// A copy of the memo text on screen that is the copy's own, made a slice at each turn of the
// event loop so that no key waits for the whole of a large memo. It reads the text box a slice
// at a time: asking for the whole text would make the box take in the edits typed since, and
// that moves the text after each of them, at every key that begins the copy again.
class SlicedTextCopy {
public:
    // The text on screen; and where the finished copy goes.
    using Source = std::function<const MemoTextView&()>;
    using Done = std::function<void(QString copy)>;

    SlicedTextCopy(Source source, Done done);

    // Begins the copy, or begins it again: the text has changed since it was begun.
    void Start();
    void Stop();
    bool IsCopying() const { return slices_.isActive(); }

private:
    void CopySlice();

    const Source source_;
    const Done done_;
    QString copy_;
    qsizetype copied_ = 0;  // in the text box's slice units
    QTimer slices_;
};

}  // namespace markola
