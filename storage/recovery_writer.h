#pragma once

#include <QString>
#include <condition_variable>
#include <mutex>
#include <optional>
#include <thread>

#include "storage/recovery_file.h"

namespace markola {

// Keeps one recovery copy on a thread of its own, so that typing never waits for the disk:
// a write and its sync may take a second on a slow or failing disk. Only the newest request
// counts; a copy overtaken before its turn is never written. Edits that the memo's file
// holds already are not kept: their copy is removed instead.
class RecoveryWriter {
public:
    explicit RecoveryWriter(FileStore& files);
    // Finishes the request under way and the one waiting, then ends the thread.
    ~RecoveryWriter();
    RecoveryWriter(const RecoveryWriter&) = delete;
    RecoveryWriter& operator=(const RecoveryWriter&) = delete;

    void Keep(const QString& path, const QString& memoPath, Recovery recovery);
    void Remove(const QString& path);
    // Waits until every request so far is carried out; the failure of the last one, if any.
    std::optional<RecoveryWrite> Flush();

private:
    struct Request {
        QString path, memoPath;
        std::optional<Recovery> recovery;  // nothing: remove the copy
    };

    void Post(Request request);
    void Run();
    std::optional<RecoveryWrite> CarryOut(const Request& request);

    FileStore& files_;
    std::mutex mutex_;
    std::condition_variable changed_;
    std::optional<Request> waiting_;
    bool busy_ = false;
    std::optional<RecoveryWrite> lastFailure_;
    bool stopping_ = false;
    std::thread thread_;
};

}  // namespace markola
