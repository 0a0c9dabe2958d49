#include <QApplication>
#include <QByteArray>

#include "app/command_line_answer.h"
#include "storage/file_names.h"
#include "storage/file_store.h"
#include "ui/widgets/desktop_launcher.h"
#include "ui/widgets/edits_at_exit.h"
#include "ui/widgets/main_window.h"
#include "ui/widgets/termination_signals.h"
#include "ui/widgets/toolkit_translation.h"

namespace {

// The memo to open is the whole text after the program's name, spaces and all, read from
// its bytes as the name of a memo file is: a name from an older system is no UTF-8.
QString StartupArgument(int argc, char* argv[]) {
    QByteArray argument;
    for (int i = 1; i < argc; ++i) {
        argument.append(i > 1 ? " " : "").append(argv[i]);
    }
    return markola::DisplayFileName(argument);
}

}  // namespace

int main(int argc, char* argv[]) {
    if (const auto status = markola::AnswerCommandLine(argc, argv)) {
        return *status;
    }
    QApplication app(argc, argv);
    markola::InstallToolkitJapanese(app);
    QCoreApplication::setApplicationVersion(QStringLiteral(MARKOLA_VERSION));
    markola::TerminationSignals endRequests;
    markola::DiskFileStore files;
    markola::DesktopLauncher launcher;
    markola::MainWindow window(files, markola::MemoFolder::InCurrentDirectory(), launcher,
                               StartupArgument(argc, argv), QCoreApplication::applicationVersion());
    QObject::connect(&endRequests, &markola::TerminationSignals::received, &window,
                     &markola::MainWindow::EndWithoutAsking);
    const markola::EditsAtExit displayLost([&window] { window.KeepEdits(); });
    window.Form_Load();
    // An end requested while a start-up message was open left only that message's loop.
    if (endRequests.Received()) {
        return window.EndStatus();
    }
    window.show();
    return QApplication::exec();
}
