#include "storage/file_store.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <string>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include "storage/window_settings.h"

namespace markola {
namespace {

class FileStoreTest : public ::testing::Test {
protected:
    QString Path(const QString& name) const { return dir_.filePath(name); }
    QByteArray NativePath(const QByteArray& name) const {
        return dir_.path().toLocal8Bit() + '/' + name;
    }
    void MakeFile(const QString& name, const QByteArray& bytes = {}) const {
        QFile file(Path(name));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size());
    }
    void MakeLink(const QString& target, const QString& name) const {
        ASSERT_TRUE(QFile::link(Path(target), Path(name)));
    }
    QStringList Entries(const QString& folder = {}) const {
        return QDir(Path(folder)).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot);
    }

    QTemporaryDir dir_;
    DiskFileStore store_;
};

TEST_F(FileStoreTest, ListsAndFindsTxtFilesOfAnyCaseAndLinksToThem) {
    const QByteArray oldSystemNames[] = {"\x82\xA0.txt", "\x82.txt"};  // Qt cannot remove them
    for (const QByteArray& name : oldSystemNames) {
        ASSERT_EQ(close(creat(NativePath(name), 0600)), 0);
    }
    for (const char* name :
         {"B.txt", "A.txt", "c.TXT", "a.txt", ".txt", "notes.log", "x.txt.bak", ".markola-1.tmp"}) {
        MakeFile(name);
    }
    ASSERT_TRUE(QDir(dir_.path()).mkdir("d.txt"));
    MakeLink("B.txt", "e.txt");
    MakeLink("missing", "f.txt");
    MakeFile("plain");

    const QStringList expected{"", "<0x82>", "A", "a", "B", "c", "e", u"\u3042"_qs};
    EXPECT_EQ(store_.ListMemoNames(dir_.path()), expected);
    EXPECT_EQ(store_.ListMemoNames(dir_.path()), expected);
    for (const char* name : {"a.txt", ".txt", "e.txt"}) {
        EXPECT_TRUE(store_.Exists(Path(name))) << name;
    }
    for (const char* name : {"d.txt", "f.txt", "missing.txt", ""}) {
        EXPECT_FALSE(store_.Exists(*name ? Path(name) : QString())) << name;
    }
    for (const QByteArray& name : oldSystemNames) {
        EXPECT_EQ(unlink(NativePath(name)), 0);
    }
    // A missing folder is made; one that cannot be lists nothing.
    EXPECT_TRUE(store_.ListMemoNames(Path("memo")).isEmpty());
    EXPECT_TRUE(QFileInfo(Path("memo")).isDir());
    EXPECT_TRUE(store_.ListMemoNames(Path("plain/memo")).isEmpty());
}

// A name of 250 bytes, near the file system's limit of 255, is saved again and again: the
// temporary file has a short name of its own. A link is written through, and the file it
// leads to keeps its mode, setgid bit included; a new file gets the usual mode.
TEST_F(FileStoreTest, WritesAndReadsEveryByteOrNothing) {
    MakeFile("m.txt");
    ASSERT_EQ(chmod(NativePath("m.txt"), 02640), 0);
    MakeLink("m.txt", "link.txt");
    const QString longName = QString(246, u'n') + ".txt";
    const auto openFiles = [] { return QDir("/proc/self/fd").count(); };
    const qsizetype filesOpenBefore = openFiles();
    for (const QString& name : {QStringLiteral("link.txt"), longName}) {
        for (const QByteArray& bytes :
             {QByteArray("first\r\n"), QByteArray("\x82\xa0\0\r", 4), QByteArray()}) {
            const WriteResult result = store_.WriteAll(Path(name), bytes);
            EXPECT_TRUE(result.ok) << result.errorText.toStdString();
            EXPECT_EQ(store_.ReadAll(Path(name)), bytes);
        }
    }
    EXPECT_EQ(openFiles(), filesOpenBefore);
    EXPECT_TRUE(QFileInfo(Path("link.txt")).isSymLink());
    struct stat status {};
    ASSERT_EQ(stat(NativePath("m.txt"), &status), 0);
    EXPECT_EQ(status.st_mode & 07777, 02640u);
    const mode_t mask = umask(0);  // a new memo gets the mode any new file gets
    umask(mask);
    ASSERT_EQ(stat(NativePath(longName.toUtf8()), &status), 0);
    EXPECT_EQ(status.st_mode & 07777, 0666u & ~mask);
    EXPECT_EQ(store_.WriteAll(Path("memo/m.txt"), "text").errorCode, ENOENT);
    EXPECT_EQ(Entries(), (QStringList{"link.txt", "m.txt", longName}));
    ASSERT_EQ(mkfifo(NativePath("pipe.txt"), 0600), 0);
    QFile huge(Path("huge.txt"));
    ASSERT_TRUE(huge.open(QIODevice::WriteOnly) && huge.resize(kMaxMemoFileSize + 1));  // sparse
    for (const char* name : {"missing.txt", ".", "pipe.txt", "huge.txt"}) {
        EXPECT_FALSE(store_.ReadAll(Path(name)).has_value()) << name;
    }
}

// The real system calls fail, through the shim that the test run "file_store_system_calls"
// preloads; without it there is nothing to test here.
TEST_F(FileStoreTest, FailingSystemCallsKeepTheOldFileWholeAndReportTheirError) {
    if (qEnvironmentVariableIsEmpty("LD_PRELOAD")) {
        GTEST_SKIP() << "needs the failing-calls shim preloaded";
    }
    ASSERT_TRUE(QDir(dir_.path()).mkdir("files"));
    qputenv("MARKOLA_E2E_FAIL_FLAG", NativePath("flag"));
    qputenv("MARKOLA_E2E_FAIL_UNDER", NativePath("files"));
    for (const std::string call : {"write", "fdatasync", "close", "rename", "fsync"}) {
        for (const auto& [name, error] :
             {std::pair{"ENOSPC", ENOSPC}, {"EDQUOT", EDQUOT}, {"EIO", EIO}}) {
            SCOPED_TRACE(call + " " + name);
            MakeFile("files/m.txt", "old memo");
            MakeFile("files/settings.ini", "1,2,3,4");
            MakeFile("flag", QByteArray::fromStdString(call) + ' ' + name);
            const WriteResult result = store_.WriteAll(Path("files/m.txt"), "new memo");
            WriteWindowSettings(store_, Path("files/settings.ini"), {5, 6, 7, 8});
            QFile::remove(Path("flag"));
            // The folder is synced after the rename: the new file is in place, maybe not for good.
            const bool renamed = call == "fsync";
            EXPECT_EQ(result.errorCode, error);
            EXPECT_EQ(store_.ReadAll(Path("files/m.txt")), renamed ? "new memo" : "old memo");
            EXPECT_EQ(store_.ReadAll(Path("files/settings.ini")),
                      renamed ? "5,6,7,8\r\n" : "1,2,3,4");
            EXPECT_EQ(Entries("files").size(), 2);
        }
    }
}

}  // namespace
}  // namespace markola
