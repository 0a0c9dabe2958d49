#include "ui/recovery_copy.h"

#include <QFile>
#include <cerrno>

#include "storage/native_path.h"

namespace markola {
namespace {

constexpr int kQuietMs = 2000;
constexpr int kLongestMs = 10000;

}  // namespace

RecoveryCopy::RecoveryCopy(FileStore& files, QString folder, Snapshot snapshot)
    : folder_(std::move(folder)), snapshot_(std::move(snapshot)), writer_(files) {
    quiet_.setSingleShot(true);
    quiet_.setInterval(kQuietMs);
    longest_.setSingleShot(true);
    longest_.setInterval(kLongestMs);
    connect(&quiet_, &QTimer::timeout, this, [this] { Post(); });
    connect(&longest_, &QTimer::timeout, this, [this] { Post(); });
}

RecoveryCopy::~RecoveryCopy() {
    writer_.Flush();
    if (lock_ && !QFile::exists(path_)) {
        QFile::remove(RecoveryLockPath(path_));
    }
}

void RecoveryCopy::EditsChanged() {
    quiet_.start();
    if (!longest_.isActive()) {
        longest_.start();
    }
}

// At once: a save or a No has just waited for the disk in any case, and a copy still on
// its way must not come back after the edits are gone.
void RecoveryCopy::Drop() {
    quiet_.stop();
    longest_.stop();
    if (!path_.isEmpty()) {
        writer_.Remove(path_);
        writer_.Flush();
    }
}

std::optional<RecoveryWrite> RecoveryCopy::WriteNow() {
    if (std::optional<RecoveryWrite> failure = Post()) {
        return failure;
    }
    return writer_.Flush();
}

void RecoveryCopy::Adopt(QString path, FileLock lock) {
    path_ = std::move(path);
    lock_ = std::move(lock);
}

// A copy that cannot even be begun is reported only where the caller asks.
std::optional<RecoveryWrite> RecoveryCopy::Post() {
    quiet_.stop();
    longest_.stop();
    if (const int error = Own(); error != 0) {
        return RecoveryWrite{folder_, WriteFailure(error)};
    }
    Edits edits = snapshot_();
    writer_.Keep(path_, edits.memoPath, std::move(edits.recovery));
    return std::nullopt;
}

// A name of its own for the copy, and its lock beside it, made at the first copy: 0 or the
// errno.
int RecoveryCopy::Own() {
    if (lock_) {
        return 0;
    }
    if (const int error = MakeRecoveryFolder(folder_); error != 0) {
        return error;
    }
    const QString path = NewRecoveryPath(folder_);
    lock_ = FileLock::TryTake(NativePath(RecoveryLockPath(path)), FileLock::Kind::Exclusive, true);
    if (!lock_) {
        return errno;
    }
    path_ = path;
    return 0;
}

}  // namespace markola
