// The main window's menu tree: what each item says and runs.
#include <QMenuBar>

#include "ui/line_commands.h"
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
    QMenu* file = AddMenu("mnuFile", QStringLiteral("ﾌｧｲﾙ(&F)"));
    AddItem(file, "mnuNewFile", QStringLiteral("新規作成(&N)  Ctrl+N"),
            [this] { controller_.mnuNewFile_Click(); });
    AddItem(file, "mnuSave", QStringLiteral("保存(&S)  Ctrl+S"),
            [this] { controller_.mnuSave_Click(); });
    file->addSeparator()->setObjectName(QStringLiteral("mnuLine1"));
    AddItem(file, "mnuReload", QStringLiteral("ﾘｽﾄの更新(&R)  Ctrl+R"),
            [this] { controller_.mnuReload_Click(); });
    file->addSeparator()->setObjectName(QStringLiteral("mnuLine2"));
    AddItem(file, "mnuEnd", QStringLiteral("終了(&X) Alt+F4"), [this] { mnuEnd_Click(); });

    QMenu* settings = AddMenu("mnuSettings", QStringLiteral("設定(&S)"));
    AddItem(settings, "mngOpenMemo", QStringLiteral("ﾒﾓﾌｫﾙﾀﾞを開く(&M)"),
            [this] { mngOpenMemo_Click(); });

    // The bare symbols say what they do only in their tool tips, which screen readers read too.
    AddItem(menuBar(), "mnuCheck", QStringLiteral("■"), [this] {
        mnuCheck_Click(*Text1);
    })->setToolTip(QStringLiteral("チェックの切り替え (Ctrl+←)"));
    AddItem(menuBar(), "mnuMemoUp", QStringLiteral("▲"), [this] {
        mnuMemoUp_Click(*Text1);
    })->setToolTip(QStringLiteral("行を上へ移動 (Ctrl+↑)"));
    AddItem(menuBar(), "mnuMemoDown", QStringLiteral("▼"), [this] {
        mnuMemoDown_Click(*Text1);
    })->setToolTip(QStringLiteral("行を下へ移動 (Ctrl+↓)"));

    QMenu* help = AddMenu("mnuHelp", QStringLiteral("ﾍﾙﾌﾟ(&H)"));
    AddItem(help, "mnuFirst", QStringLiteral("はじめに(&H)"), [this] { mnuFirst_Click(); });
    AddItem(help, "mnuAbout", QStringLiteral("MARKOLAについて"), [this] { mnuAbout_Click(); });
}

}  // namespace markola
