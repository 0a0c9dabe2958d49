#include "storage/posix_file.h"

#include <sys/stat.h>

#include <cerrno>

namespace markola {

std::optional<QByteArray> ReadRegularFile(int fd, qint64 maxSize) {
    struct stat status {};
    if (fd < 0 || fstat(fd, &status) != 0 || !S_ISREG(status.st_mode) || status.st_size > maxSize) {
        return std::nullopt;
    }
    QByteArray bytes(status.st_size, Qt::Uninitialized);
    qsizetype done = 0;
    while (done < bytes.size()) {
        const ssize_t got = read(fd, bytes.data() + done, bytes.size() - done);
        if (got < 0 && errno == EINTR) {
            continue;
        }
        if (got <= 0) {
            return std::nullopt;
        }
        done += got;
    }
    // A file that grew after its size was taken would otherwise lose its tail unnoticed.
    char probe = 0;
    if (read(fd, &probe, 1) != 0) {
        return std::nullopt;
    }
    return bytes;
}

}  // namespace markola
