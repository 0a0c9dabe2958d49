#include "ui/widgets/bar_tool_tips.h"

#include <QAction>
#include <QHelpEvent>
#include <QMenuBar>
#include <QToolTip>

namespace markola {

bool BarToolTips::eventFilter(QObject* watched, QEvent* event) {
    auto* bar = qobject_cast<QMenuBar*>(watched);
    if (bar == nullptr || event->type() != QEvent::ToolTip) {
        return false;
    }
    const auto* help = static_cast<QHelpEvent*>(event);
    QAction* action = bar->actionAt(help->pos());
    if (action == nullptr || action->menu() != nullptr) {
        QToolTip::hideText();
        event->ignore();
        return true;
    }
    QToolTip::showText(help->globalPos(), action->toolTip(), bar, bar->actionGeometry(action));
    return true;
}

}  // namespace markola
