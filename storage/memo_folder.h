#pragma once

#include <QLatin1StringView>
#include <QString>

namespace markola {

// Where this program keeps what it keeps: the memo folder "memo" with one "<name>.txt" file
// a memo and the recovery folder inside it, and the settings file beside it, all under one
// base folder. The program's base is the current directory, and its paths stay relative to
// it: the directory's own name need not be UTF-8, and a path in a message reads
// "memo/<name>.txt" as the user knows it. Tests give a folder of their own.
class MemoFolder {
public:
    static constexpr QLatin1StringView kExtension{".txt"};

    static MemoFolder InCurrentDirectory() { return MemoFolder(QString()); }
    explicit MemoFolder(const QString& base);

    // The folder that holds the memo folder, as an absolute path.
    QString Base() const;
    QString Path() const { return base_ + QStringLiteral("memo"); }
    // The file of the memo of that name; the empty name is the unnamed memo, ".txt".
    QString MemoPath(const QString& name) const { return Path() + u'/' + name + kExtension; }
    // False for a path that is not one file directly in the memo folder, or that no file
    // system can hold: a "/" in the name (so also "..", an absolute path, a subfolder or a
    // link to a folder), a NUL character.
    bool Holds(const QString& path) const;
    // A dot-folder, so that its files are never listed as memos.
    QString RecoveryFolder() const { return Path() + QStringLiteral("/.recovery"); }
    QString SettingsPath() const { return base_ + QStringLiteral("settings.ini"); }
    // The path as a message shows it: relative to the base.
    QString Shown(const QString& path) const;

private:
    QString base_;  // empty, or ending in "/"
};

}  // namespace markola
