#pragma once

#include <QString>
#include <optional>
#include <vector>

#include "storage/atomic_write.h"
#include "storage/file_lock.h"
#include "storage/file_store.h"

namespace markola {

// Unsaved edits kept when the program had to end without asking: the memo's name and text,
// and what the editor knew of the memo's file, so that saving them later asks exactly the
// questions it would have asked before the end.
struct Recovery {
    QString name = {};
    QString text = {};
    bool nameChanged = false;
    KnownFile onDisk = {};
    friend bool operator==(const Recovery&, const Recovery&) = default;
};

// Recovery files live in a folder of their own. The edits in them are the user's alone: the
// folder is used only when it is the user's own and no link, and only its owner may read it
// or them.

// A recovery file and, beside it, the lock of the instance that keeps it.
inline constexpr char kRecoverySuffix[] = ".recovery";
inline constexpr char kRecoveryLockSuffix[] = ".lock";

struct RecoveryWrite {
    QString path;  // the file written or meant to be written
    WriteResult result;
};

// A name for a new recovery file of the folder; the file is not made.
QString NewRecoveryPath(const QString& folder);
// The lock that the instance keeping a recovery file holds for as long as it runs.
QString RecoveryLockPath(const QString& recoveryPath);
// Makes the folder private, or says why it cannot be used: 0 or the errno.
int MakeRecoveryFolder(const QString& folder);

// Writes the edits atomically into the file at path.
RecoveryWrite WriteRecoveryFile(FileStore& files, const QString& path, const Recovery& recovery);

struct RecoveryFileEntry {
    QString path;
    qint64 modified = 0;  // ns since the epoch
};
// The recovery files of the folder. Only regular files are listed; links, pipes and devices
// are left alone without being opened, and so is the whole folder when it is a link or not the
// user's own.
std::vector<RecoveryFileEntry> RecoveryFiles(const QString& folder);
// The name of the memo whose edits a recovery file keeps, read from its start alone: a large
// copy, or a large file of another kind, costs no more than that.
std::optional<QString> ReadRecoveryName(const QString& path);

// A recovery file that no running instance keeps, its edits, and its lock, held from now on.
struct OrphanedRecovery {
    QString path;
    Recovery edits;
    FileLock lock;
};
// Nothing when another instance keeps the file, or when it is no readable recovery file no
// larger than the edits of the largest memo.
std::optional<OrphanedRecovery> TakeOrphanedRecovery(const FileStore& files, const QString& path);

// The file and its lock.
void RemoveRecoveryFile(const QString& path);
// The same, unless a running instance keeps it.
void RemoveOrphanedRecoveryFile(const QString& path);

}  // namespace markola
