#pragma once

#include <QPlainTextEdit>
#include <QString>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextLine>
#include <functional>
#include <optional>

#include "ui/memo_text_view.h"
#include "ui/widgets/composition.h"

namespace markola {

// The memo text box. It shows the memo one CR LF line per block, without wrapping, and
// speaks memo units to the outside: the memo text joins its lines with CR LF, and
// positions count each line break as two units. A memo position between the CR and the
// LF of a break stands for the end of that line, since the document has no position
// inside a break.
class MemoTextEdit : public QPlainTextEdit, public MemoTextView {
    Q_OBJECT

public:
    // Windows-style virtual-key code and shift mask (1 Shift, 2 Ctrl, 4 Alt); setting
    // keyCode to 0 consumes the key, so the box does nothing with it.
    using KeyDownHandler = std::function<void(int& keyCode, int shift)>;
    // The character a key produces; setting it to 0 swallows it: nothing is inserted.
    using KeyPressHandler = std::function<void(int& charCode)>;

    explicit MemoTextEdit(QWidget* parent = nullptr);

    QString MemoText() const override;
    // In document positions: the edits not yet taken into the memo text stay so.
    qsizetype SliceUnits() const override;
    QString MemoTextSlice(qsizetype from, qsizetype units) const override;
    // Loads a text: caret at 0, first line on top, a fresh undo history.
    void SetMemoText(const QString& text) override;
    // A line command's replacement: one edit of the changed span only, one undo step,
    // then caret at 0 and first line on top, as after a whole-text replacement.
    void ReplaceMemoText(const QString& text) override;

    int SelStart() const override;
    void SetSelStart(int position) override;
    void SetSelLength(int length) override;
    int FirstVisibleLine() const override;
    // Scrolls by that many lines once the current event has returned to the event loop.
    void PostLineScroll(int lines) override;

    void SetKeyHandlers(KeyDownHandler keyDown, KeyPressHandler keyPress);
    using QPlainTextEdit::inputMethodQuery;
    // An input method reads the caret's line only: a selection that reaches into another
    // line is not reported, so that it never takes back more of the selection than it read.
    QVariant inputMethodQuery(Qt::InputMethodQuery query) const override;
    // Commits the input method's open composition where it is being typed; every program
    // change of the text or the caret does this first.
    void CommitComposition();

signals:
    // Once for each program assignment that changes the text, and once for each edit
    // by the user (typing, paste, cut, undo, redo, a committed composition); never for an
    // input method's composition that is shown, changed or given up.
    void memoChanged();
    // After the box's own double-click handling, so SelStart reads the selection start.
    void doubleClicked();

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void insertFromMimeData(const QMimeData* source) override;
    QMimeData* createMimeDataFromSelection() const override;
    void paintEvent(QPaintEvent* event) override;
    void inputMethodEvent(QInputMethodEvent* event) override;

private:
    bool HitsComposition(QPoint point) const;
    void ApplyWhereComposed(QInputMethodEvent* event);
    void DropSelectionTakenBack(const QInputMethodEvent& event);
    int DocumentPosition(int memoOffset) const;
    int MemoOffsetOf(int documentPosition) const;
    int MemoLength() const;
    int DocumentLength() const;
    QString DocumentSlice(int from, int end) const;
    QString RawDocumentText(int from, int end) const;
    void ShowFromStart();
    void PaintLoneLineEnds();
    struct Columns {
        int first;
        QString text;
    };
    Columns ColumnsOnScreen(const QTextBlock& block, const QTextLine& line, qreal left) const;
    void NoteEdit(int position, int charsAdded);
    // The document positions [from, end) that edits have touched since the memo text was kept,
    // and the memo offsets [memoFrom, memoEnd) of the kept text that they stand in for; nothing
    // where the kept text cannot tell.
    struct PendingSpan {
        int from, end, memoFrom, memoEnd;
    };
    std::optional<PendingSpan> Pending() const;
    void ApplyPendingEdits() const;
    void RememberMemo(const QString& text, bool exact);
    bool Shaped() const;
    void UseShaping(bool shaped);

    KeyDownHandler keyDown_;
    KeyPressHandler keyPress_;
    // While the program itself changes the text, the document's own change signals are not
    // the user's edits: the caller emits memoChanged once and sets the memo cache itself.
    bool programEdit_ = false;
    bool inputMethodEdit_ = false;
    // Marks come in only with a text the program puts in (typed and pasted text has none), so
    // a memo loaded without them spares every paint the search for them.
    bool mayHoldMarks_ = false;
    // A load and the first layout of the lines on screen free the heap pages of buffers as large
    // as the memo, which the C library would keep; the paint after a load gives them back.
    bool loadedSincePaint_ = false;
    Composition composition_;
    // Where the open composition is typed; it follows the edits around it.
    QTextCursor composedAt_;
    // The memo text is asked for on every line command; rebuilding it from a document of
    // 100,000 lines would cost more than the whole command may take, so it is kept in
    // step with the edits and rebuilt only after a load that the document altered. Putting
    // each typed key into the middle of a 10 MB string would move half of it, so the edits
    // only widen the span of the document they touched, and the text of that span goes into
    // the memo text once it is asked for. The span is counted from the start and from the
    // end of the document, which the edits outside it leave as they are.
    mutable QString memo_;
    mutable bool memoValid_ = true;
    struct EditedSpan {
        int fromStart;
        int fromEnd;
    };
    mutable std::optional<EditedSpan> edited_;
};

}  // namespace markola
