#pragma once

#include <QString>
#include <optional>

#include "storage/file_lock.h"
#include "storage/file_store.h"
#include "storage/memo_folder.h"
#include "ui/editor_state.h"
#include "ui/key_codes.h"
#include "ui/memo_store.h"
#include "ui/memo_view.h"
#include "ui/recovery_copy.h"

namespace markola {

// Decides what happens to the memo on screen when the user names, chooses, edits,
// creates or saves a memo, starts the program or closes the window.
class MemoController {
public:
    MemoController(MemoView& view, FileStore& files, MemoFolder folder, QString startupArgument);

    const EditorState& State() const { return state_; }

    void OnNameEdited();
    void OnMemoChosen();
    void OnNameKey(int& keyCode, int shift);
    void OnTextKey(int& keyCode, int& shift);
    static void DropShortcutCharacter(int& charCode);
    void OnTextEdited();
    // Performs the restore that is due, if any: at the tick, and before each user command.
    void OnRestoreTick();
    void NewMemo();
    void SaveShown();
    void ReloadList();
    void Start();
    void Close(bool& cancel);
    // The program is ending with no chance to ask: unsaved edits go to their recovery copy
    // at once. Gives what to tell the user when they could not be kept.
    std::optional<QString> EndNow();

private:
    // What became of the unsaved edits when the memo on screen is about to be left.
    enum class Settled {
        Nothing,  // there were none
        Saved,
        Dropped,  // the user gave them up
        Kept,     // still on screen, the restore armed: the user cancelled, or they were not saved
    };
    // Asks the close question when the memo on screen is edited, and acts on the answer.
    Settled SettleUnsavedEdits();
    void ArmRestore(Resume mode);
    void StartNewMemo();
    void LoadStartupArgument();
    void LoadMemo(const QString& path);
    SaveOutcome SaveShownMemo(const QString& path);
    void OfferRecovery();
    bool IsSavedAlready(const Recovery& edits) const;
    bool OfferedRecoveryEnds(OrphanedRecovery orphan, const std::vector<QString>& olderCopies);
    // The memo on screen as a copy of its edits describes it, without the text.
    Recovery MemoOfEdits() const;

    MemoView& view_;
    const MemoFolder folder_;
    FileStore& files_;
    EditorState state_;
    MemoStore store_;
    QString startupArgument_;
    std::optional<FileLock> memoFolderLock_;
    // While the program itself puts a text on screen: no edit of the user's to keep.
    bool programEdit_ = false;
    RecoveryCopy copy_;
};

}  // namespace markola
