#include "storage/native_path.h"

#include <QFile>

namespace markola {

QByteArray NativePath(const QString& path) {
    return QFile::encodeName(path);
}

}  // namespace markola
