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
};

// Replaces the file at the native path with exactly these bytes, or leaves it as it was.
// The bytes go to a temporary file of a short name of its own in the same folder, are
// synced, and only then renamed over the file; the folder is synced after the rename. A
// symbolic link is written through to its target. The replaced file keeps its mode bits,
// setgid included, and its owner and group as far as the process may set them. Success is
// reported only when every step succeeded; on failure no temporary file stays behind.
WriteResult ReplaceFileAtomically(const QByteArray& nativePath, const QByteArray& bytes);

}  // namespace markola
