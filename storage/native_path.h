#pragma once

#include <QByteArray>
#include <QString>

namespace markola {

// The bytes the file system knows a path by. Every system call on a memo or settings file
// goes through this one function, so that a name shown in the window always reaches the
// same file on disk.
QByteArray NativePath(const QString& path);

}  // namespace markola
