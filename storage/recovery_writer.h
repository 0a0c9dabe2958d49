#pragma once

#include <QString>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <optional>
#include <thread>

#include "storage/recovery_file.h"

namespace markola {

// Keeps one recovery copy on a thread of its own, so that typing never waits for the disk:
// a write and its sync may take a second on a slow or failing disk. Only the newest request
// counts; a copy overtaken before its turn is never written. Edits that come back to the
// saved text lose nothing: their copy is removed instead.
class RecoveryWriter {
public:
    // Told on the thread how each request went: the failure, or nothing when it succeeded.
    using Outcome = std::function<void(std::optional<RecoveryWrite>)>;

    explicit RecoveryWriter(FileStore& files, Outcome outcome = {});
    // Finishes the request under way and the one waiting, then ends the thread.
    ~RecoveryWriter();
    RecoveryWriter(const RecoveryWriter&) = delete;
    RecoveryWriter& operator=(const RecoveryWriter&) = delete;

    // The text the memo on screen was loaded with or last saved from; nothing where it is not
    // known. It is digested on the thread, before any copy asked for later: the caller hands
    // over a large text without waiting, and without it being copied.
    void SetSavedText(std::optional<QString> text);
    void Keep(const QString& path, Recovery recovery);
    void Remove(const QString& path);
    // Waits until every request so far is carried out; the failure of the last one, if any.
    std::optional<RecoveryWrite> Flush();

private:
    struct Request {
        QString path;
        std::optional<Recovery> recovery;  // nothing: remove the copy
    };

    void Post(Request request);
    void Run();
    std::optional<RecoveryWrite> CarryOut(const Request& request) const;

    FileStore& files_;
    const Outcome outcome_;
    std::mutex mutex_;
    std::condition_variable changed_;
    std::optional<Request> waiting_;
    bool savedTextWaiting_ = false;
    std::optional<QString> newSavedText_;
    bool busy_ = false;
    std::optional<RecoveryWrite> lastFailure_;
    bool stopping_ = false;
    std::optional<ContentDigest> savedText_;  // the thread's own
    std::thread thread_;
};

}  // namespace markola
