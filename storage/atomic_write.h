#pragma once

#include <QByteArray>
#include <QString>

namespace markola {

struct WriteResult {
    bool ok = false;
    int errorCode = 0;  // errno of the step that failed, when !ok
    QString errorText;  // the system's description of the failure, when !ok
    // The new bytes are in the file although the write failed: only syncing the folder
    // after the rename did, so the rename may not survive a power cut.
    bool replaced = false;
    // The path leads to something that is not a regular file (a device, a pipe, a folder):
    // it is never opened for writing nor replaced.
    bool notRegularFile = false;
};

// The names of the writer's temporary files, which a killed program may leave behind.
inline constexpr char kTemporaryPrefix[] = ".markola-";
inline constexpr char kTemporarySuffix[] = ".tmp";

// A failed write with that errno and the system's description of it.
WriteResult WriteFailure(int errorCode);

// A memo or the settings file is replaced at the end of its links, keeping its mode and
// owner: users keep them in other folders on purpose. A private file, a recovery file, is
// replaced where the path itself is and only its owner may read it, whatever the umask.
enum class Replace { ThroughLinks, PrivateFile };

// Replaces the file at the native path with exactly these bytes, or leaves it as it was.
// Only a regular file that the user may write, or no file, is replaced: the rename needs
// the folder's permission alone, so the file's own is asked first. The bytes go to a
// temporary file of a short name of its own in the same folder, are synced, and only then
// renamed over the file; the folder is synced after the rename. Through links, the replaced
// file keeps its mode bits, setgid included, and its owner and group as far as the process
// may set them. Success is reported only when every step succeeded; on failure no
// temporary file stays behind.
WriteResult ReplaceFileAtomically(const QByteArray& nativePath, const QByteArray& bytes,
                                  Replace how = Replace::ThroughLinks);

// Removes the file where the path itself is, and syncs its folder: a removal that a power cut
// undid could bring back what was meant to be gone.
void RemoveDurably(const QByteArray& nativePath);

}  // namespace markola
