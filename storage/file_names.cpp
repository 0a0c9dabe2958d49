#include "storage/file_names.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>

#include <QStringDecoder>
#include <memory>

#include "storage/cp932.h"
#include "storage/posix_file.h"

namespace markola {
namespace {

bool IsFileEntry(DIR* dir, const dirent& entry) {
    if (entry.d_type == DT_REG || entry.d_type == DT_DIR) {
        return entry.d_type == DT_REG;
    }
    struct stat status {};
    return fstatat(dirfd(dir), entry.d_name, &status, 0) == 0 && S_ISREG(status.st_mode);
}

}  // namespace

QString DisplayFileName(QByteArrayView nativeName) {
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString name = utf8.decode(nativeName);
    if (!utf8.hasError()) {
        return name;
    }
    name.clear();
    for (const QChar c : cp932::Decode(nativeName)) {
        if (const std::optional<std::uint8_t> stray = cp932::StrayByte(c)) {
            name += QStringLiteral("<") + cp932::ByteName(*stray) + QStringLiteral(">");
        } else {
            name += c;
        }
    }
    return name;
}

std::vector<DirectoryEntry> ReadDirectory(const QByteArray& nativeFolder) {
    std::vector<DirectoryEntry> entries;
    const std::unique_ptr<DIR, DirCloser> dir(opendir(nativeFolder.constData()));
    if (!dir) {
        return entries;
    }
    while (const dirent* entry = readdir(dir.get())) {
        const QByteArrayView name(entry->d_name);
        if (name != "." && name != "..") {
            entries.push_back({name.toByteArray(), IsFileEntry(dir.get(), *entry)});
        }
    }
    return entries;
}

}  // namespace markola
