#pragma once

#include <QString>

#include "storage/window_settings.h"

namespace markola {

enum class Answer { Ok, Yes, No, Cancel };
enum class Buttons { Ok, YesNo, YesNoCancel };
enum class MessageIcon { None, Exclamation };

// Everything the memo controller, the memo store and the line commands need of the
// main window.
//
// Assigning the combo text or the memo text runs the matching change handler
// (Combo1_Change, Text1_Change) before the call returns, exactly as typing does.
// An assignment that leaves the text as it was runs no handler: so New on an empty,
// unedited memo leaves it unedited, and swapping two identical lines is no edit.
class MemoView {
public:
    virtual ~MemoView() = default;

    virtual QString ComboText() const = 0;
    virtual void SetComboText(const QString& text) = 0;
    virtual void ClearComboList() = 0;  // runs no handler
    virtual void AddComboItem(const QString& name) = 0;
    virtual void FocusCombo() = 0;

    // The memo text uses CR LF between lines, whatever the widget stores.
    virtual QString MemoText() const = 0;
    // Loads a text: caret at 0, first line on top, a fresh undo history.
    virtual void SetMemoText(const QString& text) = 0;
    // A line command's replacement: caret at 0, first line on top, one undo step.
    virtual void ReplaceMemoText(const QString& text) = 0;
    virtual int SelStart() const = 0;
    // Plain caret at the position (any selection goes); scrolls just enough to show it.
    virtual void SetSelStart(int position) = 0;
    virtual int FirstVisibleLine() const = 0;
    // Queued: scrolls by that many displayed lines once the current event is over.
    virtual void PostLineScroll(int lines) = 0;

    // While enabled, Timer1_Timer runs every 100 ms as an event of its own.
    virtual void SetTimerEnabled(bool enabled) = 0;

    virtual void SetApplicationTitle(const QString& title) = 0;
    // A modal message box; an empty title stands for the application title. Closing a
    // box that has a Cancel button answers Cancel; Yes is the default button.
    virtual Answer ShowMessage(const QString& prompt, Buttons buttons, MessageIcon icon,
                               const QString& title = {}) = 0;
    virtual void SetBusy(bool busy) = 0;

    virtual WindowGeometry WindowGeometryTwips() const = 0;
    virtual void SetWindowGeometryTwips(const WindowGeometry& geometry) = 0;
};

}  // namespace markola
