#pragma once

#include <QByteArray>
#include <optional>

namespace markola {

// An advisory lock (flock) on a file or a folder, held for as long as this object lives.
// The kernel lets go of it when the process ends however it ends, a SIGKILL or a crash
// included, so a lock that can be taken belongs to no running program.
class FileLock {
public:
    enum class Kind { Shared, Exclusive };

    // Takes the lock, without waiting unless asked to, creating the file when asked to (mode
    // 0600); nothing when another holder has it (errno EWOULDBLOCK) or the file cannot be
    // opened (errno says why). A link is not followed: name a folder reached through one as
    // "folder/.".
    static std::optional<FileLock> TryTake(const QByteArray& nativePath, Kind kind, bool create,
                                           bool wait = false);

    FileLock(FileLock&& other) noexcept;
    FileLock& operator=(FileLock&& other) noexcept;
    FileLock(const FileLock&) = delete;
    FileLock& operator=(const FileLock&) = delete;
    ~FileLock();

    // From exclusive to shared, so that others may take it shared too.
    void Share();

private:
    explicit FileLock(int fd) : fd_(fd) {}

    int fd_ = -1;
};

}  // namespace markola
