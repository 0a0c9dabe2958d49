#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <vector>

namespace markola {

// The name under which a file of the memo folder is shown. Names that are not UTF-8 come
// from older systems and are read as code page 932; a byte that forms no character even
// so is shown as "<0x81>", a stand-in that no file copied from such a system can hold,
// since those systems forbid "<" and ">" in file names.
QString DisplayFileName(QByteArrayView nativeName);

struct DirectoryEntry {
    QByteArray nativeName;
    bool isFile = false;  // a regular file, or a link to one
};

// Every entry of the folder but "." and "..", as the file system spells them; empty when
// the folder cannot be read.
std::vector<DirectoryEntry> ReadDirectory(const QByteArray& nativeFolder);

}  // namespace markola
