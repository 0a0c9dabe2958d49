#pragma once

#include <QMainWindow>
#include <QTimer>
#include <memory>
#include <optional>

#include "storage/file_store.h"
#include "storage/memo_folder.h"
#include "ui/launcher.h"
#include "ui/memo_controller.h"
#include "ui/memo_view.h"
#include "ui/widgets/tick_gate.h"

class QMenu;
class QSessionManager;

namespace markola {

class AboutDialog;
class MemoNameCombo;
class MemoTextEdit;
class WindowPlacer;

// The main window: the memo-name combo box across the top, the memo text box below
// it, and the menu bar. It is the memo controller's view and hands every user action
// to the controller or to a line command.
class MainWindow : public QMainWindow, public MemoView {
    Q_OBJECT

public:
    MainWindow(FileStore& files, MemoFolder folder, Launcher& launcher, QString startupArgument,
               QString version, QWidget* parent = nullptr);
    ~MainWindow() override;

    // The start-up sequence; runs before the window is first shown.
    void Start();
    // Ends the program at once, as on SIGTERM: unsaved edits go to a recovery file.
    void EndWithoutAsking();
    // The edits on screen into their recovery copy, at once; false, and said on the standard
    // error, when they could not be kept.
    bool KeepEdits();
    // The exit status of an end without asking: 1 when the edits could not be kept.
    int EndStatus() const { return endStatus_; }

    QString ComboText() const override;
    void SetComboText(QString text) override;
    void ClearComboList() override;
    void AddComboItem(const QString& name) override;
    void FocusCombo() override;

    MemoTextView& Text() override;

    void SetTimerEnabled(bool enabled) override;
    void SetApplicationTitle(const QString& title) override;
    void ShowCopyTrouble(const QString& trouble) override;
    Answer ShowMessage(const QString& prompt, Buttons buttons, MessageIcon icon,
                       const QString& title = {}) override;
    void SetBusy(bool busy) override;

    WindowGeometry WindowGeometryTwips() const override;
    void SetWindowGeometryTwips(const WindowGeometry& geometry) override;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void CreateControls();
    void NameControlsForScreenReaders();
    void BuildMenus();
    void OpenAtDesignedSize();
    QSize UsableSize() const;
    void CommitSessionData(QSessionManager& manager);
    bool CloseCancelled();
    void ConnectControls();
    QMenu* AddMenu(const char* name, const QString& caption);
    template <typename Handler>
    QAction* AddItem(QWidget* menu, const char* name, const QString& caption, Handler handler);

    void BeginUserCommand();
    void BeginKeyCommand(int keyCode, int shift);
    void CommitCompositions();
    void LayOutControls();
    void OpenMemoFolder();
    void StartAnotherWindow();
    void CloseByMenu();
    void ShowAbout();

    MemoNameCombo* nameBox_;
    MemoTextEdit* textBox_;
    QTimer restoreTimer_;
    TickGate ticks_;
    std::unique_ptr<AboutDialog> about_;
    WindowPlacer* const placer_;

    Launcher& launcher_;
    const MemoFolder folder_;
    const QString version_;
    QString applicationTitle_;
    int endStatus_ = 0;
    MemoController controller_;
};

}  // namespace markola
