#include <QApplication>
#include <QClipboard>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTest>
#include <QTextBlock>

#include "ui/memo_text_edit.h"
#include "ui/memo_text_mapping.h"

namespace markola {

class MemoTextEditTest : public QObject {
    Q_OBJECT

private slots:
    void countsOneChangePerAssignmentAndEdit();
    void keepsTheMemoTextInStepWithUserEdits();
    void undoesAReplacementInOneStep();
    void convertsCaretPositions();
    void scrollsByLines();
    void scrollsSidewaysOnlyWhenALineIsWiderThanTheBox();
    void runsKeyHandlers_data();
    void runsKeyHandlers();
    void doubleClickReportsTheSelectedWord();

private:
    static QString Rebuilt(const MemoTextEdit& edit) {
        return MemoTextFromDocument(edit.document()->toRawText());
    }
};

void MemoTextEditTest::countsOneChangePerAssignmentAndEdit() {
    MemoTextEdit edit;
    QStringList seen;
    connect(&edit, &MemoTextEdit::memoChanged, [&] { seen << edit.MemoText(); });
    const auto step = [&](const char* what, auto action, const QString& expected) {
        seen.clear();
        action();
        const QStringList wanted = expected.isNull() ? QStringList() : QStringList{expected};
        QVERIFY2(seen == wanted, what);
    };
    step(
        "load", [&] { edit.SetMemoText("a\r\nb"); }, "a\r\nb");
    step("equal load", [&] { edit.SetMemoText("a\r\nb"); }, {});
    step("equal replacement", [&] { edit.ReplaceMemoText("a\r\nb"); }, {});
    step(
        "replacement", [&] { edit.ReplaceMemoText("b\r\na"); }, "b\r\na");
    step(
        "typing", [&] { QTest::keyClick(&edit, Qt::Key_X); }, "xb\r\na");
    step(
        "undo", [&] { edit.undo(); }, "b\r\na");
    step(
        "redo", [&] { edit.redo(); }, "xb\r\na");
    step(
        "cut",
        [&] {
            edit.selectAll();
            edit.cut();
        },
        "");
    step(
        "paste", [&] { edit.paste(); }, "xb\r\na");
    step(
        "load empty", [&] { edit.SetMemoText(""); }, "");
}

void MemoTextEditTest::keepsTheMemoTextInStepWithUserEdits() {
    MemoTextEdit edit;
    const QString memo = u"a\rb\nc\r\r\n\0z\r\n"_qs;
    edit.SetMemoText(memo);
    QCOMPARE(edit.MemoText(), memo);
    QCOMPARE(edit.document()->blockCount(), 3);
    edit.SetSelStart(1);
    QTest::keyClick(&edit, Qt::Key_Return);
    QCOMPARE(edit.MemoText(), u"a\r\n\rb\nc\r\r\n\0z\r\n"_qs);
    edit.SetSelStart(8);
    QTest::keyClick(&edit, Qt::Key_Backspace);
    QTest::keyClick(&edit, Qt::Key_Delete);
    QCOMPARE(edit.MemoText(), u"a\r\n\rb\nc\0z\r\n"_qs);
    QCOMPARE(edit.MemoText(), Rebuilt(edit));

    QApplication::clipboard()->setText("1\r2\n3\r\n4");
    edit.paste();
    QCOMPARE(edit.MemoText(), u"a\r\n\rb\nc1\r\n2\r\n3\r\n4\0z\r\n"_qs);
    edit.ReplaceMemoText("x\ry\r\n\n");
    edit.ReplaceMemoText("x\r\ny\r\r\n");
    QCOMPARE(edit.MemoText(), "x\r\ny\r\r\n");
    QCOMPARE(Rebuilt(edit), "x\r\ny\r\r\n");
}

void MemoTextEditTest::undoesAReplacementInOneStep() {
    MemoTextEdit edit;
    QTest::keyClicks(&edit, "typed");
    edit.SetMemoText("a\r\nb\r\nc\r\n");
    QVERIFY(!edit.document()->isUndoAvailable());
    edit.SetSelStart(4);
    edit.ReplaceMemoText("a\r\nc\r\nb\r\n");
    QCOMPARE(edit.SelStart(), 0);
    edit.undo();
    QCOMPARE(edit.MemoText(), "a\r\nb\r\nc\r\n");
    QVERIFY(!edit.document()->isUndoAvailable());
    edit.redo();
    QCOMPARE(edit.MemoText(), "a\r\nc\r\nb\r\n");
    QCOMPARE(Rebuilt(edit), edit.MemoText());
}

void MemoTextEditTest::convertsCaretPositions() {
    MemoTextEdit edit;
    edit.SetMemoText(u"ab\r\nc\U0001F600d\r\n"_qs);
    // Between CR and LF is the end of the line; inside a surrogate pair is before it.
    const std::pair<int, int> cases[] = {{0, 0}, {2, 2}, {3, 2},   {4, 4},   {5, 5},
                                         {6, 5}, {9, 8}, {10, 10}, {99, 10}, {-1, 0}};
    for (const auto& [set, read] : cases) {
        edit.SetSelStart(set);
        QCOMPARE(edit.SelStart(), read);
        QVERIFY(!edit.textCursor().hasSelection());
    }
    edit.SetSelStart(1);
    edit.SetSelLength(4);
    QCOMPARE(edit.SelStart(), 1);
    QCOMPARE(edit.textCursor().selectedText(), u"b\u2029c"_qs);
    edit.SetSelStart(0);
    edit.SetSelLength(static_cast<int>(edit.MemoText().size()));
    QCOMPARE(MemoTextFromDocument(edit.textCursor().selectedText()), edit.MemoText());
}

void MemoTextEditTest::scrollsByLines() {
    MemoTextEdit edit;
    edit.resize(300, 200);
    edit.show();
    QVERIFY(QTest::qWaitForWindowExposed(&edit));
    QStringList lines;
    for (int i = 0; i < 200; ++i) {
        lines << QString("line %1").arg(i);
    }
    edit.SetMemoText(lines.join("\r\n"));
    const auto offsetOfLine = [&](int line) {
        return static_cast<int>(lines.mid(0, line).join("\r\n").size()) + (line > 0 ? 2 : 0);
    };
    QCOMPARE(edit.FirstVisibleLine(), 0);
    edit.SetSelStart(offsetOfLine(150));
    const int top = edit.FirstVisibleLine();
    QVERIFY2(top > 130 && top < 150, qPrintable(QString::number(top)));
    edit.SetSelStart(offsetOfLine(top));
    QCOMPARE(edit.FirstVisibleLine(), top);  // already visible: no scroll

    edit.PostLineScroll(-10);
    QCOMPARE(edit.FirstVisibleLine(), top);
    QTRY_COMPARE(edit.FirstVisibleLine(), top - 10);
    edit.PostLineScroll(25);
    QTRY_COMPARE(edit.FirstVisibleLine(), top + 15);
    QCOMPARE(edit.horizontalScrollBar()->value(), 0);

    edit.ReplaceMemoText(edit.MemoText() + "\r\nmore");
    QCOMPARE(edit.FirstVisibleLine(), 0);
    QCOMPARE(edit.SelStart(), 0);
}

void MemoTextEditTest::scrollsSidewaysOnlyWhenALineIsWiderThanTheBox() {
    MemoTextEdit edit;
    edit.resize(900, 200);
    edit.show();
    QVERIFY(QTest::qWaitForWindowExposed(&edit));
    const QString wide = QString(60, u'W');
    edit.SetMemoText("short\r\n" + wide);
    const int wideWidth = edit.fontMetrics().horizontalAdvance(wide);
    for (const int width : {wideWidth / 2, wideWidth * 2, wideWidth / 3, 700}) {
        edit.resize(width, 200);
        QCoreApplication::processEvents();
        const int range = edit.horizontalScrollBar()->maximum();
        const int overhang = wideWidth - edit.viewport()->width();
        QVERIFY2(overhang > 0 ? range >= overhang : range == 0,
                 qPrintable(QString("width %1: range %2").arg(width).arg(range)));
    }
    edit.SetMemoText("short");
    edit.resize(200, 200);
    QCoreApplication::processEvents();
    QCOMPARE(edit.horizontalScrollBar()->maximum(), 0);
}

void MemoTextEditTest::runsKeyHandlers_data() {
    QTest::addColumn<int>("key");
    QTest::addColumn<int>("modifiers");
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("keyCode");
    QTest::addColumn<int>("shift");
    QTest::addColumn<QString>("memoAfter");
    QTest::addColumn<int>("caretAfter");
    const int ctrl = Qt::ControlModifier;
    // The handlers consume Ctrl+Left, swallow 'x' and turn 'a' into 'b'.
    QTest::newRow("consumed Ctrl+Left")
        << int(Qt::Key_Left) << ctrl << "" << 37 << 2 << "abc def" << 5;
    QTest::newRow("Left passes") << int(Qt::Key_Left) << 0 << "" << 37 << 0 << "abc def" << 4;
    QTest::newRow("Ctrl+Shift+Home")
        << int(Qt::Key_Home) << ctrl + int(Qt::ShiftModifier) << "" << 36 << 3 << "abc def" << 0;
    QTest::newRow("swallowed x") << int(Qt::Key_X) << 0 << "x" << 88 << 0 << "abc def" << 5;
    QTest::newRow("Alt+y typed") << int(Qt::Key_Y) << int(Qt::AltModifier) << "y" << 89 << 4
                                 << "abc dyef" << 6;
    QTest::newRow("a becomes b") << int(Qt::Key_A) << 0 << "a" << 65 << 0 << "abc dbef" << 6;
}

void MemoTextEditTest::runsKeyHandlers() {
    QFETCH(int, key);
    QFETCH(int, modifiers);
    QFETCH(QString, text);
    MemoTextEdit edit;
    edit.SetMemoText("abc def");
    edit.SetSelStart(5);
    int seenCode = -1;
    int seenShift = -1;
    edit.SetKeyHandlers(
        [&](int& keyCode, int shift) {
            seenCode = keyCode;
            seenShift = shift;
            if (keyCode == 37 && shift == 2) {
                keyCode = 0;
            }
        },
        [](int& charCode) {
            if (charCode == 'x') {
                charCode = 0;
            } else if (charCode == 'a') {
                charCode = 'b';
            }
        });
    QSignalSpy changes(&edit, &MemoTextEdit::memoChanged);
    QKeyEvent press(QEvent::KeyPress, key, Qt::KeyboardModifiers(modifiers), text);
    QApplication::sendEvent(&edit, &press);
    QTEST(seenCode, "keyCode");
    QTEST(seenShift, "shift");
    QTEST(edit.MemoText(), "memoAfter");
    QTEST(edit.SelStart(), "caretAfter");
    QCOMPARE(changes.count(), edit.MemoText() == "abc def" ? 0 : 1);
}

void MemoTextEditTest::doubleClickReportsTheSelectedWord() {
    MemoTextEdit edit;
    edit.resize(300, 200);
    edit.show();
    QVERIFY(QTest::qWaitForWindowExposed(&edit));
    edit.SetMemoText("first\r\nabc def ghi");
    int startAtSignal = -1;
    connect(&edit, &MemoTextEdit::doubleClicked, [&] { startAtSignal = edit.SelStart(); });
    QTextCursor inWord(edit.document());
    inWord.setPosition(6 + 5);
    QTest::mouseDClick(edit.viewport(), Qt::LeftButton, {}, edit.cursorRect(inWord).center());
    QCOMPARE(startAtSignal, 7 + 4);
}

}  // namespace markola

QTEST_MAIN(markola::MemoTextEditTest)
#include "memo_text_edit_test.moc"
