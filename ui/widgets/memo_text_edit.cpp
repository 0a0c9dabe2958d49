#include "ui/widgets/memo_text_edit.h"

#include <QKeyEvent>
#include <QMimeData>
#include <QPainter>
#include <QResizeEvent>
#include <QScopedValueRollback>
#include <QScrollBar>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextLayout>
#include <algorithm>
#include <utility>

#include "ui/free_memory.h"
#include "ui/widgets/line_end_marks.h"
#include "ui/widgets/long_line_layout.h"
#include "ui/widgets/memo_text_mapping.h"
#include "ui/widgets/plain_line_breaks.h"
#include "ui/widgets/shaping.h"
#include "ui/widgets/steady_caret.h"
#include "ui/widgets/virtual_keys.h"

namespace markola {
namespace {

const QString kDocumentTextFormat = QStringLiteral("application/x-markola-document-text");

}  // namespace

MemoTextEdit::MemoTextEdit(QWidget* parent) : QPlainTextEdit(parent) {
    auto* memoDocument = new QTextDocument(this);
    memoDocument->setDocumentLayout(new LongLineLayout(memoDocument));
    setDocument(memoDocument);
    installEventFilter(new PlainLineBreaks(this));
    new SteadyCaret(this);
    setLineWrapMode(NoWrap);
    setWordWrapMode(QTextOption::NoWrap);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    // The document reports contentsChange before contentsChanged, so the memo text is up
    // to date by the time a memoChanged handler reads it.
    connect(document(), &QTextDocument::contentsChange, this,
            [this](int position, int /*removed*/, int added) {
                if (!programEdit_) {
                    NoteEdit(position, added);
                    // An input method's edit reports its whole block and more.
                    const int end = std::min(position + added, DocumentLength());
                    if (!Shaped() && !DrawsAlikeWithoutShaping(DocumentSlice(position, end))) {
                        UseShaping(true);
                    }
                }
            });
    connect(document(), &QTextDocument::contentsChanged, this, [this] {
        if (!programEdit_ && !inputMethodEdit_) {
            emit memoChanged();
        }
    });
}

QString MemoTextEdit::MemoText() const {
    ApplyPendingEdits();
    if (!memoValid_) {
        memo_ = MemoTextFromDocument(document()->toRawText());
        memoValid_ = true;
    }
    return memo_;
}

qsizetype MemoTextEdit::SliceUnits() const {
    return DocumentLength();
}

// Every document character maps to memo text of its own, so slices join up whole. Outside the
// span that edits have touched since, the memo text kept holds the slice already: before the
// span at the same memo offsets, after it as far from the end.
QString MemoTextEdit::MemoTextSlice(qsizetype from, qsizetype units) const {
    const int first = static_cast<int>(from);
    const int end = static_cast<int>(from + units);
    const std::optional<PendingSpan> span = Pending();
    if (!span) {
        return DocumentSlice(first, end);
    }
    const auto kept = [this](int start, int stop, int shift) {
        const int memoStart = MemoOffsetOf(start) + shift;
        return QStringView(memo_).sliced(memoStart, MemoOffsetOf(stop) + shift - memoStart);
    };
    QString slice;
    if (first < span->from) {
        slice += kept(first, std::min(end, span->from), 0);
    }
    if (first < span->end && end > span->from) {
        slice += DocumentSlice(std::max(first, span->from), std::min(end, span->end));
    }
    if (end > span->end) {
        slice += kept(std::max(first, span->end), end, span->memoEnd - MemoOffsetOf(span->end));
    }
    return slice;
}

QString MemoTextEdit::DocumentSlice(int from, int end) const {
    return MemoTextFromDocument(RawDocumentText(from, end));
}

// Block breaks read as U+2029.
QString MemoTextEdit::RawDocumentText(int from, int end) const {
    QTextCursor span(document());
    span.setPosition(from);
    span.setPosition(end, QTextCursor::KeepAnchor);
    return span.selectedText();
}

void MemoTextEdit::SetMemoText(const QString& text) {
    CommitComposition();
    const bool changed = text != MemoText();
    {
        const QScopedValueRollback programEdit(programEdit_, true);
        const DocumentText loaded = DocumentTextFromMemo(text);
        const bool shaped =
            loaded.holdsMarks || !HoldsLongLine(loaded.text) || !DrawsAlikeWithoutShaping(text);
        if (shaped != Shaped()) {
            clear();  // the old text is not laid out again in the new font
            UseShaping(shaped);
        }
        setPlainText(loaded.text);
        mayHoldMarks_ = loaded.holdsMarks;
        loadedSincePaint_ = true;
        RememberMemo(text, loaded.roundTrips);
    }
    ShowFromStart();
    if (changed) {
        emit memoChanged();
    }
}

void MemoTextEdit::ReplaceMemoText(const QString& text) {
    CommitComposition();
    const QString old = MemoText();
    const bool changed = text != old;
    if (changed) {
        const ChangedSpan span = FindChangedSpan(old, text);
        const QStringView insertedMemo(
            QStringView(text).sliced(span.start, span.newEnd - span.start));
        const DocumentText inserted = DocumentTextFromMemo(insertedMemo);
        const QScopedValueRollback programEdit(programEdit_, true);
        if (!Shaped() && (inserted.holdsMarks || !DrawsAlikeWithoutShaping(insertedMemo))) {
            UseShaping(true);
        }
        QTextCursor cursor(document());
        cursor.setPosition(DocumentPosition(span.start));
        cursor.setPosition(DocumentPosition(span.oldEnd), QTextCursor::KeepAnchor);
        cursor.insertText(inserted.text);  // over the old span, as one undo step
        mayHoldMarks_ = mayHoldMarks_ || inserted.holdsMarks;
        RememberMemo(text, inserted.roundTrips);
    }
    ShowFromStart();
    if (changed) {
        emit memoChanged();
    }
}

int MemoTextEdit::SelStart() const {
    return MemoOffsetOf(textCursor().selectionStart());
}

void MemoTextEdit::SetSelStart(int position) {
    CommitComposition();
    QTextCursor cursor(document());
    cursor.setPosition(DocumentPosition(position));
    setTextCursor(cursor);
    ensureCursorVisible();
}

void MemoTextEdit::SetSelLength(int length) {
    CommitComposition();
    const int start = SelStart();
    QTextCursor cursor(document());
    cursor.setPosition(DocumentPosition(start));
    cursor.setPosition(DocumentPosition(start + std::max(length, 0)), QTextCursor::KeepAnchor);
    setTextCursor(cursor);
}

int MemoTextEdit::FirstVisibleLine() const {
    return firstVisibleBlock().blockNumber();
}

void MemoTextEdit::PostLineScroll(int lines) {
    QMetaObject::invokeMethod(
        this,
        [this, lines] {
            QScrollBar* bar = verticalScrollBar();
            bar->setValue(bar->value() + lines);
        },
        Qt::QueuedConnection);
}

void MemoTextEdit::SetKeyHandlers(KeyDownHandler keyDown, KeyPressHandler keyPress) {
    keyDown_ = std::move(keyDown);
    keyPress_ = std::move(keyPress);
}

void MemoTextEdit::CommitComposition() {
    composition_.Commit(*this);
}

QVariant MemoTextEdit::inputMethodQuery(Qt::InputMethodQuery query) const {
    const QTextCursor caret = textCursor();
    if (query == Qt::ImAnchorPosition &&
        caret.document()->findBlock(caret.anchor()) != caret.block()) {
        return caret.positionInBlock();
    }
    return QPlainTextEdit::inputMethodQuery(query);
}

// A key that a handler swallows is not passed on; it stays accepted, as every key arrives.
void MemoTextEdit::keyPressEvent(QKeyEvent* event) {
    if (const int code = VirtualKeyCode(event->key()); keyDown_ && code != 0) {
        int keyCode = code;
        keyDown_(keyCode, ShiftMask(event->modifiers()));
        if (keyCode == 0) {
            return;
        }
    }
    if (keyPress_ && event->text().size() == 1) {
        const int original = event->text().front().unicode();
        int charCode = original;
        keyPress_(charCode);
        if (charCode == 0) {
            return;
        }
        if (charCode != original) {
            QKeyEvent substitute(event->type(), event->key(), event->modifiers(),
                                 QString(QChar(charCode)), event->isAutoRepeat());
            QPlainTextEdit::keyPressEvent(&substitute);
            return;
        }
    }
    QPlainTextEdit::keyPressEvent(event);
}

// The toolkit only clears the composition from the screen when a click moves the caret, and
// an input method that commits on no request of the toolkit's then goes on composing where
// the caret has gone. A click outside the composition commits it where it was typed first;
// a click inside it is the input method's own, to move its cursor there.
void MemoTextEdit::mousePressEvent(QMouseEvent* event) {
    if (!HitsComposition(event->position().toPoint())) {
        CommitComposition();
    }
    QPlainTextEdit::mousePressEvent(event);
}

void MemoTextEdit::mouseDoubleClickEvent(QMouseEvent* event) {
    QPlainTextEdit::mouseDoubleClickEvent(event);
    emit doubleClicked();
}

// Lines never wrap, so a new width moves no line; the base class would still lay out the
// whole document again on a change of width, building a layout for every line of the
// memo, which for a large memo weighs more than its text. Only the scroll bars follow.
void MemoTextEdit::resizeEvent(QResizeEvent* event) {
    QResizeEvent sameWidth(event->size(), QSize(event->size().width(), event->oldSize().height()));
    QPlainTextEdit::resizeEvent(&sameWidth);
}

void MemoTextEdit::insertFromMimeData(const QMimeData* source) {
    if (source->hasFormat(kDocumentTextFormat)) {
        insertPlainText(QString::fromUtf8(source->data(kDocumentTextFormat)));
    } else if (source->hasText()) {
        insertPlainText(InsertedText(source->text()));
    } else {
        return;
    }
    ensureCursorVisible();
}

// Other programs get the memo's own line ends; this box gets its lines as they are, so
// that a copied lone CR or LF stays one.
QMimeData* MemoTextEdit::createMimeDataFromSelection() const {
    auto* data = new QMimeData;
    const QString selected = textCursor().selectedText();
    data->setText(MemoTextFromDocument(selected));
    data->setData(kDocumentTextFormat, selected.toUtf8());
    return data;
}

void MemoTextEdit::paintEvent(QPaintEvent* event) {
    QPlainTextEdit::paintEvent(event);
    PaintLoneLineEnds();
    if (std::exchange(loadedSincePaint_, false)) {
        ReturnFreeMemoryToSystem();
    }
}

// The columns of a block's line that are on screen, and their text: all of a short line, the
// part in view of a long one, which can be millions of characters long.
MemoTextEdit::Columns MemoTextEdit::ColumnsOnScreen(const QTextBlock& block, const QTextLine& line,
                                                    qreal left) const {
    if (block.length() < kLongLineLength) {
        return {0, block.text()};
    }
    const int first = std::max(line.xToCursor(-left) - 1, 0);
    const int end = std::min(line.xToCursor(viewport()->width() - left) + 1, block.length() - 1);
    return {first,
            RawDocumentText(block.position() + first, block.position() + std::max(end, first))};
}

// Over the empty glyph box that the font gives a mark, in the lines on screen.
void MemoTextEdit::PaintLoneLineEnds() {
    if (!mayHoldMarks_) {
        return;
    }
    QPainter painter(viewport());
    const QTextCursor selection = textCursor();
    // Block by block from the top, as the toolkit paints them: the geometry of each block
    // on its own would be measured from the first block on screen again.
    QPointF offset = contentOffset();
    for (QTextBlock block = firstVisibleBlock();
         block.isValid() && offset.y() <= viewport()->height(); block = block.next()) {
        const QRectF bounds = blockBoundingRect(block).translated(offset);
        offset.ry() += bounds.height();
        const QTextLine line = block.layout()->lineAt(0);  // lines never wrap
        if (!line.isValid()) {
            continue;
        }
        const auto [first, text] = ColumnsOnScreen(block, line, bounds.left());
        for (int i = 0; i < text.size(); ++i) {
            if (text[i] != kLoneCrMark && text[i] != kLoneLfMark) {
                continue;
            }
            const int column = first + i;
            const int position = block.position() + column;
            const qreal start = line.cursorToX(column);
            const QRectF cell(bounds.left() + start, bounds.top() + line.y(),
                              line.cursorToX(column + 1) - start, line.height());
            DrawLineEndMark(
                painter, cell, text[i], palette(),
                position >= selection.selectionStart() && position < selection.selectionEnd());
        }
    }
}

// The document reports every change of a composition as a change of its block, though
// the composition is no text of it; only a commit, text the input method takes away, or a
// selection that a new composition replaces, is an edit. The event and the length of the
// document say which, so no keystroke of a composition costs a look at the whole memo.
void MemoTextEdit::inputMethodEvent(QInputMethodEvent* event) {
    const int length = document()->characterCount();
    {
        const QScopedValueRollback guard(inputMethodEdit_, true);
        DropSelectionTakenBack(*event);
        ApplyWhereComposed(event);
    }
    composition_.Track(*event);
    if (composition_.IsOpen()) {
        composedAt_ = QTextCursor(document());
        composedAt_.setPosition(textCursor().position());
    }
    if (!event->commitString().isEmpty() || event->replacementLength() > 0 ||
        document()->characterCount() != length) {
        emit memoChanged();
    }
}

// The same test as the toolkit's, which hands such a click to the input method.
bool MemoTextEdit::HitsComposition(QPoint point) const {
    const QTextCursor caret = textCursor();
    const int offset = cursorForPosition(point).position() - caret.position();
    return offset >= 0 && offset <= caret.block().layout()->preeditAreaText().size();
}

// What an input method sends for an open composition belongs where the composition is typed,
// also when the caret has moved or a selection was made without committing it first: the text
// lands there, and the user's caret and selection stay, never replaced by it.
void MemoTextEdit::ApplyWhereComposed(QInputMethodEvent* event) {
    const QTextCursor user = textCursor();
    const bool away =
        composition_.IsOpen() && (user.hasSelection() || user.position() != composedAt_.position());
    if (!away) {
        QPlainTextEdit::inputMethodEvent(event);
        return;
    }
    setTextCursor(composedAt_);
    QPlainTextEdit::inputMethodEvent(event);
    setTextCursor(user);
}

// The toolkit removes the selection before it applies a replacement, and counts the
// replacement from where the selection was; ibus, as GTK does, counts it from the caret in
// the text it was told of, selection included (fcitx5 counts as the toolkit does). A
// replacement that is exactly the selection, counted from the caret, is an input method
// taking the selection back to convert it again: without the selection, both counts agree.
void MemoTextEdit::DropSelectionTakenBack(const QInputMethodEvent& event) {
    QTextCursor caret = textCursor();
    const int start = caret.position() + event.replacementStart();
    if (composition_.IsOpen() || event.replacementLength() == 0 ||
        start != caret.selectionStart() ||
        start + event.replacementLength() != caret.selectionEnd()) {
        return;
    }
    caret.clearSelection();
    setTextCursor(caret);
}

int MemoTextEdit::DocumentPosition(int memoOffset) const {
    const QTextDocument* doc = document();
    const int number = BlockOfMemoOffset(memoOffset, doc->blockCount(), [doc](int n) {
        return doc->findBlockByNumber(n).position();
    });
    const QTextBlock block = doc->findBlockByNumber(number);
    return block.position() +
           DocumentColumn(block.text(), memoOffset - MemoOffset(block.position(), number));
}

int MemoTextEdit::MemoOffsetOf(int documentPosition) const {
    return MemoOffset(documentPosition, document()->findBlock(documentPosition).blockNumber());
}

int MemoTextEdit::MemoLength() const {
    return DocumentLength() + document()->blockCount() - 1;
}

void MemoTextEdit::ShowFromStart() {
    setTextCursor(QTextCursor(document()));
    verticalScrollBar()->setValue(0);
    horizontalScrollBar()->setValue(0);
}

int MemoTextEdit::DocumentLength() const {
    // characterCount() includes the separator after the last block, which is no text.
    return document()->characterCount() - 1;
}

// Everything outside [position, position + charsAdded) of the document is as it was.
void MemoTextEdit::NoteEdit(int position, int charsAdded) {
    const int fromEnd = std::max(DocumentLength() - position - charsAdded, 0);
    edited_ = edited_ ? EditedSpan{std::min(edited_->fromStart, position),
                                   std::min(edited_->fromEnd, fromEnd)}
                      : EditedSpan{position, fromEnd};
}

// The memo text changes only between the memo offsets of the two ends of the edited span:
// the start is the same before and after, the end lies as far from the end of the text as
// before.
std::optional<MemoTextEdit::PendingSpan> MemoTextEdit::Pending() const {
    const int length = DocumentLength();
    const int from = edited_ ? std::min(edited_->fromStart, length) : length;
    const int end = edited_ ? std::max(length - edited_->fromEnd, from) : length;
    const int memoFrom = MemoOffsetOf(from);
    const int memoEnd = static_cast<int>(memo_.size()) - (MemoLength() - MemoOffsetOf(end));
    if (!memoValid_ || memoFrom > memoEnd || memoEnd > memo_.size()) {
        return std::nullopt;
    }
    return PendingSpan{from, end, memoFrom, memoEnd};
}

void MemoTextEdit::ApplyPendingEdits() const {
    if (!edited_) {
        return;
    }
    const std::optional<PendingSpan> span = Pending();
    edited_.reset();
    if (!span) {
        memoValid_ = false;
        return;
    }
    memo_.replace(span->memoFrom, span->memoEnd - span->memoFrom,
                  DocumentSlice(span->from, span->end));
}

bool MemoTextEdit::Shaped() const {
    return !(font().styleStrategy() & QFont::PreferNoShaping);
}

// Changing the font lays the whole document out again, which the document reports as a change
// of all of it that nobody typed.
void MemoTextEdit::UseShaping(bool shaped) {
    const QScopedValueRollback programEdit(programEdit_, true);
    setFont(WithShaping(font(), shaped));
}

void MemoTextEdit::RememberMemo(const QString& text, bool exact) {
    edited_.reset();
    memoValid_ = exact;
    memo_ = exact ? text : QString();
}

}  // namespace markola
