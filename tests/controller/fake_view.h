#pragma once

#include <QStringList>
#include <deque>
#include <functional>
#include <stdexcept>
#include <tuple>
#include <utility>
#include <vector>

#include "ui/memo_controller.h"

namespace markola::testing {

// Prompt, buttons, icon and the title as shown (an empty one became the application title).
using ShownMessage = std::tuple<QString, Buttons, MessageIcon, QString>;

// A view without a toolkit, and its own text box. Assigning a text that differs runs the change
// handler before returning, as typing does, so tests type by assigning. Every line is in view, so
// the caret never scrolls. Questions take answers from a queue; an unexpected one fails the test.
class FakeView : public MemoView, public MemoTextView {
public:
    MemoController* controller = nullptr;
    QString comboText, memoText, applicationTitle;
    QStringList comboList;
    int selStart = 0, selLength = 0, firstVisibleLine = 0, replaceCount = 0, comboFocusCount = 0;
    std::vector<int> postedScrolls;
    bool timerEnabled = false;
    std::vector<ShownMessage> messages;
    QStringList copyTroubles;  // as shown, in order
    std::deque<Answer> answers;
    std::function<void(Buttons)> whileShown;  // what happens while a message is open
    WindowGeometry geometry;

    QString ComboText() const override { return comboText; }
    void SetComboText(QString text) override {
        if (std::exchange(comboText, text) != text) {
            controller->OnNameEdited();
        }
    }
    void ClearComboList() override { comboList.clear(); }
    void AddComboItem(const QString& name) override { comboList.append(name); }
    void FocusCombo() override { ++comboFocusCount; }

    MemoTextView& Text() override { return *this; }

    QString MemoText() const override { return memoText; }
    qsizetype SliceUnits() const override { return memoText.size(); }
    QString MemoTextSlice(qsizetype from, qsizetype units) const override {
        return memoText.sliced(from, units);
    }
    // Loading and replacing put the caret and the view back on top, as the text box does.
    void SetMemoText(const QString& text) override {
        selStart = selLength = firstVisibleLine = 0;
        if (std::exchange(memoText, text) != text) {
            controller->OnTextEdited();
        }
    }
    void ReplaceMemoText(const QString& text) override {
        ++replaceCount;
        SetMemoText(text);
    }
    int SelStart() const override { return selStart; }
    void SetSelLength(int length) override { selLength = length; }
    void SetSelStart(int position) override {
        selStart = position;
        selLength = 0;
    }
    int FirstVisibleLine() const override { return firstVisibleLine; }
    void PostLineScroll(int lines) override { postedScrolls.push_back(lines); }

    void SetTimerEnabled(bool enabled) override { timerEnabled = enabled; }
    void SetApplicationTitle(const QString& title) override { applicationTitle = title; }
    void ShowCopyTrouble(const QString& trouble) override { copyTroubles.push_back(trouble); }
    Answer ShowMessage(const QString& prompt, Buttons buttons, MessageIcon icon,
                       const QString& title) override {
        messages.emplace_back(prompt, buttons, icon, title.isEmpty() ? applicationTitle : title);
        if (whileShown) {
            whileShown(buttons);
        }
        if (buttons == Buttons::Ok) {
            return Answer::Ok;
        }
        if (answers.empty()) {
            throw std::logic_error("unexpected question: " + prompt.toStdString());
        }
        const Answer answer = answers.front();
        answers.pop_front();
        return answer;
    }
    void SetBusy(bool) override {}
    WindowGeometry WindowGeometryTwips() const override { return geometry; }
    void SetWindowGeometryTwips(const WindowGeometry& g) override { geometry = g; }
};

}  // namespace markola::testing
