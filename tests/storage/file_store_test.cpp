#include "storage/file_store.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

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
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        ASSERT_EQ(file.write(bytes), bytes.size());
    }
    void MakeDir(const QString& name) const { ASSERT_TRUE(QDir(dir_.path()).mkdir(name)); }
    void MakeLink(const QString& target, const QString& name) const {
        ASSERT_TRUE(QFile::link(Path(target), Path(name)));
    }
    QStringList Entries() const {
        return QDir(dir_.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot);
    }

    QTemporaryDir dir_;
    DiskFileStore store_;
};

TEST_F(FileStoreTest, ListsTxtFilesOfAnyCaseSortedCaseInsensitively) {
    const QByteArray oldSystemNames[] = {"\x82\xA0.txt", "\x82.txt"};  // Qt cannot remove them
    for (const QByteArray& name : oldSystemNames) {
        ASSERT_EQ(close(creat(NativePath(name), 0600)), 0);
    }
    for (const char* name :
         {"b.txt", "A.txt", "c.TXT", "a.txt", ".txt", "notes.log", "x.txt.bak", ".markola-1.tmp"}) {
        MakeFile(name);
    }
    MakeDir("d.txt");
    MakeLink("b.txt", "e.txt");
    MakeLink("missing", "f.txt");

    const QStringList expected{"", "<0x82>", "A", "a", "b", "c", "e", u"\u3042"_qs};
    EXPECT_EQ(store_.ListMemoNames(dir_.path()), expected);
    EXPECT_EQ(store_.ListMemoNames(dir_.path()), expected);
    for (const QByteArray& name : oldSystemNames) {
        EXPECT_EQ(unlink(NativePath(name)), 0);
    }
}

TEST_F(FileStoreTest, MissingFolderIsCreatedAndOneThatCannotBeListsEmpty) {
    EXPECT_TRUE(store_.ListMemoNames(Path("memo")).isEmpty());
    EXPECT_TRUE(QFileInfo(Path("memo")).isDir());
    MakeFile("plain");
    EXPECT_TRUE(store_.ListMemoNames(Path("plain/memo")).isEmpty());
}

TEST_F(FileStoreTest, ExistsOnlyForRegularFilesAndLinksToThem) {
    MakeFile("a.txt");
    MakeFile(".txt");
    MakeDir("d.txt");
    MakeLink("a.txt", "link.txt");
    MakeLink("d.txt", "dirlink.txt");
    MakeLink("missing", "broken.txt");
    for (const char* name : {"a.txt", ".txt", "link.txt"}) {
        EXPECT_TRUE(store_.Exists(Path(name))) << name;
    }
    for (const char* name : {"d.txt", "dirlink.txt", "broken.txt", "missing.txt"}) {
        EXPECT_FALSE(store_.Exists(Path(name))) << name;
    }
    EXPECT_FALSE(store_.Exists(QString()));
}

TEST_F(FileStoreTest, ReadsEveryByteOrNothing) {
    for (const QByteArray& bytes :
         {QByteArray(), QByteArray("line\r\n"), QByteArray("\x82\xa0\0\r\n", 5)}) {
        MakeFile("m.txt", bytes);
        EXPECT_EQ(store_.ReadAll(Path("m.txt")), bytes);
    }
    MakeDir("d.txt");
    ASSERT_EQ(mkfifo(NativePath("pipe.txt"), 0600), 0);
    QFile huge(Path("huge.txt"));
    ASSERT_TRUE(huge.open(QIODevice::WriteOnly) && huge.resize(kMaxMemoFileSize + 1));  // sparse
    for (const char* name : {"missing.txt", "d.txt", "pipe.txt", "huge.txt"}) {
        EXPECT_FALSE(store_.ReadAll(Path(name)).has_value()) << name;
    }
}

// A name of 250 bytes, near the file system's limit of 255, is saved again and again: the
// temporary file has a short name of its own.
TEST_F(FileStoreTest, WritesExactlyTheBytesButNotIntoAMissingFolder) {
    const QString longName = QString(246, u'n') + ".txt";
    for (const QString& name : {QStringLiteral("m.txt"), longName}) {
        for (const QByteArray& bytes : {QByteArray("first\r\nline"), QByteArray()}) {
            const WriteResult result = store_.WriteAll(Path(name), bytes);
            EXPECT_TRUE(result.ok) << result.errorText.toStdString();
            EXPECT_EQ(store_.ReadAll(Path(name)), bytes);
        }
    }
    const WriteResult result = store_.WriteAll(Path("memo/m.txt"), "text");
    EXPECT_FALSE(result.ok);
    EXPECT_EQ(result.errorCode, ENOENT);
    EXPECT_EQ(Entries(), (QStringList{"m.txt", longName}));
}

// The real system calls fail, through the shim that the test run "file_store_system_calls"
// preloads; without it there is nothing to test here.
TEST_F(FileStoreTest, FailingSystemCallsKeepTheOldFileWholeAndReportTheirError) {
    if (qEnvironmentVariableIsEmpty("LD_PRELOAD")) {
        GTEST_SKIP() << "needs the failing-calls shim preloaded";
    }
    MakeDir("files");
    qputenv("MARKOLA_E2E_FAIL_FLAG", NativePath("flag"));
    qputenv("MARKOLA_E2E_FAIL_UNDER", NativePath("files"));
    MakeFile("files/m.txt", "old memo");
    MakeFile("files/settings.ini", "1,2,3,4");
    for (const char* call : {"write", "fdatasync", "close", "rename"}) {
        for (const auto& [name, error] :
             {std::pair{"ENOSPC", ENOSPC}, {"EDQUOT", EDQUOT}, {"EIO", EIO}}) {
            SCOPED_TRACE(std::string(call) + " " + name);
            MakeFile("flag", QByteArray(call) + ' ' + name);
            const WriteResult result = store_.WriteAll(Path("files/m.txt"), "new memo");
            WriteWindowSettings(store_, Path("files/settings.ini"), {5, 6, 7, 8});
            QFile::remove(Path("flag"));
            EXPECT_EQ(result.errorCode, error);
            EXPECT_EQ(store_.ReadAll(Path("files/m.txt")), "old memo");
            EXPECT_EQ(store_.ReadAll(Path("files/settings.ini")), "1,2,3,4");
            EXPECT_EQ(QDir(Path("files")).entryList(QDir::Files | QDir::Hidden).size(), 2);
        }
    }
}

TEST_F(FileStoreTest, ReplaceKeepsModeAndWritesThroughSymlink) {
    MakeFile("target.txt", "old");
    ASSERT_EQ(chmod(NativePath("target.txt"), 02640), 0);
    MakeLink("target.txt", "link.txt");

    ASSERT_TRUE(store_.WriteAll(Path("link.txt"), "new").ok);
    EXPECT_TRUE(QFileInfo(Path("link.txt")).isSymLink());
    EXPECT_EQ(store_.ReadAll(Path("target.txt")), QByteArray("new"));
    struct stat status {};
    ASSERT_EQ(stat(NativePath("target.txt"), &status), 0);
    EXPECT_EQ(status.st_mode & 07777, 02640u);
    EXPECT_EQ(Entries().size(), 2);
}

}  // namespace
}  // namespace markola
