#include "storage/leftovers.h"

#include <fcntl.h>
#include <sys/stat.h>

#include <QFile>
#include <algorithm>

#include "storage/atomic_write.h"
#include "storage/posix_file.h"
#include "storage/recovery_file.h"

namespace markola {
namespace {

bool IsLeftover(int folder, const QByteArray& name) {
    if (name.startsWith(kTemporaryPrefix) && name.endsWith(kTemporarySuffix)) {
        return true;
    }
    const QByteArray lockSuffix(kRecoveryLockSuffix);
    const QByteArray copy =
        name.chopped(std::min(name.size(), lockSuffix.size())) + kRecoverySuffix;
    struct stat status {};
    return name.endsWith(lockSuffix) &&
           fstatat(folder, copy.constData(), &status, AT_SYMLINK_NOFOLLOW) != 0;
}

void RemoveLeftovers(const QString& folder) {
    const FolderEntries dir = OpenFolderNoFollow(QFile::encodeName(folder));
    if (!dir) {
        return;
    }
    while (const dirent* entry = readdir(dir.get())) {
        if (IsLeftover(dirfd(dir.get()), entry->d_name)) {
            unlinkat(dirfd(dir.get()), entry->d_name, 0);
        }
    }
}

}  // namespace

std::optional<FileLock> HoldMemoFolder(const QString& memoFolder, const QString& recoveryFolder) {
    const QByteArray path = QFile::encodeName(memoFolder) + "/.";
    if (std::optional<FileLock> alone = FileLock::TryTake(path, FileLock::Kind::Exclusive, false)) {
        RemoveLeftovers(memoFolder + QStringLiteral("/."));
        RemoveLeftovers(recoveryFolder);
        alone->Share();
        return alone;
    }
    return FileLock::TryTake(path, FileLock::Kind::Shared, false, true);
}

}  // namespace markola
