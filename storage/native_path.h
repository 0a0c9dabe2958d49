#pragma once

#include <QByteArray>
#include <QString>

namespace markola {

// The bytes the file system knows a path by. Every system call on a memo or settings file
// goes through this one function, so that a name shown in the window always reaches the
// same file on disk: the file of that UTF-8 name when there is one; else the entry of the
// folder shown under that name (a name from an older system); else, for a ".txt" file, an
// entry whose extension differs in case only. A path that reaches no file is its UTF-8.
QByteArray NativePath(const QString& path);

}  // namespace markola
