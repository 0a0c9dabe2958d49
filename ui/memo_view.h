#pragma once

#include <QString>

#include "storage/window_settings.h"
#include "ui/memo_text_view.h"

namespace markola {

enum class Answer { Ok, Yes, No, Cancel };
// YesNoDefaultNo: a question where a hasty Enter must not destroy anything. YesNoOrLater:
// Yes or No, where Escape and the close box leave the question open for another time.
enum class Buttons { Ok, YesNo, YesNoDefaultNo, YesNoCancel, YesNoOrLater };
enum class MessageIcon { None, Exclamation };

// Everything the memo controller, the memo store and the line commands need of the
// main window.
//
// Assigning the combo text runs OnNameEdited before the call returns, exactly as
// typing does, and the memo text likewise runs OnTextEdited. An assignment that leaves
// the text as it was runs no handler: so New on an empty, unedited memo leaves it
// unedited, and a restore that puts back the name already shown changes no flag.
class MemoView {
public:
    virtual ~MemoView() = default;

    // The memo text box.
    virtual MemoTextView& Text() = 0;

    virtual QString ComboText() const = 0;
    // By value: the assignment may first commit a composition, and the change handler that
    // the commit runs may change the very string the caller passed (MemoName).
    virtual void SetComboText(QString text) = 0;
    virtual void ClearComboList() = 0;  // runs no handler
    virtual void AddComboItem(const QString& name) = 0;
    virtual void FocusCombo() = 0;

    // While enabled, OnRestoreTick runs every 100 ms as an event of its own.
    virtual void SetTimerEnabled(bool enabled) = 0;

    virtual void SetApplicationTitle(const QString& title) = 0;
    // Why the unsaved edits cannot be kept, where the user sees it without being stopped; an
    // empty text once they can.
    virtual void ShowCopyTrouble(const QString& trouble) = 0;
    // A modal message box; an empty title stands for the application title. Closing a
    // box that has a Cancel button, or YesNoOrLater, answers Cancel, any other No; a box
    // that the program's end takes away answers Cancel. Yes is the default button unless
    // the buttons say otherwise.
    virtual Answer ShowMessage(const QString& prompt, Buttons buttons, MessageIcon icon,
                               const QString& title = {}) = 0;
    virtual void SetBusy(bool busy) = 0;

    virtual WindowGeometry WindowGeometryTwips() const = 0;
    virtual void SetWindowGeometryTwips(const WindowGeometry& geometry) = 0;
};

}  // namespace markola
