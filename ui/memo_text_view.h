#pragma once

#include <QString>

namespace markola {

// The memo text box as the line commands and the memo store see it. Positions are in
// memo units: the memo text uses CR LF between lines, whatever the widget stores.
// Assigning a text that differs from the current one runs OnTextEdited before the call
// returns, exactly as typing does; an assignment that leaves the text as it was runs
// no handler (so swapping two identical lines is no edit).
class MemoTextView {
public:
    virtual ~MemoTextView() = default;

    virtual QString MemoText() const = 0;
    // The memo text a slice at a time, for a copy made between events: the slices
    // [0, n), [n, 2n), ... up to SliceUnits(), joined, are MemoText(). A slice unit need not
    // be a memo unit, and reading a slice never makes the whole text.
    virtual qsizetype SliceUnits() const = 0;
    virtual QString MemoTextSlice(qsizetype from, qsizetype units) const = 0;
    // Loads a text: caret at 0, first line on top, a fresh undo history.
    virtual void SetMemoText(const QString& text) = 0;
    // A line command's replacement: caret at 0, first line on top, one undo step.
    virtual void ReplaceMemoText(const QString& text) = 0;
    virtual int SelStart() const = 0;
    // Plain caret at the position (any selection goes); scrolls just enough to show it.
    virtual void SetSelStart(int position) = 0;
    // Selects that many characters from SelStart on.
    virtual void SetSelLength(int length) = 0;
    virtual int FirstVisibleLine() const = 0;
    // Queued: scrolls by that many displayed lines once the current event is over.
    virtual void PostLineScroll(int lines) = 0;
};

}  // namespace markola
