#include "storage/recovery_writer.h"

#include "storage/lost_edits.h"
#include "storage/native_path.h"

namespace markola {

RecoveryWriter::RecoveryWriter(FileStore& files, Outcome outcome)
    : files_(files), outcome_(std::move(outcome)), thread_([this] { Run(); }) {}

RecoveryWriter::~RecoveryWriter() {
    {
        const std::lock_guard lock(mutex_);
        stopping_ = true;
    }
    changed_.notify_all();
    thread_.join();
}

void RecoveryWriter::SetSavedText(std::optional<QString> text) {
    {
        const std::lock_guard lock(mutex_);
        savedTextWaiting_ = true;
        newSavedText_ = std::move(text);
    }
    changed_.notify_all();
}

void RecoveryWriter::Keep(const QString& path, Recovery recovery) {
    Post({path, std::move(recovery)});
}

void RecoveryWriter::Remove(const QString& path) {
    Post({path, std::nullopt});
}

std::optional<RecoveryWrite> RecoveryWriter::Flush() {
    std::unique_lock lock(mutex_);
    changed_.wait(lock, [this] { return !waiting_ && !savedTextWaiting_ && !busy_; });
    return lastFailure_;
}

void RecoveryWriter::Post(Request request) {
    {
        const std::lock_guard lock(mutex_);
        waiting_ = std::move(request);
    }
    changed_.notify_all();
}

// The texts handed over are let go of here, on the thread, once they are digested or written,
// and before a flush returns: a text still shared then would make the next edit copy it whole.
void RecoveryWriter::Run() {
    std::unique_lock lock(mutex_);
    while (true) {
        changed_.wait(lock, [this] { return waiting_ || savedTextWaiting_ || stopping_; });
        if (!waiting_ && !savedTextWaiting_) {
            return;
        }
        std::optional<QString> savedText = std::exchange(newSavedText_, std::nullopt);
        const bool savedTextChanged = std::exchange(savedTextWaiting_, false);
        std::optional<Request> request = std::exchange(waiting_, std::nullopt);
        busy_ = true;
        lock.unlock();
        if (savedTextChanged) {
            savedText_ = savedText ? std::optional(DigestOfText(*savedText)) : std::nullopt;
            savedText.reset();
        }
        std::optional<RecoveryWrite> failure = request ? CarryOut(*request) : std::nullopt;
        const bool requested = request.has_value();
        request.reset();
        if (requested && outcome_) {
            outcome_(failure);
        }
        lock.lock();
        busy_ = false;
        if (requested) {
            lastFailure_ = std::move(failure);
        }
        changed_.notify_all();
    }
}

std::optional<RecoveryWrite> RecoveryWriter::CarryOut(const Request& request) const {
    if (!request.recovery || !EditsWouldBeLost(request.recovery->text, savedText_)) {
        RemoveDurably(NativePath(request.path));
        return std::nullopt;
    }
    RecoveryWrite written = WriteRecoveryFile(files_, request.path, *request.recovery);
    return written.result.ok ? std::nullopt : std::optional(std::move(written));
}

}  // namespace markola
