#pragma once

#include <QObject>
#include <QString>
#include <QTimer>
#include <functional>
#include <optional>

#include "storage/file_lock.h"
#include "storage/recovery_file.h"
#include "storage/recovery_writer.h"

namespace markola {

// The recovery copy of the memo on screen, which follows its unsaved edits so that a
// crash, a kill or a power cut costs a few seconds of typing at most. It is brought up to
// date 2 s after the last edit, and at least every 10 s while the typing goes on, from
// timers of its own; the writing is done by a thread of its own. The copy belongs to this
// instance for as long as it runs, through a lock that the system lets go of when the
// instance ends however it ends, so that the next start knows it is nobody's.
class RecoveryCopy : public QObject {
public:
    // The edits on screen, and the file they belong to.
    struct Edits {
        Recovery recovery;
        QString memoPath;
    };
    using Snapshot = std::function<Edits()>;

    RecoveryCopy(FileStore& files, QString folder, Snapshot snapshot);
    // A lock with no copy beside it is of no use to anyone.
    ~RecoveryCopy() override;
    RecoveryCopy(const RecoveryCopy&) = delete;
    RecoveryCopy& operator=(const RecoveryCopy&) = delete;

    void EditsChanged();
    // The edits were saved or given up.
    void Drop();
    // The state on screen, kept at once; how it failed, if it did.
    std::optional<RecoveryWrite> WriteNow();
    // A copy restored at the start is this instance's from now on.
    void Adopt(QString path, FileLock lock);

private:
    std::optional<RecoveryWrite> Post();
    int Own();

    const QString folder_;
    const Snapshot snapshot_;
    QTimer quiet_;
    QTimer longest_;
    QString path_;
    std::optional<FileLock> lock_;
    RecoveryWriter writer_;
};

}  // namespace markola
