#pragma once

#include <QByteArray>
#include <QString>

namespace markola {

// The bytes the file system knows a path by. Every system call on a memo or settings file
// goes through this one function, so that a name shown in the window always reaches the
// same file on disk: the file of that UTF-8 name when there is one; else, for a memo file,
// the file whose row in the list shows that memo name (a name from an older system, an
// extension in another case). A path that reaches no file is its UTF-8.
QByteArray NativePath(const QString& path);

// The folder part of a native path: "." for a bare name.
QByteArray FolderOf(const QByteArray& nativePath);

// Where a native path leads: every link followed, a dangling one too (a save creates its
// target), and the folder made absolute, so that two names of one file give one result.
QByteArray ResolvedPath(const QByteArray& nativePath);

}  // namespace markola
