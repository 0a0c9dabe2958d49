#include <QApplication>
#include <QByteArray>

#include "app/application_start.h"
#include "app/command_line.h"
#include "app/command_line_answer.h"
#include "storage/file_names.h"
#include "storage/file_store.h"
#include "ui/free_memory.h"
#include "ui/widgets/desktop_launcher.h"
#include "ui/widgets/edits_at_exit.h"
#include "ui/widgets/main_window.h"
#include "ui/widgets/termination_signals.h"
#include "ui/widgets/toolkit_translation.h"

int main(int argc, char* argv[]) {
    markola::KeepLargeBuffersOffTheHeap();
    markola::CommandLine commandLine = markola::ReadCommandLine(argc, argv);
    if (const auto status = markola::AnswerCommandLine(commandLine)) {
        return *status;
    }
    int toolkitArgc = static_cast<int>(commandLine.toolkitArguments.size()) - 1;
    const auto app = markola::StartApplication(toolkitArgc, commandLine.toolkitArguments.data());
    // One id before the desktop: the desktop entry's name, the Wayland app id and the X11
    // window class, by which a shell finds the entry's icon and groups the window with it.
    QGuiApplication::setDesktopFileName(QStringLiteral(MARKOLA_APP_ID));
    QCoreApplication::setApplicationName(QStringLiteral(MARKOLA_APP_ID));
    QCoreApplication::setApplicationVersion(QStringLiteral(MARKOLA_VERSION));
    markola::InstallToolkitJapanese(*app);
    markola::TerminationSignals endRequests;
    markola::DiskFileStore files;
    markola::DesktopLauncher launcher;
    // The memo's name is read from its bytes as the name of a memo file is.
    markola::MainWindow window(
        files, markola::MemoFolder::InCurrentDirectory(), launcher,
        markola::DisplayFileName(QByteArray::fromStdString(commandLine.memoName)),
        QCoreApplication::applicationVersion());
    QObject::connect(&endRequests, &markola::TerminationSignals::received, &window,
                     &markola::MainWindow::EndWithoutAsking);
    const markola::EditsAtExit displayLost([&window] { window.KeepEdits(); });
    window.Start();
    // An end requested while a start-up message was open left only that message's loop.
    if (endRequests.Received()) {
        return window.EndStatus();
    }
    window.show();
    return QApplication::exec();
}
