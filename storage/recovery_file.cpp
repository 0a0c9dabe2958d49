#include "storage/recovery_file.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/statvfs.h>

#include <QDataStream>
#include <QFile>
#include <QRandomGenerator>
#include <QtEndian>
#include <algorithm>
#include <cerrno>
#include <limits>
#include <memory>
#include <vector>

#include "storage/native_path.h"
#include "storage/posix_file.h"

namespace markola {
namespace {

constexpr quint32 kMagic = 0x4d4b5232;  // "MKR2"
constexpr auto kStreamVersion = QDataStream::Qt_6_0;
const QString kSuffix = QString::fromLatin1(kRecoverySuffix);
// The edits of the largest memo that loads: each of its bytes is at most one UTF-16 code unit
// of text; the name and the rest take far less than the margin.
constexpr qint64 kMaxRecoveryFileSize = 2 * kMaxMemoFileSize + 1024 * 1024;
// What the file system takes beyond the bytes themselves: blocks, the temporary file's entry.
constexpr qint64 kSpareRoom = 64 * 1024;
// The start of a recovery file that holds its memo's name: a file name's 255 bytes are at most
// 255 code units, and the rest of the start is far less than the margin.
constexpr qsizetype kHeaderSize = 4096;

// The length and the code units of a text as QDataStream writes them, the units swapped straight
// into place: streamed, a large memo's text would be copied once more on its way.
void AppendText(QByteArray& bytes, const QString& text) {
    const quint32 length =
        text.isNull() ? quint32{0xFFFFFFFF} : static_cast<quint32>(text.size() * sizeof(char16_t));
    QDataStream(&bytes, QIODevice::WriteOnly | QIODevice::Append) << length;
    const qsizetype start = bytes.size();
    bytes.resize(start + text.size() * qsizetype{sizeof(char16_t)});
    qToBigEndian<char16_t>(text.utf16(), text.size(), bytes.data() + start);
}

// The text goes as UTF-16 code units, so every character comes back, whether or not the
// code page can hold it. The bytes are reserved whole, so that they are not grown again and again.
QByteArray Encode(const Recovery& recovery) {
    const FileIdentity& identity = recovery.onDisk.identity;
    QByteArray bytes;
    bytes.reserve(kHeaderSize + recovery.text.size() * qsizetype{sizeof(char16_t)} +
                  identity.resolvedPath.size());
    {
        QDataStream header(&bytes, QIODevice::WriteOnly);
        header.setVersion(kStreamVersion);
        header << kMagic << recovery.name;
    }
    AppendText(bytes, recovery.text);
    QDataStream out(&bytes, QIODevice::WriteOnly | QIODevice::Append);
    out.setVersion(kStreamVersion);
    const ContentDigest content = recovery.onDisk.content.value_or(ContentDigest{});
    out << recovery.nameChanged << recovery.onDisk.unreadable << identity.resolvedPath
        << identity.exists << identity.device << identity.inode
        << recovery.onDisk.content.has_value() << content.size << content.hash;
    return bytes;
}

std::optional<Recovery> Decode(const QByteArray& bytes) {
    QDataStream in(bytes);
    in.setVersion(kStreamVersion);
    quint32 magic = 0;
    Recovery recovery;
    FileIdentity& identity = recovery.onDisk.identity;
    bool known = false;
    ContentDigest content;
    in >> magic >> recovery.name >> recovery.text >> recovery.nameChanged >>
        recovery.onDisk.unreadable >> identity.resolvedPath >> identity.exists >> identity.device >>
        identity.inode >> known >> content.size >> content.hash;
    if (magic != kMagic || in.status() != QDataStream::Ok || !in.atEnd()) {
        return std::nullopt;
    }
    if (known) {
        recovery.onDisk.content = content;
    }
    return recovery;
}

// The room left to an unprivileged user on the file system of the path's folder; as good as
// unlimited where it cannot be told.
qint64 FreeSpace(const QByteArray& nativePath) {
    struct statvfs status {};
    const QByteArray folder = nativePath.left(std::max(qsizetype{1}, nativePath.lastIndexOf('/')));
    if (statvfs(folder.constData(), &status) != 0) {
        return std::numeric_limits<qint64>::max();
    }
    return static_cast<qint64>(status.f_bavail) * static_cast<qint64>(status.f_frsize);
}

// The regular files of the folder named as recovery files, and when each was last written;
// nothing when the folder is a link or not the user's own.
std::vector<std::pair<QByteArray, qint64>> RecoveryFileNames(DIR* dir) {
    std::vector<std::pair<QByteArray, qint64>> names;
    struct stat status {};
    if (fstat(dirfd(dir), &status) != 0 || status.st_uid != geteuid()) {
        return names;
    }
    const QByteArray suffix = QFile::encodeName(kSuffix);
    while (const dirent* entry = readdir(dir)) {
        const QByteArray name(entry->d_name);
        if (name.endsWith(suffix) &&
            fstatat(dirfd(dir), entry->d_name, &status, AT_SYMLINK_NOFOLLOW) == 0 &&
            S_ISREG(status.st_mode)) {
            names.emplace_back(
                name, qint64{status.st_mtim.tv_sec} * 1'000'000'000 + status.st_mtim.tv_nsec);
        }
    }
    return names;
}

// Only a file that starts as a recovery file is read whole, so that a large file of another
// kind costs nothing.
std::optional<Recovery> ReadRecoveryFile(const FileStore& files, const QString& path) {
    QByteArray magic;
    QDataStream(&magic, QIODevice::WriteOnly) << kMagic;
    const std::optional<QByteArray> bytes = files.ReadPrivate(path, magic, kMaxRecoveryFileSize);
    return bytes ? Decode(*bytes) : std::nullopt;
}

}  // namespace

QString NewRecoveryPath(const QString& folder) {
    return folder + u'/' + QString::number(QRandomGenerator::global()->generate64(), 36) + kSuffix;
}

QString RecoveryLockPath(const QString& recoveryPath) {
    return recoveryPath.chopped(kSuffix.size()) + QLatin1String(kRecoveryLockSuffix);
}

int MakeRecoveryFolder(const QString& folder) {
    return MakePrivateFolder(QFile::encodeName(folder));
}

// The copy never takes the last room on the disk that a save of its memo needs: at most two
// bytes of the code page for each code unit of the text.
RecoveryWrite WriteRecoveryFile(FileStore& files, const QString& path, const Recovery& recovery) {
    const QByteArray bytes = Encode(recovery);
    const qint64 memoSize = 2 * qint64{recovery.text.size()};
    if (FreeSpace(QFile::encodeName(path)) < bytes.size() + memoSize + kSpareRoom) {
        return {path, WriteFailure(ENOSPC)};
    }
    return {path, files.WritePrivate(path, bytes)};
}

std::vector<RecoveryFileEntry> RecoveryFiles(const QString& folder) {
    std::vector<RecoveryFileEntry> files;
    const FolderEntries dir = OpenFolderNoFollow(QFile::encodeName(folder));
    if (dir) {
        for (const auto& [name, modified] : RecoveryFileNames(dir.get())) {
            files.push_back({folder + u'/' + QFile::decodeName(name), modified});
        }
    }
    return files;
}

std::optional<QString> ReadRecoveryName(const QString& path) {
    const FdCloser file{
        open(NativePath(path).constData(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC)};
    QByteArray head(kHeaderSize, Qt::Uninitialized);
    const ssize_t size = pread(file.fd, head.data(), head.size(), 0);
    if (size < 0) {
        return std::nullopt;
    }
    head.truncate(size);
    QDataStream in(head);
    in.setVersion(kStreamVersion);
    quint32 magic = 0;
    QString name;
    in >> magic >> name;
    return magic == kMagic && in.status() == QDataStream::Ok ? std::optional(name) : std::nullopt;
}

// The lock first: a copy that a running instance keeps is not even read.
std::optional<OrphanedRecovery> TakeOrphanedRecovery(const FileStore& files, const QString& path) {
    std::optional<FileLock> lock =
        FileLock::TryTake(NativePath(RecoveryLockPath(path)), FileLock::Kind::Exclusive, true);
    if (!lock) {
        return std::nullopt;
    }
    std::optional<Recovery> edits = ReadRecoveryFile(files, path);
    if (!edits) {
        return std::nullopt;
    }
    return OrphanedRecovery{path, *std::move(edits), *std::move(lock)};
}

void RemoveRecoveryFile(const QString& path) {
    RemoveDurably(NativePath(path));
    QFile::remove(RecoveryLockPath(path));
}

void RemoveOrphanedRecoveryFile(const QString& path) {
    if (FileLock::TryTake(NativePath(RecoveryLockPath(path)), FileLock::Kind::Exclusive, false)) {
        RemoveRecoveryFile(path);
    }
}

}  // namespace markola
