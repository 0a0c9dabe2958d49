#pragma once

#include <QString>
#include <vector>

namespace markola {

// The copies of one memo's unsaved edits that no running instance keeps.
struct OrphanedEdits {
    QString newest;                    // the copy to offer
    std::vector<QString> olderCopies;  // older copies of the same memo's edits
};

struct RecoveryListing {
    std::vector<OrphanedEdits> memos;  // the memo with the newest copy first
    // Copies whose lock cannot even be opened (a folder, a link, unreadable): nobody can tell
    // whether another instance keeps them, so they are left alone.
    std::vector<QString> unusable;
};

// The recovery folder's copies that no running instance keeps, by the memo whose edits they
// are. Each is read no further than the memo's name, and no lock is held afterwards: a pile of
// thousands costs a start little, and holds none of its files open.
RecoveryListing ListOrphanedRecoveries(const QString& folder);

}  // namespace markola
