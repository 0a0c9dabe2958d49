#pragma once

#include <QStringList>
#include <deque>
#include <functional>
#include <stdexcept>
#include <vector>

#include "ui/memo_view.h"

namespace markola::testing {

struct ShownMessage {
    QString prompt;
    Buttons buttons;
    MessageIcon icon;
    QString title;  // as shown: an empty title became the application title
    friend bool operator==(const ShownMessage&, const ShownMessage&) = default;
};

// A view without a toolkit. Assigning a text that differs runs the change handler before
// returning, as typing does, so tests type by assigning. Every line is in view, so the
// caret never scrolls. Questions take their answers from a queue the test fills; a
// question nobody expected fails the test. It is its own text box.
class FakeView : public MemoView, public MemoTextView {
public:
    std::function<void()> onComboChange, onTextChange;
    QString comboText;
    QStringList comboList;
    QString memoText;
    int selStart = 0, selLength = 0, firstVisibleLine = 0;
    int replaceCount = 0, comboFocusCount = 0;
    std::vector<int> postedScrolls;
    bool timerEnabled = false;
    QString applicationTitle;
    std::vector<ShownMessage> messages;
    std::deque<Answer> answers;
    WindowGeometry geometry;

    QString ComboText() const override { return comboText; }
    void SetComboText(const QString& text) override {
        if (text != comboText) {
            comboText = text;
            onComboChange();
        }
    }
    void ClearComboList() override { comboList.clear(); }
    void AddComboItem(const QString& name) override { comboList.append(name); }
    void FocusCombo() override { ++comboFocusCount; }

    MemoTextView& Text() override { return *this; }

    QString MemoText() const override { return memoText; }
    // Loading and replacing put the caret and the view back on top, as the text box does.
    void SetMemoText(const QString& text) override {
        selStart = selLength = firstVisibleLine = 0;
        if (text != memoText) {
            memoText = text;
            onTextChange();
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
    Answer ShowMessage(const QString& prompt, Buttons buttons, MessageIcon icon,
                       const QString& title) override {
        messages.push_back({prompt, buttons, icon, title.isEmpty() ? applicationTitle : title});
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
