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

// A memo file of the memo folder as the list shows it.
struct MemoRow {
    QString fileName;  // its name as shown, extension included
    QString name;      // the memo name, which leads back to this file and to no other
    QByteArray nativeName;
};

// One row for each "*.txt" file (any case) of the folder, unsorted. A memo's name is its
// file's shown name less the extension. Where two files would show one name (NOTES.txt
// and NOTES.TXT, a name in UTF-8 and in code page 932), the file a typed name reaches first
// keeps it: the one of exactly that UTF-8 name, else the one whose extension is ".txt",
// else the first by its bytes. Each other shows its whole name, extension and all
// ("NOTES.TXT"), followed by " (2)", " (3)"... while even that is taken.
std::vector<MemoRow> MemoRows(const QByteArray& nativeFolder);

}  // namespace markola
