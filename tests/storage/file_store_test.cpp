#include "storage/file_store.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

namespace markola {
namespace {

class FileStoreTest : public ::testing::Test {
protected:
    QString Path(const QString& name) const { return dir_.filePath(name); }

    void MakeFile(const QString& name, const QByteArray& bytes = {}) const {
        QFile file(Path(name));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        ASSERT_EQ(file.write(bytes), bytes.size());
    }

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
    ASSERT_TRUE(QDir(dir_.path()).mkdir("d.txt"));
    MakeLink("b.txt", "e.txt");
    MakeLink("missing", "f.txt");

    const QStringList expected{"", "A", "a", "b", "c", "e"};
    EXPECT_EQ(store_.ListMemoNames(dir_.path()), expected);
    EXPECT_EQ(store_.ListMemoNames(dir_.path()), expected);
}

TEST_F(FileStoreTest, ListingIsReadAfreshEveryCall) {
    EXPECT_TRUE(store_.ListMemoNames(dir_.path()).isEmpty());
    MakeFile("new.txt");
    EXPECT_EQ(store_.ListMemoNames(dir_.path()), QStringList{"new"});
}

TEST_F(FileStoreTest, MissingFolderIsCreatedAndListedEmpty) {
    const QString folder = Path("memo");
    EXPECT_TRUE(store_.ListMemoNames(folder).isEmpty());
    EXPECT_TRUE(QFileInfo(folder).isDir());
}

TEST_F(FileStoreTest, FolderThatCannotBeCreatedListsEmpty) {
    MakeFile("plain");
    EXPECT_TRUE(store_.ListMemoNames(Path("plain/memo")).isEmpty());
    EXPECT_TRUE(store_.ListMemoNames(QString()).isEmpty());
}

TEST_F(FileStoreTest, ExistsOnlyForRegularFilesAndLinksToThem) {
    MakeFile("a.txt");
    MakeFile(".txt");
    ASSERT_TRUE(QDir(dir_.path()).mkdir("d.txt"));
    MakeLink("a.txt", "link.txt");
    MakeLink("d.txt", "dirlink.txt");
    MakeLink("missing", "broken.txt");

    const struct {
        QString path;
        bool exists;
    } cases[] = {
        {Path("a.txt"), true},        {Path(".txt"), true},         {Path("link.txt"), true},
        {Path("d.txt"), false},       {Path("dirlink.txt"), false}, {Path("broken.txt"), false},
        {Path("missing.txt"), false}, {QString(), false},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(store_.Exists(c.path), c.exists) << c.path.toStdString();
    }
}

TEST_F(FileStoreTest, ReadsEveryByte) {
    const QByteArray cases[] = {"", "line\r\n", QByteArray("\x82\xa0\0\r\n\r\n", 7)};
    for (const QByteArray& bytes : cases) {
        MakeFile("m.txt", bytes);
        const std::optional<QByteArray> read = store_.ReadAll(Path("m.txt"));
        ASSERT_TRUE(read.has_value());
        EXPECT_EQ(*read, bytes);
    }
}

TEST_F(FileStoreTest, ReadGivesNothingForWhatIsNotAReadableMemo) {
    ASSERT_TRUE(QDir(dir_.path()).mkdir("d.txt"));
    ASSERT_EQ(mkfifo(Path("pipe.txt").toLocal8Bit().constData(), 0600), 0);
    QFile huge(Path("huge.txt"));
    ASSERT_TRUE(huge.open(QIODevice::WriteOnly));
    ASSERT_TRUE(huge.resize(kMaxMemoFileSize + 1));  // sparse: takes no disk space
    huge.close();

    for (const char* name : {"missing.txt", "d.txt", "pipe.txt", "huge.txt"}) {
        EXPECT_FALSE(store_.ReadAll(Path(name)).has_value()) << name;
    }
    EXPECT_FALSE(store_.ReadAll(QString()).has_value());
}

TEST_F(FileStoreTest, WriteCreatesOrReplacesWithExactlyTheBytes) {
    for (const QByteArray& bytes : {QByteArray("first\r\nline"), QByteArray(), QByteArray("x")}) {
        const WriteResult result = store_.WriteAll(Path("m.txt"), bytes);
        EXPECT_TRUE(result.ok) << result.errorText.toStdString();
        EXPECT_EQ(store_.ReadAll(Path("m.txt")), bytes);
    }
    EXPECT_EQ(Entries(), QStringList{"m.txt"});
}

TEST_F(FileStoreTest, WriteIntoMissingFolderFailsWithoutCreatingIt) {
    const WriteResult result = store_.WriteAll(Path("memo/m.txt"), "text");
    EXPECT_FALSE(result.ok);
    EXPECT_FALSE(result.errorText.isEmpty());
    EXPECT_TRUE(Entries().isEmpty());
}

TEST_F(FileStoreTest, FailureAtAnyStepKeepsOldFileWholeAndLeavesNoTemporary) {
    for (const WriteStep failing : {WriteStep::Open, WriteStep::Write, WriteStep::Commit}) {
        MakeFile("m.txt", "old content");
        DiskFileStore store([failing](WriteStep step) { return step == failing; });

        const WriteResult result = store.WriteAll(Path("m.txt"), "new");
        EXPECT_FALSE(result.ok);
        EXPECT_FALSE(result.errorText.isEmpty());
        EXPECT_EQ(store.ReadAll(Path("m.txt")), QByteArray("old content"));
        EXPECT_EQ(Entries(), QStringList{"m.txt"});
    }
}

TEST_F(FileStoreTest, ReplaceKeepsPermissionBits) {
    const auto modeOf = [this](const char* name) {
        struct stat status {};
        EXPECT_EQ(stat(Path(name).toLocal8Bit().constData(), &status), 0);
        return status.st_mode & 07777;
    };
    MakeFile("m.txt", "old");
    ASSERT_EQ(chmod(Path("m.txt").toLocal8Bit().constData(), 0640), 0);

    ASSERT_TRUE(store_.WriteAll(Path("m.txt"), "new").ok);
    EXPECT_EQ(modeOf("m.txt"), 0640u);
}

TEST_F(FileStoreTest, WriteGoesThroughSymlinkToItsTarget) {
    MakeFile("target.txt", "old");
    MakeLink("target.txt", "link.txt");

    ASSERT_TRUE(store_.WriteAll(Path("link.txt"), "new").ok);
    EXPECT_TRUE(QFileInfo(Path("link.txt")).isSymLink());
    EXPECT_EQ(store_.ReadAll(Path("target.txt")), QByteArray("new"));
    EXPECT_EQ(Entries().size(), 2);
}

}  // namespace
}  // namespace markola
