#include "ui/line_commands.h"

#include <QString>

#include "core/line_tools.h"
#include "ui/memo_text_view.h"

namespace markola {
namespace {

// Borrows the string's buffer: the view is valid as long as text is alive and unchanged.
MemoStringView AsMemoView(const QString& text) {
    return {reinterpret_cast<const char16_t*>(text.utf16()), static_cast<std::size_t>(text.size())};
}

QString ToQString(MemoStringView text) {
    return QString(reinterpret_cast<const QChar*>(text.data()),
                   static_cast<qsizetype>(text.size()));
}

// Puts the edit into the text box and scrolls the line that was on top (top0) back to
// the top: the replacement showed the first line and the caret scrolled only into view.
void ApplyLineEdit(MemoTextView& view, const LineEdit& edit, int top0) {
    view.ReplaceMemoText(ToQString(edit.text));
    view.SetSelStart(edit.caret);
    const std::int32_t scroll = KeepTopLineScroll(top0, view.FirstVisibleLine());
    if (scroll != 0) {
        view.PostLineScroll(scroll);
    }
}

using LineMove = std::optional<LineEdit> (*)(MemoStringView, std::int32_t);

void RunLineMove(MemoTextView& view, LineMove move) {
    const int top0 = view.FirstVisibleLine();
    const int caret = view.SelStart();
    QString text = view.MemoText();
    // Asked before any copy: a command on a memo of 10 MB may take 5 ms in all.
    if (!AsMemoView(text).ends_with(kLineBreak)) {
        view.ReplaceMemoText(ToQString(EnsureFinalBreak(AsMemoView(text))));
        text = view.MemoText();
    }
    if (const auto edit = move(AsMemoView(text), caret)) {
        ApplyLineEdit(view, *edit, top0);
    }
}

}  // namespace

void MoveCaretLineUp(MemoTextView& view) {
    RunLineMove(view, MoveLineUp);
}

void MoveCaretLineDown(MemoTextView& view) {
    RunLineMove(view, MoveLineDown);
}

void ToggleCaretLineCheck(MemoTextView& view) {
    const int top0 = view.FirstVisibleLine();
    const int caret = view.SelStart();
    const QString text = view.MemoText();
    ApplyLineEdit(view, ToggleCheck(AsMemoView(text), caret), top0);
}

}  // namespace markola
