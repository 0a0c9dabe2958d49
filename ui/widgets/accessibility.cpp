#include "ui/widgets/accessibility.h"

#include <QAbstractItemView>
#include <QAccessibleWidget>
#include <QAction>
#include <QComboBox>
#include <QMenuBar>
#include <QPointer>

#include "ui/widgets/memo_name_combo.h"

namespace markola {
namespace {

// On this platform Qt names an editable combo box by the text it holds, so the name box
// would be announced as whatever memo is shown, and the unnamed memo as nothing at all.
class NameBoxAccessible : public QAccessibleWidget {
public:
    explicit NameBoxAccessible(QComboBox* box) : QAccessibleWidget(box, QAccessible::ComboBox) {}

    QString text(QAccessible::Text t) const override {
        return t == QAccessible::Value ? Box()->currentText() : QAccessibleWidget::text(t);
    }

    QAccessible::State state() const override {
        QAccessible::State s = QAccessibleWidget::state();
        s.editable = true;
        s.expandable = true;
        s.expanded = Box()->view()->isVisible();
        return s;
    }

    QStringList actionNames() const override {
        return QAccessibleWidget::actionNames() << showMenuAction();
    }

    void doAction(const QString& name) override {
        if (name == showMenuAction()) {
            Box()->showPopup();
        } else {
            QAccessibleWidget::doAction(name);
        }
    }

private:
    QComboBox* Box() const { return static_cast<QComboBox*>(widget()); }
};

// A command placed directly on the menu bar. Qt's own menu item gives no description, and
// a bare "■" says nothing of what it does; the tool tip does, and names the keys.
class BarCommandAccessible : public QAccessibleInterface, public QAccessibleActionInterface {
public:
    BarCommandAccessible(QMenuBar* bar, QAction* action) : bar_(bar), action_(action) {}

    bool isValid() const override { return bar_ && action_; }
    QObject* object() const override { return action_; }
    QWindow* window() const override { return bar_->window()->windowHandle(); }
    QAccessibleInterface* parent() const override {
        return QAccessible::queryAccessibleInterface(bar_);
    }
    QAccessibleInterface* child(int /*index*/) const override { return nullptr; }
    int childCount() const override { return 0; }
    int indexOfChild(const QAccessibleInterface* /*child*/) const override { return -1; }
    QAccessibleInterface* childAt(int /*x*/, int /*y*/) const override { return nullptr; }

    QString text(QAccessible::Text t) const override {
        switch (t) {
            case QAccessible::Name:
                return action_->text();
            case QAccessible::Description:
                return action_->toolTip();
            default:
                return {};
        }
    }
    void setText(QAccessible::Text /*t*/, const QString& /*text*/) override {}

    QRect rect() const override {
        const QRect shown = bar_->actionGeometry(action_);
        return {bar_->mapToGlobal(shown.topLeft()), shown.size()};
    }
    QAccessible::Role role() const override { return QAccessible::MenuItem; }
    QAccessible::State state() const override {
        QAccessible::State s;
        s.focusable = true;
        s.disabled = !action_->isEnabled();
        s.invisible = !action_->isVisible();
        return s;
    }
    void* interface_cast(QAccessible::InterfaceType type) override {
        return type == QAccessible::ActionInterface ? static_cast<QAccessibleActionInterface*>(this)
                                                    : nullptr;
    }

    QStringList actionNames() const override { return {pressAction()}; }
    void doAction(const QString& name) override {
        if (name == pressAction()) {
            action_->trigger();
        }
    }
    QStringList keyBindingsForAction(const QString& /*name*/) const override { return {}; }

private:
    QPointer<QMenuBar> bar_;
    QPointer<QAction> action_;
};

QAccessibleInterface* CreateInterface(const QString& className, QObject* object) {
    if (className == QLatin1String(MemoNameCombo::staticMetaObject.className())) {
        return new NameBoxAccessible(static_cast<QComboBox*>(object));
    }
    if (auto* action = qobject_cast<QAction*>(object); action && !action->menu()) {
        if (auto* bar = qobject_cast<QMenuBar*>(action->parent())) {
            return new BarCommandAccessible(bar, action);
        }
    }
    return nullptr;
}

}  // namespace

void InstallAccessibleInterfaces() {
    static const bool installed = (QAccessible::installFactory(&CreateInterface), true);
    Q_UNUSED(installed);
}

}  // namespace markola
