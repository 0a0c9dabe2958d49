#include "storage/leftovers.h"

#include <fcntl.h>
#include <sys/stat.h>

#include <QFile>
#include <memory>

#include "storage/posix_file.h"

namespace markola {
namespace {

bool IsLeftover(int folder, const QByteArray& name) {
    if (name.startsWith(".markola-") && name.endsWith(".tmp")) {
        return true;
    }
    struct stat status {};
    return name.endsWith(".lock") && fstatat(folder, (name.chopped(5) + ".recovery").constData(),
                                             &status, AT_SYMLINK_NOFOLLOW) != 0;
}

void RemoveLeftovers(const QString& folder) {
    const std::unique_ptr<DIR, DirCloser> dir(
        fdopendir(open(QFile::encodeName(folder).constData(),
                       O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC)));
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
