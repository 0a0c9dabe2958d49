#include "storage/recovery_file.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>

#include <QDataStream>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <algorithm>
#include <cerrno>
#include <memory>
#include <vector>

#include "storage/native_path.h"
#include "storage/posix_file.h"

namespace markola {
namespace {

constexpr quint32 kMagic = 0x4d4b5232;  // "MKR2"
constexpr auto kStreamVersion = QDataStream::Qt_6_0;
const QString kSuffix = QString::fromLatin1(kRecoverySuffix);
constexpr mode_t kPrivateFolderMode = 0700;
// The edits of the largest memo that loads: each of its bytes is at most one UTF-16 code unit
// of text; the name and the rest take far less than the margin.
constexpr qint64 kMaxRecoveryFileSize = 2 * kMaxMemoFileSize + 1024 * 1024;

// The text goes as UTF-16 code units, so every character comes back, whether or not the
// code page can hold it.
QByteArray Encode(const Recovery& recovery) {
    QByteArray bytes;
    QDataStream out(&bytes, QIODevice::WriteOnly);
    out.setVersion(kStreamVersion);
    const FileIdentity& identity = recovery.onDisk.identity;
    const ContentDigest content = recovery.onDisk.content.value_or(ContentDigest{});
    out << kMagic << recovery.name << recovery.text << recovery.nameChanged
        << recovery.onDisk.unreadable << identity.resolvedPath << identity.exists << identity.device
        << identity.inode << recovery.onDisk.content.has_value() << content.size << content.hash;
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

// The folder, made when missing, as only its owner may enter it: 0 or the errno. A link, or
// a folder of someone else, would hand the edits to wherever it leads.
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

// The regular files of the folder named as recovery files, in a fixed order; nothing when the
// folder is a link or not the user's own.
std::vector<QByteArray> RecoveryFileNames(DIR* dir) {
    std::vector<QByteArray> names;
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
            names.push_back(name);
        }
    }
    std::sort(names.begin(), names.end());
    return names;
}

// Only a file that starts as a recovery file is read whole, so that a large file of another
// kind costs nothing.
std::optional<Recovery> ReadRecoveryFile(int folder, const QByteArray& name) {
    const FdCloser file{
        openat(folder, name.constData(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC)};
    QByteArray magic(sizeof kMagic, Qt::Uninitialized);
    QDataStream(&magic, QIODevice::WriteOnly) << kMagic;
    QByteArray start(magic.size(), Qt::Uninitialized);
    if (file.fd < 0 || pread(file.fd, start.data(), start.size(), 0) != start.size() ||
        start != magic) {
        return std::nullopt;
    }
    const std::optional<QByteArray> bytes = ReadRegularFile(file.fd, kMaxRecoveryFileSize);
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

RecoveryWrite WriteRecoveryFile(const QString& path, const Recovery& recovery) {
    if (const int error = MakeRecoveryFolder(QFileInfo(path).path()); error != 0) {
        return {path, WriteFailure(error)};
    }
    return {path, ReplaceFileAtomically(NativePath(path), Encode(recovery), Replace::PrivateFile)};
}

std::vector<QString> RecoveryFilePaths(const QString& folder) {
    std::vector<QString> paths;
    const std::unique_ptr<DIR, DirCloser> dir(
        fdopendir(open(QFile::encodeName(folder).constData(),
                       O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC)));
    if (dir) {
        for (const QByteArray& name : RecoveryFileNames(dir.get())) {
            paths.push_back(folder + u'/' + QFile::decodeName(name));
        }
    }
    return paths;
}

// The lock first: a copy that a running instance keeps is not even read.
std::optional<OrphanedRecovery> TakeOrphanedRecovery(const QString& path) {
    std::optional<FileLock> lock =
        FileLock::TryTake(NativePath(RecoveryLockPath(path)), FileLock::Kind::Exclusive, true);
    if (!lock) {
        return std::nullopt;
    }
    std::optional<Recovery> edits = ReadRecoveryFile(AT_FDCWD, NativePath(path));
    if (!edits) {
        return std::nullopt;
    }
    return OrphanedRecovery{path, *std::move(edits), *std::move(lock)};
}

void RemoveRecoveryFile(const QString& path) {
    QFile::remove(path);
    QFile::remove(RecoveryLockPath(path));
}

}  // namespace markola
