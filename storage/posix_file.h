#pragma once

#include <dirent.h>
#include <unistd.h>

#include <QByteArray>
#include <cerrno>
#include <functional>
#include <memory>
#include <optional>

namespace markola {

// Closes a file descriptor, when it holds one, at the end of its scope.
struct FdCloser {
    ~FdCloser() {
        if (fd >= 0) {
            close(fd);
        }
    }
    int fd;
};

// Calls step(done), a read or write of the bytes from done on that returns what it moved,
// until size bytes are moved; interrupted calls are repeated. False when a step fails, or
// moves nothing (errno is ENOSPC then: a write that makes no progress has a full device).
template <typename Step>
bool MoveEveryByte(qsizetype size, Step step) {
    qsizetype done = 0;
    while (done < size) {
        const ssize_t moved = step(done);
        if (moved < 0 && errno == EINTR) {
            continue;
        }
        if (moved <= 0) {
            errno = moved == 0 ? ENOSPC : errno;
            return false;
        }
        done += moved;
    }
    return true;
}

struct DirCloser {
    void operator()(DIR* dir) const { closedir(dir); }
};
using FolderEntries = std::unique_ptr<DIR, DirCloser>;

// The folder, open for reading its entries; nothing when it cannot be opened or its path
// ends in a link, which would lead wherever another program points it.
FolderEntries OpenFolderNoFollow(const QByteArray& nativeFolder);

// The whole content of an open file, read to its end, when it is a regular file of at most
// maxSize bytes; nothing otherwise. A pipe or device is refused before anything is read.
std::optional<QByteArray> ReadRegularFile(int fd, qint64 maxSize);

// The same bytes handed to take a piece at a time, so that none of them need stay in memory: how
// many there were, or nothing where ReadRegularFile gives nothing, maybe after some were taken.
std::optional<qint64> ReadRegularFileInPieces(int fd, qint64 maxSize,
                                              const std::function<void(QByteArrayView)>& take);

// The folder, made when missing, as only its owner may enter it: 0 or the errno. A link, or
// a folder of someone else, would hand what goes into it to wherever it leads.
int MakePrivateFolder(const QByteArray& folder);

}  // namespace markola
