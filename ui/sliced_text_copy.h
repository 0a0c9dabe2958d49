#pragma once

#include <QString>
#include <QTimer>
#include <functional>

namespace markola {

// A copy of the memo text on screen that is the copy's own, made a slice at each turn of the
// event loop so that no key waits for the whole of a large memo. The text on screen is shared
// only while a slice is copied: a text handed on shared would make the next edit pay for a
// copy of the whole memo, just when the user goes on typing.
class SlicedTextCopy {
public:
    // The text on screen, shared; and where the finished copy goes.
    using Source = std::function<QString()>;
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
    QTimer slices_;
};

}  // namespace markola
