#include "ui/recovery_copy.h"

#include <QFile>
#include <cerrno>

#include "storage/native_path.h"

namespace markola {
namespace {

constexpr int kLongestPauses = 5;

}  // namespace

// The writer's thread tells this object, through its event queue, which outlives no request.
RecoveryCopy::RecoveryCopy(FileStore& files, QString folder, TextOnScreen text, Trouble trouble,
                           std::chrono::milliseconds pause)
    : folder_(std::move(folder)),
      text_(std::move(text)),
      trouble_(std::move(trouble)),
      pause_(pause),
      writer_(files,
              [this](std::optional<RecoveryWrite> failure) {
                  QMetaObject::invokeMethod(
                      this,
                      [this, failure = std::move(failure)] {
                          Report(failure ? std::optional(failure->result) : std::nullopt);
                      },
                      Qt::QueuedConnection);
              }),
      textCopy_(text_, [this](QString text) { Keep(std::move(text)); }) {
    quiet_.setSingleShot(true);
    quiet_.setInterval(pause_);
    longest_.setSingleShot(true);
    connect(&quiet_, &QTimer::timeout, this, [this] { TakeText(); });
    connect(&longest_, &QTimer::timeout, this, [this] { TakeText(); });
}

RecoveryCopy::~RecoveryCopy() {
    writer_.Flush();
    if (lock_ && !QFile::exists(path_)) {
        QFile::remove(RecoveryLockPath(path_));
    }
}

void RecoveryCopy::StartFrom(QString savedText) {
    Drop();
    writer_.SetSavedText(std::move(savedText));
}

// A copy of the text under way no longer holds the text on screen: it begins again.
void RecoveryCopy::UserEdited(Recovery memo) {
    memo_ = std::move(memo);
    if (textCopy_.IsCopying()) {
        textCopy_.Start();
    }
    Arm();
}

void RecoveryCopy::MemoChanged(Recovery memo) {
    if (memo_ && *memo_ != memo) {
        UserEdited(std::move(memo));
    }
}

// At once, the copy and its lock: a save or a No has just waited for the disk in any case,
// and a copy still on its way must not come back after the edits are gone.
void RecoveryCopy::Drop() {
    quiet_.stop();
    longest_.stop();
    textCopy_.Stop();
    memo_.reset();
    if (lock_) {
        writer_.Remove(path_);
        writer_.Flush();
        QFile::remove(RecoveryLockPath(path_));
        lock_.reset();
        path_.clear();
    }
}

bool RecoveryCopy::MakeRoom() {
    textCopy_.Stop();
    writer_.Flush();
    if (!lock_ || !QFile::exists(path_)) {
        return false;
    }
    writer_.Remove(path_);
    writer_.Flush();
    if (memo_) {
        Arm();
    }
    return true;
}

std::optional<RecoveryWrite> RecoveryCopy::WriteNow() {
    if (!memo_) {
        return std::nullopt;
    }
    if (std::optional<RecoveryWrite> failure = Claim()) {
        return failure;
    }
    // No edit comes while the writer is waited for, so the text is handed on shared.
    Keep(text_().MemoText());
    return writer_.Flush();
}

void RecoveryCopy::Adopt(QString path, FileLock lock, Recovery memo) {
    Drop();
    writer_.SetSavedText(std::nullopt);
    path_ = std::move(path);
    lock_ = std::move(lock);
    memo_ = std::move(memo);
}

// The first copy of new edits comes as soon as a pause would bring it, typing or not.
void RecoveryCopy::Arm() {
    quiet_.start();
    if (!longest_.isActive()) {
        longest_.start(lock_ ? kLongestPauses * pause_ : pause_);
    }
}

// Said once, and again only when it changes: the same failure at every copy is no news.
void RecoveryCopy::Report(std::optional<WriteResult> failure) {
    const auto same = [](const WriteResult& a, const WriteResult& b) {
        return a.errorCode == b.errorCode && a.notRegularFile == b.notRegularFile;
    };
    if (failure.has_value() == reported_.has_value() && (!failure || same(*failure, *reported_))) {
        return;
    }
    reported_ = failure;
    if (trouble_) {
        trouble_(reported_);
    }
}

void RecoveryCopy::TakeText() {
    quiet_.stop();
    longest_.stop();
    if (!Claim()) {
        textCopy_.Start();
    }
}

// The copy's own name and lock, or how taking them failed, said.
std::optional<RecoveryWrite> RecoveryCopy::Claim() {
    if (const int error = Own(); error != 0) {
        RecoveryWrite failure{folder_, WriteFailure(error)};
        Report(failure.result);
        return failure;
    }
    return std::nullopt;
}

void RecoveryCopy::Keep(QString text) {
    quiet_.stop();
    longest_.stop();
    textCopy_.Stop();
    Recovery edits = *memo_;
    edits.text = std::move(text);
    writer_.Keep(path_, std::move(edits));
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
