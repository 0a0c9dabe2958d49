#pragma once

#include "ui/launcher.h"

namespace markola {

// The launcher of the running program: the desktop services and a detached process.
class DesktopLauncher : public Launcher {
public:
    bool OpenFolder(const QString& path) override;
    bool OpenUrl(const QUrl& url) override;
    bool StartDetached(const QString& program, const QString& workingDirectory) override;
};

}  // namespace markola
