#include "ui/memo_controller.h"

#include <QScopedValueRollback>
#include <cstdio>
#include <utility>

#include "storage/cp932.h"
#include "storage/leftovers.h"
#include "storage/recovery_file.h"
#include "storage/recovery_listing.h"
#include "ui/line_commands.h"
#include "ui/messages.h"

namespace markola {

namespace {

// "Plan.TXT" names the memo "Plan"; anything else is the name as given.
QString MemoNameFromArgument(const QString& argument) {
    return argument.endsWith(MemoFolder::kExtension, Qt::CaseInsensitive)
               ? argument.chopped(MemoFolder::kExtension.size())
               : argument;
}

}  // namespace

MemoController::MemoController(MemoView& view, FileStore& files, MemoFolder folder,
                               QString startupArgument)
    : view_(view),
      folder_(std::move(folder)),
      files_(files),
      store_(view, state_, files, folder_, [this] { return copy_.MakeRoom(); }),
      startupArgument_(std::move(startupArgument)),
      copy_(
          files, folder_.RecoveryFolder(), [this]() -> const MemoTextView& { return view_.Text(); },
          [this](const std::optional<WriteResult>& failure) {
              view_.ShowCopyTrouble(failure ? text::CannotKeepEdits(WriteFailureReason(*failure))
                                            : QString());
          }) {}

// The name belongs to the edits kept: a renamed memo is restored under its new name.
void MemoController::OnNameEdited() {
    state_.MemoName = view_.ComboText();
    state_.NameChanged = true;
    copy_.MemoChanged(MemoOfEdits());
}

void MemoController::OnTextEdited() {
    state_.TextChanged = true;
    if (!programEdit_) {
        copy_.UserEdited(MemoOfEdits());
    }
}

// The combo already shows the chosen name. The refresh after a save puts the saved memo's
// name there, so the chosen one is assigned again, and once more by the restore after the
// combo's own handling of the choice.
void MemoController::OnMemoChosen() {
    const QString chosen = view_.ComboText();
    switch (SettleUnsavedEdits()) {
        case Settled::Saved:
            ReloadList();
            view_.SetComboText(chosen);
            LoadMemo(folder_.MemoPath(view_.ComboText()));
            ArmRestore(Resume::ResumeCombo);
            break;
        case Settled::Nothing:
        case Settled::Dropped:
            LoadMemo(folder_.MemoPath(view_.ComboText()));
            break;
        case Settled::Kept:
            break;
    }
}

void MemoController::OnNameKey(int& keyCode, int shift) {
    if (shift != key::kCtrlOnly) {
        return;
    }
    switch (keyCode) {
        case key::kS:
            keyCode = 0;
            SaveShown();
            break;
        case key::kN:
            keyCode = 0;
            NewMemo();
            break;
        case key::kR:
            keyCode = 0;
            ReloadList();
            break;
        default:
            break;
    }
}

void MemoController::OnTextKey(int& keyCode, int& shift) {
    if (shift != key::kCtrlOnly) {
        return;
    }
    switch (keyCode) {
        case key::kUp:
            keyCode = 0;
            MoveCaretLineUp(view_.Text());
            break;
        case key::kDown:
            keyCode = 0;
            MoveCaretLineDown(view_.Text());
            break;
        case key::kLeft:
            keyCode = 0;
            ToggleCaretLineCheck(view_.Text());
            break;
        case key::kS:
        case key::kN:
            OnNameKey(keyCode, shift);
            break;
        case key::kR:
            keyCode = 0;
            shift = 0;
            ReloadList();
            break;
        case key::kA:
            view_.Text().SetSelStart(0);
            view_.Text().SetSelLength(static_cast<int>(view_.Text().MemoText().size()));
            break;
        default:
            break;
    }
}

// Ctrl+A, Ctrl+N, Ctrl+R and Ctrl+S type control characters that must not reach the memo.
void MemoController::DropShortcutCharacter(int& charCode) {
    constexpr int kCtrlA = 1;
    constexpr int kCtrlN = 14;
    constexpr int kCtrlR = 18;
    constexpr int kCtrlS = 19;
    if (charCode == kCtrlA || charCode == kCtrlN || charCode == kCtrlR || charCode == kCtrlS) {
        charCode = 0;
    }
}

void MemoController::OnRestoreTick() {
    if (state_.ResumeMode == Resume::None) {
        return;
    }
    view_.SetComboText(state_.MemoName);
    const Resume mode = std::exchange(state_.ResumeMode, Resume::None);
    view_.SetTimerEnabled(false);
    if (mode == Resume::ResumeCombo) {
        state_.NameChanged = false;
    }
}

void MemoController::NewMemo() {
    const Settled settled = SettleUnsavedEdits();
    if (settled == Settled::Saved) {
        ReloadList();
    }
    if (settled != Settled::Kept) {
        StartNewMemo();
    }
    view_.FocusCombo();
}

// The flag is set here and not left to the combo's change handler: when the combo already
// shows the new-memo name the assignment runs no handler, and a memo saved under that
// name must still not be overwritten without the question. A new memo comes from no file.
void MemoController::StartNewMemo() {
    const QScopedValueRollback programEdit(programEdit_, true);
    state_.OnDisk = {};
    copy_.StartFrom(QString());
    view_.Text().SetMemoText(QString());
    view_.SetComboText(text::kNewMemoName);
    state_.MemoName = text::kNewMemoName;
    state_.NameChanged = true;
}

void MemoController::SaveShown() {
    SaveShownMemo(folder_.MemoPath(view_.ComboText()));
    ReloadList();
}

void MemoController::ReloadList() {
    const bool nameChanged = state_.NameChanged;
    view_.ClearComboList();
    for (const QString& name : store_.ListMemos()) {
        view_.AddComboItem(name);
    }
    view_.SetComboText(state_.MemoName);
    state_.NameChanged = nameChanged;
    copy_.MemoChanged(MemoOfEdits());
}

void MemoController::Start() {
    view_.SetApplicationTitle(text::kApplicationTitle);
    view_.SetWindowGeometryTwips(ReadWindowSettings(files_, folder_.SettingsPath()));
    ReloadList();
    OnMemoChosen();
    LoadStartupArgument();
    memoFolderLock_ = HoldMemoFolder(folder_.Path(), folder_.RecoveryFolder());
    if (!memoFolderLock_) {
        std::fputs(qPrintable(text::StartingWithoutRecovery(folder_.Shown(folder_.Path()))),
                   stderr);
        return;
    }
    OfferRecovery();
}

// A memo named on the command line is shown only when its file exists; anything else
// leaves the window as it is, without a word.
void MemoController::LoadStartupArgument() {
    if (startupArgument_.isEmpty()) {
        return;
    }
    const QString name = MemoNameFromArgument(startupArgument_);
    const QString path = folder_.MemoPath(name);
    if (!folder_.Holds(path) || !store_.FileExists(path)) {
        return;
    }
    view_.SetComboText(name);
    LoadMemo(path);
}

void MemoController::Close(bool& cancel) {
    const Settled settled = SettleUnsavedEdits();
    // Edits given up: a close that follows at once, as at the end of a session, does not
    // ask again, and an end by signal keeps nothing.
    if (settled == Settled::Dropped) {
        state_.TextChanged = false;
    }
    if (settled == Settled::Kept) {
        cancel = true;
    }
    WriteWindowSettings(files_, folder_.SettingsPath(), view_.WindowGeometryTwips());
}

std::optional<QString> MemoController::EndNow() {
    if (const std::optional<RecoveryWrite> failure = copy_.WriteNow()) {
        return text::CannotSave(folder_.Shown(failure->path), WriteFailureReason(failure->result));
    }
    return std::nullopt;
}

Recovery MemoController::MemoOfEdits() const {
    return {.name = state_.MemoName, .nameChanged = state_.NameChanged, .onDisk = state_.OnDisk};
}

// The copies that no running instance keeps (a crash, a kill, an end by signal): the newest
// of each memo's, one memo after another until one is restored or the series is put off.
// Copies whose edits the memo's file holds already were saved before the end: they go.
void MemoController::OfferRecovery() {
    const RecoveryListing listing = ListOrphanedRecoveries(folder_.RecoveryFolder());
    if (!listing.unusable.empty()) {
        view_.ShowMessage(text::UnusableRecoveries(folder_.Shown(listing.unusable.front()),
                                                   listing.unusable.size()),
                          Buttons::Ok, MessageIcon::Exclamation);
    }
    for (const OrphanedEdits& memo : listing.memos) {
        std::optional<OrphanedRecovery> orphan = TakeOrphanedRecovery(files_, memo.newest);
        if (!orphan) {
            continue;
        }
        if (IsSavedAlready(orphan->edits)) {
            RemoveRecoveryFile(orphan->path);
        } else if (OfferedRecoveryEnds(*std::move(orphan), memo.olderCopies)) {
            return;
        }
    }
}

bool MemoController::IsSavedAlready(const Recovery& edits) const {
    const std::optional<QByteArray> saved = files_.ReadAll(folder_.MemoPath(edits.name));
    if (!saved) {
        return false;
    }
    const cp932::Encoded encoded = cp932::Encode(edits.text);
    return encoded.unencodableAt < 0 && encoded.bytes == *saved;
}

// Restored edits are the edits of the memo they name, with the file as it was known then.
// Only No gives them up, with the older copies of the same memo; a box closed without an
// answer, or taken away by the end of the program, puts the whole series off to the next
// start. Whether the series ends here.
bool MemoController::OfferedRecoveryEnds(OrphanedRecovery orphan,
                                         const std::vector<QString>& olderCopies) {
    const Recovery& edits = orphan.edits;
    const Answer answer = view_.ShowMessage(text::OfferRecovery(edits.name, olderCopies.size()),
                                            Buttons::YesNoOrLater, MessageIcon::None);
    if (answer == Answer::No) {
        RemoveRecoveryFile(orphan.path);
        for (const QString& older : olderCopies) {
            RemoveOrphanedRecoveryFile(older);
        }
    }
    if (answer != Answer::Yes) {
        return answer != Answer::No;
    }
    const QScopedValueRollback programEdit(programEdit_, true);
    view_.SetComboText(edits.name);
    view_.Text().SetMemoText(edits.text);
    state_.TextChanged = true;
    state_.NameChanged = edits.nameChanged;
    state_.OnDisk = edits.onDisk;
    copy_.Adopt(orphan.path, std::move(orphan.lock), MemoOfEdits());
    return true;
}

// The memo on screen is saved under its own name, not under a name just chosen. A memo
// that could not be saved stays on screen with its edits, as after Cancel; a No gives up
// the edits, restored ones included.
MemoController::Settled MemoController::SettleUnsavedEdits() {
    if (!state_.TextChanged) {
        return Settled::Nothing;
    }
    switch (view_.ShowMessage(text::kCloseQuestion, Buttons::YesNoCancel, MessageIcon::None,
                              text::kCloseQuestionTitle)) {
        case Answer::Yes:
            if (SaveShownMemo(folder_.MemoPath(state_.MemoName)) == SaveOutcome::Saved) {
                return Settled::Saved;
            }
            break;
        case Answer::No:
            copy_.Drop();
            return Settled::Dropped;
        default:
            break;
    }
    ArmRestore(Resume::ResumeComboS);
    return Settled::Kept;
}

// A memo that could not be loaded leaves an empty text, which is no memo's edits.
void MemoController::LoadMemo(const QString& path) {
    const QScopedValueRollback programEdit(programEdit_, true);
    copy_.Drop();
    LoadResult loaded = store_.LoadMemo(path);
    state_.OnDisk = loaded.onDisk;
    state_.MemoName = view_.ComboText();
    state_.TextChanged = false;
    if (loaded.shown) {
        state_.NameChanged = false;
    }
    copy_.StartFrom(std::move(loaded.text));
}

// Only a memo written counts as unedited: one that was not keeps its edits and their copy.
SaveOutcome MemoController::SaveShownMemo(const QString& path) {
    SaveResult saved = store_.SaveMemo(path);
    if (saved.onDisk) {
        state_.OnDisk = *saved.onDisk;
    }
    if (saved.outcome == SaveOutcome::Saved) {
        state_.TextChanged = false;
        state_.NameChanged = false;
        copy_.StartFrom(std::move(saved.text));
    } else {
        copy_.MemoChanged(MemoOfEdits());
    }
    return saved.outcome;
}

void MemoController::ArmRestore(Resume mode) {
    state_.ResumeMode = mode;
    view_.SetTimerEnabled(true);
}

}  // namespace markola
