#include "ui/widgets/memo_name_combo.h"

#include <QApplication>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMetaMethod>
#include <QSignalBlocker>

#include "ui/widgets/virtual_keys.h"

namespace markola {

MemoNameCombo::MemoNameCombo(QWidget* parent) : QComboBox(parent) {
    setEditable(true);
    setInsertPolicy(NoInsert);
    setDuplicatesEnabled(true);
    // Inline completion would finish a typed name with a listed one.
    setCompleter(nullptr);
    // The keys reach the edit field or, when the combo box itself has the focus, the box.
    lineEdit()->installEventFilter(this);
    installEventFilter(this);
    // Qt takes an edit field that loses the focus while naming a listed item for a choice
    // of that item; only a pick from the list or the arrow keys choose a memo.
    disconnect(lineEdit(), QMetaMethod::fromSignal(&QLineEdit::editingFinished), this,
               QMetaMethod());
    connect(lineEdit(), &QLineEdit::textEdited, this, &MemoNameCombo::nameChanged);
    connect(this, &QComboBox::activated, this, &MemoNameCombo::itemChosen);
}

QString MemoNameCombo::EditText() const {
    return lineEdit()->text();
}

void MemoNameCombo::SetEditText(const QString& text) {
    CommitComposition();
    if (text == EditText()) {
        return;
    }
    lineEdit()->setText(text);
    emit nameChanged();
}

void MemoNameCombo::ClearList() {
    KeepingEditText([this] { clear(); });
}

void MemoNameCombo::AddItem(const QString& name) {
    KeepingEditText([this, &name] { addItem(name); });
}

void MemoNameCombo::SetKeyDownHandler(KeyDownHandler keyDown) {
    keyDown_ = std::move(keyDown);
}

// The input method speaks to whichever of the two has the focus.
void MemoNameCombo::CommitComposition() {
    if (QApplication::focusWidget() == this) {
        composition_.Commit(*this);
    } else {
        composition_.Commit(*lineEdit());
    }
}

template <typename ListChange>
void MemoNameCombo::KeepingEditText(ListChange change) {
    const QString text = EditText();
    const QSignalBlocker blocker(this);
    change();
    if (currentIndex() != -1) {
        setCurrentIndex(-1);
    }
    if (EditText() != text) {
        lineEdit()->setText(text);
    }
}

bool MemoNameCombo::eventFilter(QObject* watched, QEvent* event) {
    if ((watched == lineEdit() || watched == this) && event->type() == QEvent::InputMethod) {
        composition_.Track(*static_cast<QInputMethodEvent*>(event));
    }
    if ((watched != lineEdit() && watched != this) || event->type() != QEvent::KeyPress) {
        return QComboBox::eventFilter(watched, event);
    }
    const auto* key = static_cast<QKeyEvent*>(event);
    // Enter neither adds the typed name to the list nor chooses a listed one.
    if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) {
        return true;
    }
    int keyCode = VirtualKeyCode(key->key());
    if (keyDown_ && keyCode != 0) {
        keyDown_(keyCode, ShiftMask(key->modifiers()));
        return keyCode == 0;
    }
    return false;
}

}  // namespace markola
