#include <QApplication>
#include <QStringList>

#include "storage/file_store.h"
#include "ui/widgets/desktop_launcher.h"
#include "ui/widgets/main_window.h"
#include "ui/widgets/toolkit_translation.h"

namespace {

// The memo to open is the whole text after the program's name, spaces and all.
QString StartupArgument(const QStringList& arguments) {
    return arguments.mid(1).join(QLatin1Char(' '));
}

}  // namespace

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    markola::InstallToolkitJapanese(app);
    QCoreApplication::setApplicationVersion(QStringLiteral(MARKOLA_VERSION));
    markola::DiskFileStore files;
    markola::DesktopLauncher launcher;
    markola::MainWindow window(files, launcher, StartupArgument(QCoreApplication::arguments()),
                               QCoreApplication::applicationVersion());
    window.Form_Load();
    window.show();
    return QApplication::exec();
}
