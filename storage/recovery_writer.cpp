#include "storage/recovery_writer.h"

#include <QFile>

#include "storage/lost_edits.h"

namespace markola {

RecoveryWriter::RecoveryWriter(FileStore& files) : files_(files), thread_([this] { Run(); }) {}

RecoveryWriter::~RecoveryWriter() {
    {
        const std::lock_guard lock(mutex_);
        stopping_ = true;
    }
    changed_.notify_all();
    thread_.join();
}

void RecoveryWriter::Keep(const QString& path, const QString& memoPath, Recovery recovery) {
    Post({path, memoPath, std::move(recovery)});
}

void RecoveryWriter::Remove(const QString& path) {
    Post({path, {}, std::nullopt});
}

std::optional<RecoveryWrite> RecoveryWriter::Flush() {
    std::unique_lock lock(mutex_);
    changed_.wait(lock, [this] { return !waiting_ && !busy_; });
    return lastFailure_;
}

void RecoveryWriter::Post(Request request) {
    {
        const std::lock_guard lock(mutex_);
        waiting_ = std::move(request);
    }
    changed_.notify_all();
}

void RecoveryWriter::Run() {
    std::unique_lock lock(mutex_);
    while (true) {
        changed_.wait(lock, [this] { return waiting_ || stopping_; });
        if (!waiting_) {
            return;
        }
        const Request request = *std::exchange(waiting_, std::nullopt);
        busy_ = true;
        lock.unlock();
        std::optional<RecoveryWrite> failure = CarryOut(request);
        lock.lock();
        busy_ = false;
        lastFailure_ = std::move(failure);
        changed_.notify_all();
    }
}

// Only the copy goes: its lock stays with this instance for the copies to come.
std::optional<RecoveryWrite> RecoveryWriter::CarryOut(const Request& request) {
    if (!request.recovery || !EditsWouldBeLost(files_, request.memoPath, request.recovery->text)) {
        QFile::remove(request.path);
        return std::nullopt;
    }
    RecoveryWrite written = WriteRecoveryFile(files_, request.path, *request.recovery);
    return written.result.ok ? std::nullopt : std::optional(std::move(written));
}

}  // namespace markola
