#pragma once

#include <QString>
#include <optional>

#include "storage/file_store.h"

namespace markola {

// Unsaved edits kept when the program had to end without asking: the memo's name and text,
// and what the editor knew of the memo's file, so that saving them later asks exactly the
// questions it would have asked before the end.
struct Recovery {
    QString name;
    QString text;
    bool nameChanged = false;
    bool unreadable = false;               // the memo's file exists but could not be loaded
    std::optional<FileIdentity> identity;  // of the memo's file as loaded or last saved
    friend bool operator==(const Recovery&, const Recovery&) = default;
};

// Recovery files live in a folder of their own, a dot-folder inside the memo folder, so
// they are never listed as memos.
inline constexpr char kRecoveryFolder[] = "memo/.recovery";

// Writes the edits atomically into the file at path, or into a new file of the folder when
// path is empty; gives the file's path, or nothing when it could not be written.
std::optional<QString> WriteRecoveryFile(const QString& folder, const QString& path,
                                         const Recovery& recovery);

// The first readable recovery file of the folder, with its path; files that are not
// recovery files are left alone.
std::optional<std::pair<QString, Recovery>> FindRecoveryFile(const QString& folder);

void RemoveRecoveryFile(const QString& path);

}  // namespace markola
