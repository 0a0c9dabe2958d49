#pragma once

#include <QString>
#include <optional>

#include "storage/file_lock.h"

namespace markola {

// A shared lock on the memo folder that every running instance holds for as long as it runs.
// An instance that starts alone first removes what killed instances left behind: temporary
// files of the atomic writer in both folders, and the locks of recovery files that are gone.
// With another instance running nothing is removed, as its writes may be under way. Nothing
// when the folder cannot be locked within a second: another program holds it.
std::optional<FileLock> HoldMemoFolder(const QString& memoFolder, const QString& recoveryFolder);

}  // namespace markola
