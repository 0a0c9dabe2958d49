#pragma once

#include <QByteArray>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QString>
#include <QTemporaryDir>

#include "storage/file_store.h"
#include "storage/memo_folder.h"
#include "ui/widgets/desktop_launcher.h"
#include "ui/widgets/main_window.h"

namespace markola::bench {

// A temporary folder with a memo folder and an empty unnamed memo, so that start-up has no
// message to show.
struct BenchFolder {
    BenchFolder() {
        QDir(dir.path()).mkdir(QStringLiteral("memo"));
        Write(QString(), {});
    }

    void Write(const QString& name, const QByteArray& bytes) const {
        QFile file(folder.MemoPath(name));
        file.open(QIODevice::WriteOnly);
        file.write(bytes);
    }

    QTemporaryDir dir;
    MemoFolder folder{dir.path()};
};

// The main window after start-up, shown.
class ShownWindow {
public:
    explicit ShownWindow(const BenchFolder& place)
        : window{files, place.folder, launcher, QString(), QStringLiteral("1.0.2")} {
        window.Start();
        window.show();
        QCoreApplication::processEvents();
    }
    DiskFileStore files;
    DesktopLauncher launcher;
    MainWindow window;
};

}  // namespace markola::bench
