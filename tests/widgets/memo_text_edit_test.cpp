#include <QApplication>
#include <QClipboard>
#include <QInputMethodEvent>
#include <QScrollBar>
#include <QTest>
#include <functional>

#include "ui/widgets/memo_text_edit.h"
#include "ui/widgets/memo_text_mapping.h"

namespace markola {

class MemoTextEditTest : public QObject {
    Q_OBJECT

    static QString Rebuilt(const MemoTextEdit& edit) {
        return MemoTextFromDocument(edit.document()->toRawText());
    }

private slots:
    void reportsEachChangeOnceAndAtOnceWithTheMemoText() {
        MemoTextEdit edit;
        QStringList seen;
        connect(&edit, &MemoTextEdit::memoChanged, [&] { seen << edit.MemoText(); });
        const auto press = [&edit](int at, Qt::Key key, Qt::KeyboardModifiers modifiers = {}) {
            return [&edit, at, key, modifiers] {
                edit.SetSelStart(at);
                QTest::keyClick(&edit, key, modifiers);
            };
        };
        // As an input method sends it: a composition shown, then committed or given up.
        const auto compose = [&edit](const QString& preedit, const QString& commit = {}) {
            return [&edit, preedit, commit] {
                QInputMethodEvent event(preedit, {});
                event.setCommitString(commit);
                QApplication::sendEvent(&edit, &event);
            };
        };
        // A pasted "␍" is that symbol; the text box's own marks cannot be pasted.
        QApplication::clipboard()->setText(u"1\r2\u20283\r\n4\u240D\uFDD2"_qs);
        const std::pair<std::function<void()>, QStringList> steps[] = {
            {[&] { edit.SetMemoText(u"a\rb\nc\r\n\0z"_qs); }, {u"a\rb\nc\r\n\0z"_qs}},
            {[&] { edit.SetMemoText(u"a\rb\nc\r\n\0z"_qs); }, {}},
            {[&] { edit.undo(); }, {}},  // a loaded memo is no step to undo
            {[&] { edit.ReplaceMemoText(u"a\rb\nc\r\n\0z"_qs); }, {}},
            {press(1, Qt::Key_Return, Qt::ShiftModifier), {u"a\r\n\rb\nc\r\n\0z"_qs}},
            {press(9, Qt::Key_Backspace), {u"a\r\n\rb\nc\0z"_qs}},
            {[&] { edit.paste(); }, {u"a\r\n\rb\nc1\r\n2\r\n3\r\n4\u240D\0z"_qs}},
            {[&] { edit.undo(); }, {u"a\r\n\rb\nc\0z"_qs}},
            {[&] { edit.redo(); }, {u"a\r\n\rb\nc1\r\n2\r\n3\r\n4\u240D\0z"_qs}},
            {[&] {
                 edit.selectAll();
                 edit.copy();
                 QCOMPARE(QApplication::clipboard()->text(), edit.MemoText());
                 edit.paste();
             },
             {u"a\r\n\rb\nc1\r\n2\r\n3\r\n4\u240D\0z"_qs}},
            {[&] { edit.selectAll(); }, {}},
            {[&] { edit.cut(); }, {""}},
            {[&] { edit.ReplaceMemoText("a\r\nb"); }, {"a\r\nb"}},
            {[&] { edit.ReplaceMemoText("b\r\na"); }, {"b\r\na"}},
            {[&] { edit.undo(); }, {"a\r\nb"}},  // a replace is one step
            {[&] { edit.ReplaceMemoText("b\r\na"); }, {"b\r\na"}},
            {compose(u"に"_qs), {}},
            {compose(""), {}},  // given up
            {compose(u"日本"_qs), {}},
            {compose("", u"日本"_qs), {u"日本b\r\na"_qs}},
            {compose("x"), {}},
            {[&] { edit.SetSelStart(4); }, {u"日本xb\r\na"_qs}},  // committed where typed
            {compose("y"), {}},
            {[&] { edit.SetMemoText("z"); }, {u"日本xby\r\na"_qs, "z"}},
            {[&] { edit.SetSelStart(1); }, {}},
            {compose("", u"\u2028"_qs), {"z\r\n"}},
        };
        for (const auto& [step, wanted] : steps) {
            seen.clear();
            step();
            QCOMPARE(seen, wanted);
            QCOMPARE(Rebuilt(edit), edit.MemoText());
        }
    }

    void speaksMemoUnitsForTheCaret() {
        MemoTextEdit edit;
        edit.SetMemoText(u"ab\r\nc\U0001F600d\r\n"_qs);
        // Between CR and LF is the end of the line; inside a surrogate pair is before it.
        const std::pair<int, int> cases[] = {{0, 0}, {2, 2}, {3, 2},   {4, 4},   {5, 5},
                                             {6, 5}, {9, 8}, {10, 10}, {99, 10}, {-1, 0}};
        for (const auto& [set, read] : cases) {
            edit.SetSelStart(set);
            QCOMPARE(edit.SelStart(), read);
        }
        edit.SetSelStart(1);
        edit.SetSelLength(4);
        QCOMPARE(edit.textCursor().selectedText(), u"b\u2029c"_qs);
    }

    // The box draws each mark over its cell: CR and LF differ from each other and from a
    // blank, a typed arrow and the empty box a font draws for a noncharacter.
    void drawsLoneCrAndLfAsMarksOfTheirOwn() {
        MemoTextEdit edit;
        edit.resize(200, 60);
        QList<QImage> shots;
        for (const QString& memo :
             {u"x\ry"_qs, u"x\ny"_qs, u"x y"_qs, u"x\u2190y"_qs, u"x\uFDD4y"_qs}) {
            edit.SetMemoText(memo);
            shots << edit.viewport()->grab().toImage();
        }
        for (int other = 1; other < shots.size(); ++other) {
            QVERIFY2(shots[0] != shots[other] && (other == 1 || shots[1] != shots[other]),
                     qPrintable(QString::number(other)));
        }
    }

    void scrollsSidewaysOnlyWhenALineIsWiderThanTheBox() {
        MemoTextEdit edit;
        edit.show();
        const QString wide = QString(60, u'W');
        edit.SetMemoText("short\r\n" + wide);
        const int wideWidth = edit.fontMetrics().horizontalAdvance(wide);
        for (const int width : {wideWidth / 2, wideWidth * 2, wideWidth / 3, 700}) {
            edit.resize(width, 200);
            QCoreApplication::processEvents();
            const int overhang = wideWidth - edit.viewport()->width();
            const int range = edit.horizontalScrollBar()->maximum();
            QVERIFY2(overhang > 0 ? range >= overhang : range == 0,
                     qPrintable(QString::number(width)));
        }
    }
};

}  // namespace markola

QTEST_MAIN(markola::MemoTextEditTest)
#include "memo_text_edit_test.moc"
