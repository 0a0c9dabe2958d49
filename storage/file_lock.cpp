#include "storage/file_lock.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <utility>

namespace markola {

std::optional<FileLock> FileLock::TryTake(const QByteArray& nativePath, Kind kind, bool create,
                                          bool wait) {
    const int flags = O_RDONLY | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK | (create ? O_CREAT : 0);
    const int fd = open(nativePath.constData(), flags, 0600);
    if (fd < 0) {
        return std::nullopt;
    }
    if (flock(fd, (kind == Kind::Shared ? LOCK_SH : LOCK_EX) | (wait ? 0 : LOCK_NB)) != 0) {
        const int error = errno;
        close(fd);
        errno = error;
        return std::nullopt;
    }
    return FileLock(fd);
}

FileLock::FileLock(FileLock&& other) noexcept : fd_(std::exchange(other.fd_, -1)) {}

FileLock& FileLock::operator=(FileLock&& other) noexcept {
    std::swap(fd_, other.fd_);
    return *this;
}

FileLock::~FileLock() {
    if (fd_ >= 0) {
        close(fd_);
    }
}

void FileLock::Share() {
    (void)flock(fd_, LOCK_SH | LOCK_NB);
}

}  // namespace markola
