#include "ui/widgets/desktop_launcher.h"

#include <QDesktopServices>
#include <QProcess>

namespace markola {

bool DesktopLauncher::OpenFolder(const QString& path) {
    return QDesktopServices::openUrl(QUrl::fromLocalFile(path));
}

bool DesktopLauncher::OpenUrl(const QUrl& url) {
    return QDesktopServices::openUrl(url);
}

bool DesktopLauncher::StartDetached(const QString& program, const QString& workingDirectory) {
    return QProcess::startDetached(program, {}, workingDirectory);
}

}  // namespace markola
