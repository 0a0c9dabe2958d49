#pragma once

#include <QString>
#include <optional>

#include "storage/atomic_write.h"
#include "storage/file_store.h"

namespace markola {

// Unsaved edits kept when the program had to end without asking: the memo's name and text,
// and what the editor knew of the memo's file, so that saving them later asks exactly the
// questions it would have asked before the end.
struct Recovery {
    QString name;
    QString text;
    bool nameChanged = false;
    KnownFile onDisk;
    friend bool operator==(const Recovery&, const Recovery&) = default;
};

// Recovery files live in a folder of their own, a dot-folder inside the memo folder, so
// they are never listed as memos. The edits in them are the user's alone: the folder is
// used only when it is the user's own and no link, and only its owner may read it or them.
inline constexpr char kRecoveryFolder[] = "memo/.recovery";

struct RecoveryWrite {
    QString path;  // the file written or meant to be written
    WriteResult result;
};

// Writes the edits atomically into the file at path, or into a new file of the folder when
// path is empty.
RecoveryWrite WriteRecoveryFile(const QString& folder, const QString& path,
                                const Recovery& recovery);

// The first readable recovery file of the folder, with its path. Only regular files no
// larger than the edits of the largest memo are read; links, pipes, devices and files that
// are not recovery files are left alone without being opened or read through.
std::optional<std::pair<QString, Recovery>> FindRecoveryFile(const QString& folder);

void RemoveRecoveryFile(const QString& path);

}  // namespace markola
