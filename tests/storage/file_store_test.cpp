#include "storage/file_store.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cerrno>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

namespace markola {
namespace {

class FileStoreTest : public ::testing::Test {
protected:
    QString Path(const QString& name) const { return dir_.filePath(name); }
    QByteArray NativePath(const QString& name) const { return Path(name).toLocal8Bit(); }

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
    for (const char* name :
         {"b.txt", "A.txt", "c.TXT", "a.txt", ".txt", "notes.log", "x.txt.bak"}) {
        MakeFile(name);
    }
    MakeDir("d.txt");
    MakeLink("b.txt", "e.txt");
    MakeLink("missing", "f.txt");

    const QStringList expected{"", "A", "a", "b", "c", "e"};
    EXPECT_EQ(store_.ListMemoNames(dir_.path()), expected);
    EXPECT_EQ(store_.ListMemoNames(dir_.path()), expected);
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

TEST_F(FileStoreTest, FailureAtAnyStepKeepsOldFileWholeAndLeavesNoTemporary) {
    MakeFile("m.txt", "old content");
    for (const WriteStep failing : {WriteStep::Open, WriteStep::Write, WriteStep::Commit}) {
        DiskFileStore store([failing](WriteStep step) { return step == failing; });
        const WriteResult result = store.WriteAll(Path("m.txt"), "new");
        EXPECT_FALSE(result.ok);
        EXPECT_FALSE(result.errorText.isEmpty());
        EXPECT_EQ(store.ReadAll(Path("m.txt")), QByteArray("old content"));
        EXPECT_EQ(Entries(), QStringList{"m.txt"});
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
