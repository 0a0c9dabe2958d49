#include "storage/file_names.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>

#include <QHash>
#include <QStringDecoder>
#include <algorithm>
#include <memory>
#include <optional>
#include <tuple>

#include "storage/cp932.h"
#include "storage/memo_folder.h"
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

// Which file of a shown name a typed name reaches first: lower ranks first.
int Rank(const MemoRow& row) {
    if (row.nativeName == (row.name + MemoFolder::kExtension).toUtf8()) {
        return 0;
    }
    return row.fileName.endsWith(MemoFolder::kExtension) ? 1 : 2;
}

// Every name that a ".txt" entry of the folder answers to, whatever its kind, so that no row
// takes it, and how many files show it.
using TakenNames = QHash<QString, int>;

// The name itself when no file answers to it, else the first of "name (2)", "name (3)"...
QString UnusedName(const QString& name, const TakenNames& taken) {
    QString candidate = name;
    for (int number = 2; taken.contains(candidate); ++number) {
        candidate = name + QStringLiteral(" (%1)").arg(number);
    }
    return candidate;
}

// The rows whose name another row shows too, by name and then in the order in which a typed
// name reaches their files. Few rows share a name, so the rest are neither sorted nor ranked.
std::vector<MemoRow*> RowsSharingTheirName(std::vector<MemoRow>& rows, const TakenNames& taken) {
    std::vector<MemoRow*> sharing;
    for (MemoRow& row : rows) {
        if (taken.value(row.name) > 1) {
            sharing.push_back(&row);
        }
    }
    std::sort(sharing.begin(), sharing.end(), [](const MemoRow* a, const MemoRow* b) {
        return std::tuple(a->name, Rank(*a), a->nativeName) <
               std::tuple(b->name, Rank(*b), b->nativeName);
    });
    return sharing;
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

std::vector<MemoRow> MemoRows(const QByteArray& nativeFolder) {
    const std::vector<DirectoryEntry> entries = ReadDirectory(nativeFolder);
    std::vector<MemoRow> rows;
    rows.reserve(entries.size());
    TakenNames taken;
    taken.reserve(static_cast<qsizetype>(entries.size()));
    for (const DirectoryEntry& entry : entries) {
        if (!QLatin1StringView(entry.nativeName)
                 .endsWith(MemoFolder::kExtension, Qt::CaseInsensitive)) {
            continue;
        }
        QString fileName = DisplayFileName(entry.nativeName);
        QString name = fileName.chopped(MemoFolder::kExtension.size());
        int& files = taken[name];
        if (entry.isFile) {
            ++files;
            rows.push_back({std::move(fileName), std::move(name), entry.nativeName});
        }
    }
    std::optional<QString> kept;  // the name that the first file of its group keeps
    for (MemoRow* row : RowsSharingTheirName(rows, taken)) {
        if (row->name != kept) {
            kept = row->name;
            continue;
        }
        row->name = UnusedName(row->fileName, taken);
        taken.insert(row->name, 1);
    }
    return rows;
}

}  // namespace markola
