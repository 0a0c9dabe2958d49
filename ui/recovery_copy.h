#pragma once

#include <QObject>
#include <QString>
#include <QTimer>
#include <chrono>
#include <functional>
#include <optional>

#include "storage/file_lock.h"
#include "storage/recovery_file.h"
#include "storage/recovery_writer.h"
#include "ui/sliced_text_copy.h"

namespace markola {

// The recovery copy of the user's unsaved edits to the memo on screen, so that a crash, a
// kill or a power cut costs a few seconds of typing at most. Only an edit of the user's
// starts it: what the program puts on screen itself (a load, a new memo, restored edits) is
// no edit to keep. It is brought up to date 2 s after the last edit, and while the typing goes
// on 2 s after the first edit and then at least every 10 s, from timers of its own. The text is
// copied between events, and written by a thread of its own. The copy belongs to this instance for
// as long as it runs, through a lock that the system lets go of when the instance ends however it
// ends, so that the next start knows it is nobody's.
class RecoveryCopy : public QObject {
public:
    using TextOnScreen = SlicedTextCopy::Source;
    // How keeping the edits goes, on the user-interface thread whenever that changes: the
    // failure, or nothing once a copy is kept again (or no longer needed).
    using Trouble = std::function<void(const std::optional<WriteResult>&)>;

    // A copy follows a pause in the edits this long; while the typing goes on, it comes this long
    // after the first edit and then at least every five times as long.
    RecoveryCopy(FileStore& files, QString folder, TextOnScreen text, Trouble trouble = {},
                 std::chrono::milliseconds pause = std::chrono::seconds(2));
    // A lock with no copy beside it is of no use to anyone.
    ~RecoveryCopy() override;
    RecoveryCopy(const RecoveryCopy&) = delete;
    RecoveryCopy& operator=(const RecoveryCopy&) = delete;

    // The memo on screen starts anew from the text its file holds (loaded, just saved, or the
    // empty text of a memo with no file): the copy of any edits before it goes.
    void StartFrom(QString savedText);
    // The user edited the memo described; the text is taken when the copy is made.
    void UserEdited(Recovery memo);
    // The memo whose edits are kept is described so now (renamed, its file rewritten).
    void MemoChanged(Recovery memo);
    bool HoldsEdits() const { return memo_.has_value(); }
    // The edits were given up.
    void Drop();
    // The copy's file goes, so that a save of the memo finds the room it took; the edits are
    // kept again as soon as there is room for them. Whether there was a file.
    bool MakeRoom();
    // The edits on screen, kept at once; how it failed, if it did.
    std::optional<RecoveryWrite> WriteNow();
    // Edits restored at the start, and their copy, are this instance's from now on. What the
    // file held before them is not known: they stay edits until they are saved or given up.
    void Adopt(QString path, FileLock lock, Recovery memo);

private:
    void Arm();
    void Report(std::optional<WriteResult> failure);
    void TakeText();
    std::optional<RecoveryWrite> Claim();
    int Own();
    void Keep(QString text);

    const QString folder_;
    const TextOnScreen text_;
    const Trouble trouble_;
    const std::chrono::milliseconds pause_;
    std::optional<WriteResult> reported_;
    QTimer quiet_;
    QTimer longest_;
    std::optional<Recovery> memo_;  // whose edits are kept; its text is left empty
    QString path_;
    std::optional<FileLock> lock_;
    RecoveryWriter writer_;
    SlicedTextCopy textCopy_;
};

}  // namespace markola
