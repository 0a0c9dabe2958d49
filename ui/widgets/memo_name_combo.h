#pragma once

#include <QComboBox>
#include <QString>
#include <functional>

#include "ui/widgets/composition.h"

namespace markola {

// The memo-name combo box: an edit field that holds the name of the memo shown and a
// list of the memos, in the order they were added. Only the user's typing and the
// program's assignments change the name; filling the list, choosing from it and Enter
// never add to the list or rewrite the typed name behind the user's back.
class MemoNameCombo : public QComboBox {
    Q_OBJECT

public:
    // Windows-style virtual-key code and shift mask (1 Shift, 2 Ctrl, 4 Alt); setting
    // keyCode to 0 consumes the key.
    using KeyDownHandler = std::function<void(int& keyCode, int shift)>;

    explicit MemoNameCombo(QWidget* parent = nullptr);

    QString EditText() const;
    // A program assignment; emits nameChanged when the text differs. An open composition
    // of the input method is committed first.
    void SetEditText(const QString& text);
    void ClearList();
    void AddItem(const QString& name);

    void SetKeyDownHandler(KeyDownHandler keyDown);
    void CommitComposition();

signals:
    // Once for each program assignment that changes the name and each edit by the user.
    void nameChanged();
    // A list item was chosen (again, perhaps); the edit field already holds it.
    void itemChosen();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // Runs a list change that Qt would let rewrite the edit field, and puts it back.
    template <typename ListChange>
    void KeepingEditText(ListChange change);

    KeyDownHandler keyDown_;
    Composition composition_;
};

}  // namespace markola
