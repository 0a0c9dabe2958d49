#include "storage/native_path.h"

#include <sys/stat.h>
#include <unistd.h>

#include <QFile>
#include <climits>
#include <cstdlib>
#include <memory>
#include <optional>

#include "storage/file_names.h"

namespace markola {
namespace {

constexpr QLatin1StringView kMemoExtension(".txt");

// "NOTES.TXT" is the file of the memo "NOTES": the systems memos come from ignore case.
bool DiffersInExtensionCaseOnly(const QString& shown, const QString& name) {
    return shown.size() == name.size() && name.endsWith(kMemoExtension, Qt::CaseInsensitive) &&
           shown.endsWith(kMemoExtension, Qt::CaseInsensitive) &&
           QStringView(shown).chopped(kMemoExtension.size()) ==
               QStringView(name).chopped(kMemoExtension.size());
}

// The entry shown under exactly that name, else one whose extension differs in case only
// (the first by its bytes, so that every call picks the same one).
std::optional<QByteArray> EntryShownAs(const QByteArray& nativeFolder, const QString& name) {
    std::optional<QByteArray> otherCase;
    for (const DirectoryEntry& entry : ReadDirectory(nativeFolder)) {
        const QString shown = DisplayFileName(entry.nativeName);
        if (shown == name) {
            return entry.nativeName;
        }
        if (DiffersInExtensionCaseOnly(shown, name) &&
            (!otherCase || entry.nativeName < *otherCase)) {
            otherCase = entry.nativeName;
        }
    }
    return otherCase;
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
    if (path.isEmpty() || lstat(exact.constData(), &status) == 0) {
        return exact;
    }
    const qsizetype nameStart = path.lastIndexOf(u'/') + 1;
    const QByteArray folder = QFile::encodeName(path.left(nameStart));
    const std::optional<QByteArray> entry =
        EntryShownAs(folder.isEmpty() ? QByteArray(".") : folder, path.mid(nameStart));
    return entry ? folder + *entry : exact;
}

}  // namespace markola
