#pragma once

namespace markola {

class MemoTextView;

// The line commands on the caret line of the memo text box. Each replacement of the
// text is one undo step, and the line that was on top stays on top.
void MoveCaretLineUp(MemoTextView& view);
void MoveCaretLineDown(MemoTextView& view);
// Toggles the check mark of the caret line; after a double-click that is the line
// where the selection starts.
void ToggleCaretLineCheck(MemoTextView& view);

}  // namespace markola
