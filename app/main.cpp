#include <QApplication>
#include <QStringList>

#include "storage/file_store.h"
#include "ui/widgets/desktop_launcher.h"
#include "ui/widgets/main_window.h"
#include "ui/widgets/termination_signals.h"

namespace {

// The memo to open is the whole text after the program's name, spaces and all.
QString StartupArgument(const QStringList& arguments) {
    return arguments.mid(1).join(QLatin1Char(' '));
}

}  // namespace

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QCoreApplication::setApplicationVersion(QStringLiteral(MARKOLA_VERSION));
    markola::TerminationSignals endRequests;
    markola::DiskFileStore files;
    markola::DesktopLauncher launcher;
    markola::MainWindow window(files, launcher, StartupArgument(QCoreApplication::arguments()),
                               QCoreApplication::applicationVersion());
    QObject::connect(&endRequests, &markola::TerminationSignals::received, &window,
                     &markola::MainWindow::EndWithoutAsking);
    window.Form_Load();
    // An end requested while a start-up message was open left only that message's loop.
    if (endRequests.Received()) {
        return 0;
    }
    window.show();
    return QApplication::exec();
}
