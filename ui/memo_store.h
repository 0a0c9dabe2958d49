#pragma once

#include <QString>
#include <QStringList>
#include <functional>

#include "storage/file_store.h"
#include "storage/memo_folder.h"
#include "ui/editor_state.h"
#include "ui/memo_view.h"

namespace markola {

// Why a file could not be written, in the user's words; the platform's own description is
// the fallback for failures a user can do little about.
QString WriteFailureReason(const WriteResult& result);
// A full disk, or the user's quota used up.
bool IsNoSpace(const WriteResult& result);

// What a load did: whether the file's text is on screen (if not, the text is left empty
// and the user has been told), the text shown, and the file the memo on screen now comes from.
struct LoadResult {
    bool shown = false;
    QString text = {};
    KnownFile onDisk = {};
};

enum class SaveOutcome { Saved, Declined, Failed };

// What a save did. Only Saved makes the memo count as unedited: one that was not written
// keeps its edits. A file this program replaced is the one the memo now comes from, also
// when the write failed after the replacement.
struct SaveResult {
    SaveOutcome outcome;
    std::optional<KnownFile> onDisk = std::nullopt;
    QString text = {};  // what was saved
};

// Moves memos between their files and the window, and tells the user what went wrong. It
// reads the editor state and reports what it did; the caller applies that to the state.
class MemoStore {
public:
    // Frees what the program itself takes of the disk beside the memos; whether it freed any.
    using MakeRoom = std::function<bool()>;

    MemoStore(MemoView& view, const EditorState& state, FileStore& files, MemoFolder folder,
              MakeRoom makeRoom = {});

    LoadResult LoadMemo(const QString& path);
    SaveResult SaveMemo(const QString& path);
    bool FileExists(const QString& path) const;
    QStringList ListMemos();

private:
    struct Shown {
        QString text;
        ContentDigest content;
    };
    // Reads, decodes and shows the file, and gives what it held; nothing when it cannot be
    // read. The file's bytes and the decoding buffers are gone by the time it returns.
    std::optional<Shown> ShowMemoFile(const QString& path);
    SaveResult WriteMemo(const QString& path, const QByteArray& bytes);
    bool ConfirmOverwrite(const QString& path);
    bool ConfirmChangedOnDisk(const QString& path);
    bool IsUnreadableOnDisk(const QString& path) const;

    MemoView& view_;
    const EditorState& state_;
    FileStore& files_;
    const MemoFolder folder_;
    const MakeRoom makeRoom_;
};

}  // namespace markola
