#include "storage/posix_file.h"

#include <fcntl.h>
#include <sys/stat.h>

#include <algorithm>
#include <array>
#include <cerrno>

namespace markola {
namespace {

constexpr mode_t kPrivateFolderMode = 0700;

std::optional<qint64> RegularFileSize(int fd, qint64 maxSize) {
    struct stat status {};
    if (fd < 0 || fstat(fd, &status) != 0 || !S_ISREG(status.st_mode) || status.st_size > maxSize) {
        return std::nullopt;
    }
    return status.st_size;
}

// A file that grew after its size was taken would otherwise lose its tail unnoticed.
bool ReadToItsEnd(int fd) {
    char probe = 0;
    return read(fd, &probe, 1) == 0;
}

}  // namespace

std::optional<QByteArray> ReadRegularFile(int fd, qint64 maxSize) {
    const std::optional<qint64> size = RegularFileSize(fd, maxSize);
    if (!size) {
        return std::nullopt;
    }
    QByteArray bytes(*size, Qt::Uninitialized);
    if (!MoveEveryByte(
            bytes.size(),
            [&](qsizetype done) { return read(fd, bytes.data() + done, bytes.size() - done); }) ||
        !ReadToItsEnd(fd)) {
        return std::nullopt;
    }
    return bytes;
}

std::optional<qint64> ReadRegularFileInPieces(int fd, qint64 maxSize,
                                              const std::function<void(QByteArrayView)>& take) {
    const std::optional<qint64> size = RegularFileSize(fd, maxSize);
    if (!size) {
        return std::nullopt;
    }
    std::array<char, 64 * 1024> piece;
    for (qint64 left = *size; left > 0;) {
        const auto length = static_cast<qsizetype>(std::min<qint64>(piece.size(), left));
        if (!MoveEveryByte(length, [&](qsizetype done) {
                return read(fd, piece.data() + done, length - done);
            })) {
            return std::nullopt;
        }
        take(QByteArrayView(piece.data(), length));
        left -= length;
    }
    return ReadToItsEnd(fd) ? size : std::nullopt;
}

FolderEntries OpenFolderNoFollow(const QByteArray& nativeFolder) {
    const int fd = open(nativeFolder.constData(),
                        O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
    FolderEntries dir(fdopendir(fd));
    if (fd >= 0 && !dir) {
        close(fd);
    }
    return dir;
}

int MakePrivateFolder(const QByteArray& folder) {
    if (mkdir(folder.constData(), kPrivateFolderMode) != 0 && errno != EEXIST) {
        return errno;
    }
    struct stat status {};
    if (lstat(folder.constData(), &status) != 0) {
        return errno;
    }
    if (!S_ISDIR(status.st_mode)) {
        return ENOTDIR;
    }
    if (status.st_uid != geteuid()) {
        return EPERM;
    }
    if ((status.st_mode & 07777) != kPrivateFolderMode &&
        chmod(folder.constData(), kPrivateFolderMode) != 0) {
        return errno;
    }
    return 0;
}

}  // namespace markola
