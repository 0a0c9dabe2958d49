#include "storage/file_store.h"

#include <sys/stat.h>

#include <QCollator>
#include <QCollatorSortKey>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <algorithm>
#include <cerrno>
#include <numeric>
#include <system_error>
#include <vector>

#include "storage/native_path.h"

namespace markola {
namespace {

constexpr QLatin1StringView kMemoExtension(".txt");

// What an injected fault reports: the error the system gives for a real failure of that step.
int InjectedError(WriteStep step) {
    switch (step) {
        case WriteStep::Open:
            return EACCES;
        case WriteStep::Write:
            return ENOSPC;
        case WriteStep::Commit:
            return EIO;
    }
    return EIO;
}

WriteResult Failed(int errorCode) {
    return {false, errorCode, QString::fromStdString(std::generic_category().message(errorCode))};
}

QStringList MemoFileNames(const QString& folder) {
    // Hidden is needed for ".txt", the unnamed memo's file; System would add broken links.
    // The extension is tested by hand: a name filter costs a pattern match per entry.
    QDirIterator it(folder, QDir::Files | QDir::Hidden);
    QStringList fileNames;
    while (it.hasNext()) {
        it.next();
        if (it.fileName().endsWith(kMemoExtension, Qt::CaseInsensitive)) {
            fileNames.append(it.fileName());
        }
    }
    return fileNames;
}

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
    return !path.isEmpty() && QFileInfo(path).isFile();
}

std::optional<QByteArray> DiskFileStore::ReadAll(const QString& path) const {
    // Checked before opening: opening a pipe or device for reading could block or never end.
    const QFileInfo info(path);
    if (path.isEmpty() || !info.isFile() || info.size() > kMaxMemoFileSize) {
        return std::nullopt;
    }
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Unbuffered)) {
        return std::nullopt;
    }
    const qint64 size = file.size();
    if (size > kMaxMemoFileSize) {
        return std::nullopt;
    }
    QByteArray bytes(size, Qt::Uninitialized);
    if (file.read(bytes.data(), size) != size) {
        return std::nullopt;
    }
    // A file that grew after its size was taken would otherwise lose its tail unnoticed.
    char probe = 0;
    if (file.read(&probe, 1) != 0) {
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
    for (const WriteStep step : {WriteStep::Open, WriteStep::Write, WriteStep::Commit}) {
        if (injectFault_ && injectFault_(step)) {
            return Failed(InjectedError(step));
        }
    }
    if (path.isEmpty()) {
        return Failed(ENOENT);
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
