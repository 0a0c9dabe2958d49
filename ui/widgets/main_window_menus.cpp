// The main window's menu tree: what each item says and runs.
#include <QMenuBar>

#include "ui/line_commands.h"
#include "ui/messages.h"
#include "ui/widgets/bar_tool_tips.h"
#include "ui/widgets/main_window.h"
#include "ui/widgets/memo_text_edit.h"

namespace markola {

QMenu* MainWindow::AddMenu(const char* name, const QString& caption) {
    QMenu* menu = menuBar()->addMenu(caption);
    menu->setObjectName(QString::fromLatin1(name));
    return menu;
}

// Menu items carry no shortcuts of their own: the key names in their captions are
// text, and the keys act through the two controls' key handlers alone.
template <typename Handler>
QAction* MainWindow::AddItem(QWidget* menu, const char* name, const QString& caption,
                             Handler handler) {
    auto* action = new QAction(caption, menu);
    action->setObjectName(QString::fromLatin1(name));
    connect(action, &QAction::triggered, this, ticks_.Guarded([this, handler] {
        BeginUserCommand();
        handler();
    }));
    menu->addAction(action);
    return action;
}

void MainWindow::BuildMenus() {
    QMenu* file = AddMenu("fileMenu", text::kMenuFile);
    AddItem(file, "newMemoItem", text::kMenuNewFile, [this] { controller_.NewMemo(); });
    AddItem(file, "saveItem", text::kMenuSave, [this] { controller_.SaveShown(); });
    file->addSeparator()->setObjectName(QStringLiteral("saveSeparator"));
    AddItem(file, "reloadListItem", text::kMenuReload, [this] { controller_.ReloadList(); });
    file->addSeparator()->setObjectName(QStringLiteral("endSeparator"));
    AddItem(file, "endItem", text::kMenuEnd, [this] { CloseByMenu(); });

    QMenu* settings = AddMenu("settingsMenu", text::kMenuSettings);
    AddItem(settings, "openMemoFolderItem", text::kMenuOpenMemoFolder,
            [this] { OpenMemoFolder(); });

    // The bare symbols say what they do only in their tool tips, which screen readers read too.
    menuBar()->installEventFilter(new BarToolTips(menuBar()));
    AddItem(menuBar(), "toggleCheckItem", text::kMenuCheck, [this] {
        ToggleCaretLineCheck(*textBox_);
    })->setToolTip(text::kMenuCheckTip);
    AddItem(menuBar(), "moveLineUpItem", text::kMenuMemoUp, [this] {
        MoveCaretLineUp(*textBox_);
    })->setToolTip(text::kMenuMemoUpTip);
    AddItem(menuBar(), "moveLineDownItem", text::kMenuMemoDown, [this] {
        MoveCaretLineDown(*textBox_);
    })->setToolTip(text::kMenuMemoDownTip);

    QMenu* help = AddMenu("helpMenu", text::kMenuHelp);
    AddItem(help, "startAnotherWindowItem", text::kMenuFirst, [this] { StartAnotherWindow(); });
    AddItem(help, "aboutItem", text::kMenuAbout, [this] { ShowAbout(); });
}

}  // namespace markola
