#include "ui/widgets/main_window.h"

#include <QApplication>
#include <QCloseEvent>
#include <QDir>
#include <QLineEdit>
#include <QMenuBar>
#include <QSessionManager>
#include <QStyle>
#include <QTextDocument>
#include <QtMath>
#include <cstdio>

#include "ui/line_commands.h"
#include "ui/messages.h"
#include "ui/widgets/about_dialog.h"
#include "ui/widgets/accessibility.h"
#include "ui/widgets/commit_echo_filter.h"
#include "ui/widgets/fonts.h"
#include "ui/widgets/memo_name_combo.h"
#include "ui/widgets/memo_text_edit.h"
#include "ui/widgets/message_box.h"
#include "ui/widgets/twips.h"
#include "ui/widgets/virtual_keys.h"
#include "ui/widgets/window_placer.h"

namespace markola {
namespace {

// The client area the window is designed with, before the saved geometry applies.
constexpr int kDesignedClientWidthTwips = 4230;
constexpr int kDesignedClientHeightTwips = 3870;
constexpr qreal kControlFontPointSize = 12;
constexpr int kTimerIntervalMs = 100;

// The bitmaps rather than the drawing: reading SVG takes a plugin that may be missing.
QIcon WindowIcon() {
    QIcon icon;
    for (const int size : {16, 32, 48, 64, 128, 256}) {
        icon.addFile(QStringLiteral(":/markola/markola-%1.png").arg(size), QSize(size, size));
    }
    return icon;
}

}  // namespace

MainWindow::MainWindow(FileStore& files, MemoFolder folder, Launcher& launcher,
                       QString startupArgument, QString version, QWidget* parent)
    : QMainWindow(parent),
      ticks_([this] {
          if (restoreTimer_.isActive()) {
              controller_.OnRestoreTick();
          }
      }),
      placer_(new WindowPlacer(this)),
      launcher_(launcher),
      folder_(std::move(folder)),
      version_(std::move(version)),
      controller_(*this, files, folder_, std::move(startupArgument)) {
    setWindowTitle(text::kApplicationTitle);
    setWindowIcon(WindowIcon());
    installEventFilter(placer_);
    qApp->installEventFilter(new CommitEchoFilter(this));
    CreateControls();
    NameControlsForScreenReaders();
    BuildMenus();
    ConnectControls();
    OpenAtDesignedSize();
    connect(qApp, &QGuiApplication::commitDataRequest, this, &MainWindow::CommitSessionData);
}

void MainWindow::CreateControls() {
    auto* client = new QWidget(this);
    setCentralWidget(client);
    client->installEventFilter(this);
    nameBox_ = new MemoNameCombo(client);
    nameBox_->setObjectName(QStringLiteral("nameBox"));
    textBox_ = new MemoTextEdit(client);
    textBox_->setObjectName(QStringLiteral("textBox"));
    const QFont font = JapaneseFixedFont(kControlFontPointSize);
    nameBox_->setFont(font);
    textBox_->setFont(font);
    setTabOrder(textBox_, nameBox_);
    textBox_->setFocus();
    restoreTimer_.setInterval(kTimerIntervalMs);
}

void MainWindow::NameControlsForScreenReaders() {
    InstallAccessibleInterfaces();
    nameBox_->setAccessibleName(text::kMemoNameBox);
    nameBox_->lineEdit()->setAccessibleName(nameBox_->accessibleName());
    textBox_->setAccessibleName(text::kMemoTextBox);
}

// Before the geometry read at start-up applies, the window has the client area it is
// designed with, and it never gets smaller than it can be used at.
void MainWindow::OpenAtDesignedSize() {
    const qreal dpi = screen()->logicalDotsPerInch();
    resize(TwipsToPixels(kDesignedClientWidthTwips, dpi),
           TwipsToPixels(kDesignedClientHeightTwips, dpi) + menuBar()->sizeHint().height());
    setMinimumSize(UsableSize());
}

// The menu bar whole, the combo box and a few lines of the text box.
QSize MainWindow::UsableSize() const {
    constexpr int kTextLines = 3;
    const int textHeight =
        kTextLines * textBox_->fontMetrics().lineSpacing() +
        2 * (textBox_->frameWidth() + qCeil(textBox_->document()->documentMargin())) +
        style()->pixelMetric(QStyle::PM_ScrollBarExtent);
    return {menuBar()->sizeHint().width(),
            menuBar()->sizeHint().height() + nameBox_->sizeHint().height() + textHeight};
}

// The end of the desktop session asks what a close asks; a Cancel asks the session
// manager to cancel the end where it allows that.
void MainWindow::CommitSessionData(QSessionManager& manager) {
    if (!manager.allowsInteraction()) {
        return;
    }
    const bool cancel = CloseCancelled();
    manager.release();
    if (cancel) {
        manager.cancel();
    }
}

// Edits that could not be kept are not lost without a word: the terminal or the session's
// log gets the reason, and whoever sent the signal a failing status.
void MainWindow::EndWithoutAsking() {
    CommitCompositions();
    endStatus_ = KeepEdits() ? 0 : 1;
    QCoreApplication::exit(endStatus_);
}

bool MainWindow::KeepEdits() {
    const std::optional<QString> failure = controller_.EndNow();
    if (failure) {
        std::fprintf(stderr, "%s\n", qPrintable(*failure));
    }
    return !failure;
}

MainWindow::~MainWindow() = default;

void MainWindow::Start() {
    controller_.Start();
}

// Every handler runs inside the tick gate, so the restore tick never comes in the middle
// of one, nor inside the questions it asks.
void MainWindow::ConnectControls() {
    connect(nameBox_, &MemoNameCombo::nameChanged, this,
            ticks_.Guarded([this] { controller_.OnNameEdited(); }));
    connect(nameBox_, &MemoNameCombo::itemChosen, this,
            ticks_.Guarded([this] { controller_.OnMemoChosen(); }));
    nameBox_->SetKeyDownHandler([this](int& keyCode, int shift) {
        const TickGate::Running running(ticks_);
        BeginKeyCommand(keyCode, shift);
        controller_.OnNameKey(keyCode, shift);
    });
    connect(textBox_, &MemoTextEdit::memoChanged, this,
            ticks_.Guarded([this] { controller_.OnTextEdited(); }));
    connect(textBox_, &MemoTextEdit::doubleClicked, this, ticks_.Guarded([this] {
        BeginUserCommand();
        ToggleCaretLineCheck(*textBox_);
    }));
    textBox_->SetKeyHandlers(
        [this](int& keyCode, int shift) {
            const TickGate::Running running(ticks_);
            BeginKeyCommand(keyCode, shift);
            controller_.OnTextKey(keyCode, shift);
        },
        &MemoController::DropShortcutCharacter);
    connect(&restoreTimer_, &QTimer::timeout, this, [this] { ticks_.Tick(); });
}

// The combo box keeps the height its font gives it; the text box fills the client area
// below it. A client area lower than the combo box, as when minimized, leaves the text
// box at the height it had.
void MainWindow::LayOutControls() {
    const QSize client = centralWidget()->size();
    const int comboHeight = nameBox_->sizeHint().height();
    nameBox_->setGeometry(0, 0, client.width(), comboHeight);
    const int textHeight = client.height() - comboHeight;
    textBox_->setGeometry(0, comboHeight, client.width(),
                          textHeight >= 0 ? textHeight : textBox_->height());
}

void MainWindow::OpenMemoFolder() {
    const QString folder = QDir(folder_.Path()).absolutePath();
    if (!launcher_.OpenFolder(folder)) {
        ShowMessage(text::CannotOpenFolder(QDir::toNativeSeparators(folder)), Buttons::Ok,
                    MessageIcon::Exclamation);
    }
}

// Starts this same executable again, so the second instance is the program the user
// is running, not whatever "markola" the search path finds first.
void MainWindow::StartAnotherWindow() {
    const QString program = QCoreApplication::applicationFilePath();
    if (!launcher_.StartDetached(program, folder_.Base())) {
        ShowMessage(text::CannotStartProgram(program), Buttons::Ok, MessageIcon::Exclamation);
    }
}

void MainWindow::CloseByMenu() {
    close();
}

void MainWindow::ShowAbout() {
    if (!about_) {
        about_ = std::make_unique<AboutDialog>(launcher_, version_, this);
    }
    about_->ShowModal();
}

QString MainWindow::ComboText() const {
    return nameBox_->EditText();
}

void MainWindow::SetComboText(QString text) {
    nameBox_->SetEditText(text);
}

void MainWindow::ClearComboList() {
    nameBox_->ClearList();
}

void MainWindow::AddComboItem(const QString& name) {
    nameBox_->AddItem(name);
}

void MainWindow::FocusCombo() {
    nameBox_->setFocus();
}

MemoTextView& MainWindow::Text() {
    return *textBox_;
}

void MainWindow::SetTimerEnabled(bool enabled) {
    if (!enabled) {
        restoreTimer_.stop();
    } else if (!restoreTimer_.isActive()) {
        restoreTimer_.start();
    }
}

void MainWindow::SetApplicationTitle(const QString& title) {
    applicationTitle_ = title;
}

void MainWindow::ShowCopyTrouble(const QString& trouble) {
    setWindowTitle(trouble.isEmpty() ? text::kApplicationTitle
                                     : text::kApplicationTitle + QStringLiteral(" – ") + trouble);
}

Answer MainWindow::ShowMessage(const QString& prompt, Buttons buttons, MessageIcon icon,
                               const QString& title) {
    return ShowMessageBox(this, title.isEmpty() ? applicationTitle_ : title, prompt, buttons, icon);
}

void MainWindow::SetBusy(bool busy) {
    if (busy) {
        QApplication::setOverrideCursor(Qt::WaitCursor);
    } else {
        QApplication::restoreOverrideCursor();
    }
}

WindowGeometry MainWindow::WindowGeometryTwips() const {
    return placer_->Measure();
}

void MainWindow::SetWindowGeometryTwips(const WindowGeometry& geometry) {
    placer_->Apply(geometry);
}

bool MainWindow::eventFilter(QObject* watched, QEvent* event) {
    if (watched == centralWidget() && event->type() == QEvent::Resize) {
        LayOutControls();
    }
    return QMainWindow::eventFilter(watched, event);
}

// A command starts from what the user sees. A click on the bar leaves an open composition
// open, since the focus stays where it is, and an input method may pass a key through
// while composing: the composition is committed where it was typed before the command
// reads the text or the name. A restore still due from a choice in the list puts the
// name of the memo on screen back first, so a quick Save saves that memo and no other.
void MainWindow::BeginUserCommand() {
    CommitCompositions();
    controller_.OnRestoreTick();
}

// The shortcuts are Ctrl with a key; any other key is typing and leaves both alone, and
// so is Ctrl pressed on its own, which an input method passes on while composing.
void MainWindow::BeginKeyCommand(int keyCode, int shift) {
    if (shift == key::kCtrlOnly && !IsModifierKey(keyCode)) {
        BeginUserCommand();
    }
}

void MainWindow::CommitCompositions() {
    textBox_->CommitComposition();
    nameBox_->CommitComposition();
}

// A close and the end of the session ask alike: about the text on screen, composition
// included, and with no restore tick in the middle of the question.
bool MainWindow::CloseCancelled() {
    const TickGate::Running running(ticks_);
    BeginUserCommand();
    bool cancel = false;
    controller_.Close(cancel);
    return cancel;
}

void MainWindow::closeEvent(QCloseEvent* event) {
    event->setAccepted(!CloseCancelled());
}

}  // namespace markola
