#pragma once

#include <QString>
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
    QString title;  // the title as shown: an empty title became the application title
};

// A view without a toolkit. It keeps the view contract: assigning a text that differs
// from the current one runs the change handler before returning. Questions are
// answered from a queue the test fills; a question nobody expected fails the test.
class FakeView : public MemoView {
public:
    std::function<void()> onComboChange;
    std::function<void()> onTextChange;

    QString comboText;
    QStringList comboList;
    int comboFocusCount = 0;
    QString memoText;
    int selStart = 0;
    int selLength = 0;
    int firstVisibleLine = 0;
    int visibleLines = 10;
    std::vector<int> postedScrolls;
    int replaceCount = 0;
    bool timerEnabled = false;
    QString applicationTitle;
    std::vector<ShownMessage> messages;
    std::deque<Answer> answers;
    int busyDepth = 0;
    int busyCount = 0;
    WindowGeometry geometry;

    // Typing in the combo's edit field, as the user does it.
    void TypeComboText(const QString& text) {
        comboText = text;
        Notify(onComboChange);
    }
    // Typing in the memo text.
    void TypeMemoText(const QString& text) {
        memoText = text;
        Notify(onTextChange);
    }

    QString ComboText() const override { return comboText; }
    void SetComboText(const QString& text) override {
        if (text != comboText) {
            TypeComboText(text);
        }
    }
    void ClearComboList() override { comboList.clear(); }
    void AddComboItem(const QString& name) override { comboList.append(name); }
    void FocusCombo() override { ++comboFocusCount; }

    QString MemoText() const override { return memoText; }
    void SetMemoText(const QString& text) override { Assign(text); }
    void ReplaceMemoText(const QString& text) override {
        ++replaceCount;
        Assign(text);
    }
    int SelStart() const override { return selStart; }
    void SetSelLength(int length) override { selLength = length; }
    void SetSelStart(int position) override {
        selStart = position;
        selLength = 0;
        const int line = LineOf(position);
        if (line < firstVisibleLine) {
            firstVisibleLine = line;
        } else if (line >= firstVisibleLine + visibleLines) {
            firstVisibleLine = line - visibleLines + 1;
        }
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
    void SetBusy(bool busy) override {
        busyDepth += busy ? 1 : -1;
        busyCount += busy ? 1 : 0;
    }

    WindowGeometry WindowGeometryTwips() const override { return geometry; }
    void SetWindowGeometryTwips(const WindowGeometry& g) override { geometry = g; }

private:
    void Assign(const QString& text) {
        selStart = 0;
        selLength = 0;
        firstVisibleLine = 0;
        if (text != memoText) {
            TypeMemoText(text);
        }
    }
    int LineOf(int position) const {
        return static_cast<int>(memoText.left(position).count(QStringLiteral("\r\n")));
    }
    static void Notify(const std::function<void()>& handler) {
        if (handler) {
            handler();
        }
    }
};

}  // namespace markola::testing
