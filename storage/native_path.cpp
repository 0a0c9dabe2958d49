#include "storage/native_path.h"

#include <sys/stat.h>
#include <unistd.h>

#include <QFile>
#include <climits>
#include <cstdlib>
#include <memory>
#include <optional>

#include "storage/file_names.h"
#include "storage/memo_folder.h"

namespace markola {
namespace {

// The file of the memo folder whose row shows that memo name.
std::optional<QByteArray> FileOfRow(const QByteArray& nativeFolder, const QString& name) {
    for (const MemoRow& row : MemoRows(nativeFolder)) {
        if (row.name == name) {
            return row.nativeName;
        }
    }
    return std::nullopt;
}

// The file a chain of symbolic links ends at; the path itself when it is no link.
QByteArray LinkTarget(QByteArray path) {
    for (int hops = 0; hops < 40; ++hops) {
        char target[PATH_MAX];
        const ssize_t length = readlink(path.constData(), target, sizeof target);
        if (length < 0 || length == sizeof target) {
            return path;
        }
        const QByteArray next(target, length);
        path = next.startsWith('/') ? next : FolderOf(path) + '/' + next;
    }
    return path;
}

}  // namespace

QByteArray FolderOf(const QByteArray& nativePath) {
    const qsizetype slash = nativePath.lastIndexOf('/');
    return slash < 0 ? QByteArray(".") : slash == 0 ? QByteArray("/") : nativePath.left(slash);
}

QByteArray ResolvedPath(const QByteArray& nativePath) {
    const QByteArray target = LinkTarget(nativePath);
    const std::unique_ptr<char, decltype(&std::free)> folder(
        realpath(FolderOf(target).constData(), nullptr), &std::free);
    if (!folder) {
        return target;
    }
    const QByteArray name = target.mid(target.lastIndexOf('/') + 1);
    return QByteArray(folder.get()) + (qstrcmp(folder.get(), "/") == 0 ? "" : "/") + name;
}

QByteArray NativePath(const QString& path) {
    const QByteArray exact = QFile::encodeName(path);
    struct stat status {};
    if (!path.endsWith(MemoFolder::kExtension) || lstat(exact.constData(), &status) == 0) {
        return exact;
    }
    const qsizetype nameStart = path.lastIndexOf(u'/') + 1;
    const QByteArray folder = QFile::encodeName(path.left(nameStart));
    const std::optional<QByteArray> file =
        FileOfRow(folder.isEmpty() ? QByteArray(".") : folder,
                  path.sliced(nameStart).chopped(MemoFolder::kExtension.size()));
    return file ? folder + *file : exact;
}

}  // namespace markola
