#pragma once

#include <dirent.h>
#include <unistd.h>

#include <QByteArray>
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

struct DirCloser {
    void operator()(DIR* dir) const { closedir(dir); }
};

// The whole content of an open file, read to its end, when it is a regular file of at most
// maxSize bytes; nothing otherwise. A pipe or device is refused before anything is read.
std::optional<QByteArray> ReadRegularFile(int fd, qint64 maxSize);

}  // namespace markola
