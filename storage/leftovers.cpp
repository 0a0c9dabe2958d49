#include "storage/leftovers.h"

#include <fcntl.h>
#include <sys/stat.h>

#include <QFile>
#include <algorithm>
#include <cerrno>
#include <chrono>
#include <thread>

#include "storage/atomic_write.h"
#include "storage/posix_file.h"
#include "storage/recovery_file.h"

namespace markola {
namespace {

constexpr int kSharedLockAttempts = 20;
constexpr std::chrono::milliseconds kSharedLockPause{50};

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
    // Another instance holds it exclusively for a moment while it cleans; anything else that
    // holds it for longer must not keep the window from opening.
    for (int attempt = 0; attempt < kSharedLockAttempts; ++attempt) {
        if (std::optional<FileLock> shared =
                FileLock::TryTake(path, FileLock::Kind::Shared, false)) {
            return shared;
        }
        if (errno != EWOULDBLOCK) {
            break;
        }
        std::this_thread::sleep_for(kSharedLockPause);
    }
    return std::nullopt;
}

}  // namespace markola
