#include "storage/memo_folder.h"

#include <QDir>

namespace markola {

MemoFolder::MemoFolder(const QString& base)
    : base_(base.isEmpty() || base.endsWith(u'/') ? base : base + u'/') {}

QString MemoFolder::Base() const {
    return QDir(base_.isEmpty() ? QStringLiteral(".") : base_).absolutePath();
}

bool MemoFolder::Holds(const QString& path) const {
    const QString folder = Path() + u'/';
    return path.startsWith(folder) && !QStringView(path).sliced(folder.size()).contains(u'/') &&
           !path.contains(QChar(u'\0'));
}

QString MemoFolder::Shown(const QString& path) const {
    return path.startsWith(base_) ? path.sliced(base_.size()) : path;
}

}  // namespace markola
