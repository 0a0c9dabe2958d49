#pragma once

#include <QString>
#include <QUrl>

namespace markola {

// Starts other programs for the window commands without waiting for them. Each call
// answers whether the start was handed over; what the started program does is its own.
class Launcher {
public:
    virtual ~Launcher() = default;

    // The desktop's file manager on a folder.
    virtual bool OpenFolder(const QString& path) = 0;
    // The default browser on a web address.
    virtual bool OpenUrl(const QUrl& url) = 0;
    // A new, independent process with no argument, in the given working directory.
    virtual bool StartDetached(const QString& program, const QString& workingDirectory) = 0;
};

}  // namespace markola
