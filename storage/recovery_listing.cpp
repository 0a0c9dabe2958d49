#include "storage/recovery_listing.h"

#include <QHash>
#include <algorithm>
#include <cerrno>
#include <tuple>

#include "storage/file_lock.h"
#include "storage/native_path.h"
#include "storage/recovery_file.h"

namespace markola {
namespace {

// Newest first.
void SortByAge(std::vector<RecoveryFileEntry>& copies) {
    std::sort(copies.begin(), copies.end(), [](const auto& a, const auto& b) {
        return std::tie(b.modified, b.path) < std::tie(a.modified, a.path);
    });
}

}  // namespace

RecoveryListing ListOrphanedRecoveries(const QString& folder) {
    RecoveryListing listing;
    QHash<QString, std::size_t> memoOf;  // index in listing.memos by the memo's name
    std::vector<RecoveryFileEntry> copies = RecoveryFiles(folder);
    SortByAge(copies);
    for (const RecoveryFileEntry& copy : copies) {
        const std::optional<FileLock> lock = FileLock::TryTake(
            NativePath(RecoveryLockPath(copy.path)), FileLock::Kind::Exclusive, true);
        if (!lock) {
            if (errno != EWOULDBLOCK) {  // not another instance's
                listing.unusable.push_back(copy.path);
            }
            continue;
        }
        const std::optional<QString> name = ReadRecoveryName(copy.path);
        if (!name) {
            continue;
        }
        if (const auto known = memoOf.constFind(*name); known != memoOf.cend()) {
            listing.memos[*known].olderCopies.push_back(copy.path);
        } else {
            memoOf.insert(*name, listing.memos.size());
            listing.memos.push_back({copy.path, {}});
        }
    }
    return listing;
}

}  // namespace markola
