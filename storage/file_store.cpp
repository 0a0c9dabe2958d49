#include "storage/file_store.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QCollator>
#include <QCollatorSortKey>
#include <QDir>
#include <algorithm>
#include <cerrno>
#include <numeric>
#include <vector>

#include "storage/file_names.h"
#include "storage/native_path.h"

namespace markola {
namespace {

constexpr QLatin1StringView kMemoExtension(".txt");

// Hidden files count: ".txt" is the unnamed memo's file. The extension is tested on the
// bytes, where a code page 932 name ends in the same four as a UTF-8 one.
QStringList MemoFileNames(const QString& folder) {
    QStringList fileNames;
    for (const DirectoryEntry& entry : ReadDirectory(NativePath(folder))) {
        if (entry.isFile &&
            QLatin1StringView(entry.nativeName).endsWith(kMemoExtension, Qt::CaseInsensitive)) {
            fileNames.append(DisplayFileName(entry.nativeName));
        }
    }
    return fileNames;
}

struct FdCloser {
    ~FdCloser() {
        if (fd >= 0) {
            close(fd);
        }
    }
    int fd;
};

// Case-insensitive, in the user's locale. Names equal but for case ("a.txt", "A.txt") keep a
// fixed order between calls.
QStringList SortedForTheUser(const QStringList& fileNames) {
    QCollator collator;
    collator.setCaseSensitivity(Qt::CaseInsensitive);
    std::vector<QCollatorSortKey> sortKeys;
    sortKeys.reserve(fileNames.size());
    for (const QString& fileName : fileNames) {
        sortKeys.push_back(collator.sortKey(fileName.toCaseFolded()));
    }
    // Sorting positions rather than names and keys keeps the swaps cheap.
    std::vector<qsizetype> order(fileNames.size());
    std::iota(order.begin(), order.end(), 0);
    std::sort(order.begin(), order.end(), [&](qsizetype a, qsizetype b) {
        const int byKey = sortKeys[a].compare(sortKeys[b]);
        return byKey != 0 ? byKey < 0 : fileNames[a] < fileNames[b];
    });

    QStringList sorted;
    sorted.reserve(fileNames.size());
    for (const qsizetype index : order) {
        sorted.append(fileNames[index]);
    }
    return sorted;
}

}  // namespace

bool DiskFileStore::Exists(const QString& path) const {
    struct stat status {};
    return !path.isEmpty() && stat(NativePath(path).constData(), &status) == 0 &&
           S_ISREG(status.st_mode);
}

// Non-blocking, so that opening a pipe or device of that name returns at once and is refused.
std::optional<QByteArray> DiskFileStore::ReadAll(const QString& path) const {
    if (path.isEmpty()) {
        return std::nullopt;
    }
    const FdCloser file{open(NativePath(path).constData(), O_RDONLY | O_CLOEXEC | O_NONBLOCK)};
    struct stat status {};
    if (file.fd < 0 || fstat(file.fd, &status) != 0 || !S_ISREG(status.st_mode) ||
        status.st_size > kMaxMemoFileSize) {
        return std::nullopt;
    }
    QByteArray bytes(status.st_size, Qt::Uninitialized);
    qsizetype done = 0;
    while (done < bytes.size()) {
        const ssize_t got = read(file.fd, bytes.data() + done, bytes.size() - done);
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
    if (read(file.fd, &probe, 1) != 0) {
        return std::nullopt;
    }
    return bytes;
}

std::optional<FileIdentity> DiskFileStore::Identity(const QString& path) const {
    struct stat status {};
    if (path.isEmpty() || stat(NativePath(path).constData(), &status) != 0) {
        return std::nullopt;
    }
    return FileIdentity{
        .size = status.st_size,
        .modifiedNs = qint64{status.st_mtim.tv_sec} * 1'000'000'000 + status.st_mtim.tv_nsec,
        .device = status.st_dev,
        .inode = status.st_ino};
}

WriteResult DiskFileStore::WriteAll(const QString& path, const QByteArray& bytes) {
    if (const int injected = injectFault_ ? injectFault_() : 0; injected != 0) {
        return WriteFailure(injected);
    }
    if (path.isEmpty()) {
        return WriteFailure(ENOENT);
    }
    return ReplaceFileAtomically(NativePath(path), bytes);
}

QStringList DiskFileStore::ListMemoNames(const QString& folder) {
    if (folder.isEmpty() || !QDir().mkpath(folder)) {
        return {};
    }
    QStringList names = SortedForTheUser(MemoFileNames(folder));
    for (QString& name : names) {
        name.chop(kMemoExtension.size());
    }
    return names;
}

}  // namespace markola
