#include <QDesktopServices>
#include <QProcess>

#include "ui/launcher.h"

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
