#include "storage/file_store.h"

#include <fcntl.h>
#include <grp.h>
#include <gtest/gtest.h>
#include <iconv.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>
#include <future>
#include <string>
#include <thread>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLocale>
#include <QScopeGuard>
#include <QTemporaryDir>

#include "storage/cp932.h"
#include "storage/native_path.h"
#include "storage/recovery_writer.h"
#include "storage/window_settings.h"

namespace markola {
namespace {

constexpr WindowGeometry kDefaults = kDefaultWindowGeometry;

TEST(WindowSettingsTest, ParsesGroupsWithLaterOnesWinningAndFallsBackToDefaults) {
    const struct {
        const char* content;
        WindowGeometry expected;
    } cases[] = {
        {"-1,6000,-5,100\r\n", {5820, 6000, 1920, 100}},
        {"1,2,3,4\n\n5,6,7,8\r9,9,9,9\r\n\r\n", {9, 9, 9, 9}},
        {"  1 ,\t2 3\r\n4", {1, 2, 3, 4}},
        {"", {0, 0, 0, 0}},
        {"1500.6,2000.4,-0.4,7", {1501, 2000, 0, 7}},
        {"\xEF\xBB\xBF 1,2,3,4\r\n\x1A 5,6,7,8", {1, 2, 3, 4}},
        {"1,2,3,4\r\n5,6", {1, 2, 3, 4}},
        {"5,6", {5, 6, kDefaults.left, kDefaults.top}},
        {"1,2,3,4\r\nx,6,7,8\r\n9,9,9,9", {1, 2, 3, 4}},
        {"2147483647,2147483648,1,1",
         {2147483647, kDefaults.height, kDefaults.left, kDefaults.top}},
        {"nan,1,1,1", kDefaults},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(ParseWindowSettings(QByteArrayView(c.content)), c.expected) << c.content;
    }
}

// Every byte and pair decodes as glibc has it (a table made apart from ours) or, where glibc
// sees no character, to a private-use code that keeps its bytes. A character of several codes
// encodes to the one a Japanese desktop writes: the lowest, never an NEC-selected IBM
// extension (leads ED, EE), so NEC row 13 goes before the IBM extensions and row 2 before both.
TEST(Cp932Test, EveryCodeDecodesLikeGlibcAndEncodesBack) {
    iconv_t converter = iconv_open("UTF-16LE", "CP932");
    if (converter == iconv_t(-1)) {
        GTEST_SKIP() << "no CP932 in iconv";
    }
    int assigned = 0;
    for (int code = 0; code <= 0xFCFC; ++code) {
        const int lead = code >> 8, trail = code & 0xFF;
        const bool isPair = ((lead >= 0x81 && lead <= 0x9F) || (lead >= 0xE0 && lead <= 0xFC)) &&
                            trail >= 0x40 && trail <= 0xFC && trail != 0x7F;
        if (code > 0xFF && !isPair) {
            continue;
        }
        QByteArray bytes =
            isPair ? QByteArray(1, char(lead)) + char(trail) : QByteArray(1, char(code));
        const QString ours = cp932::Decode(bytes);
        char16_t glibc[2] = {};
        char *in = bytes.data(), *out = reinterpret_cast<char*>(glibc);
        size_t inLeft = bytes.size(), outLeft = sizeof glibc;
        iconv(converter, nullptr, nullptr, nullptr, nullptr);
        if (iconv(converter, &in, &inLeft, &out, &outLeft) != size_t(-1) && inLeft == 0) {
            EXPECT_EQ(ours, QString(QChar(glibc[0]))) << std::hex << code;
            assigned += isPair;
        } else {
            EXPECT_EQ(ours.front(), QChar(0xF700 + (isPair ? lead : code))) << std::hex << code;
        }
        const auto [encoded, unencodableAt] = cp932::Encode(ours);
        EXPECT_EQ(unencodableAt, -1) << std::hex << code;
        if (encoded != bytes) {
            EXPECT_TRUE(encoded < bytes || lead == 0xED || lead == 0xEE) << std::hex << code;
            EXPECT_FALSE(encoded[0] == '\xED' || encoded[0] == '\xEE') << std::hex << code;
            EXPECT_EQ(cp932::Decode(encoded), ours) << std::hex << code;
        }
    }
    iconv_close(converter);
    EXPECT_EQ(assigned, 7724 + 1880);  // Microsoft's table plus the user-defined area
}

// What Linux input methods type for six signs is saved to the codes of their look-alikes and
// reads back as those; a character without any code (a dash, a no-break space) is refused.
TEST(Cp932Test, SavesJisFormsAsTheirLookAlikesAndRefusesTheRest) {
    const QString jis = u"\u301C\u2016\u2212\u00A2\u00A3\u00AC"_qs;
    const auto [bytes, unencodableAt] = cp932::Encode(jis);
    EXPECT_EQ(unencodableAt, -1);
    EXPECT_EQ(bytes, "\x81\x60\x81\x61\x81\x7C\x81\x91\x81\x92\x81\xCA");
    EXPECT_EQ(cp932::Decode(bytes), u"\uFF5E\u2225\uFF0D\uFFE0\uFFE1\uFFE2"_qs);
    for (const QString& refused : {u"\u2014"_qs, u"\u00A0"_qs, u"\u00A6"_qs, u"\U00020BB7"_qs}) {
        EXPECT_EQ(cp932::Encode(jis + refused).unencodableAt, jis.size());
    }
}

class FileStoreTest : public ::testing::Test {
protected:
    // QTemporaryDir cannot remove names that are not UTF-8.
    ~FileStoreTest() override { std::filesystem::remove_all(dir_.path().toStdString()); }
    QString Path(const QString& name) const { return dir_.filePath(name); }
    QByteArray NativePath(const QByteArray& name) const {
        return dir_.path().toLocal8Bit() + '/' + name;
    }
    void MakeFile(const QByteArray& name, const QByteArray& bytes = {}) const {
        const int fd = creat(NativePath(name), 0644);
        ASSERT_TRUE(fd >= 0 && write(fd, bytes.data(), bytes.size()) == bytes.size());
        ASSERT_EQ(close(fd), 0);
    }

    QTemporaryDir dir_;
    DiskFileStore store_;
};

// Files that would show one name (in another case, code page or spelling of a stray byte)
// each get a row of their own, which reads and writes that file alone. In Japanese, names
// that differ only in case, width or kana (あ, ァ) sort by their codes, as rows of one name do.
TEST_F(FileStoreTest, ListsAndFindsTxtFilesOfAnyCaseAndLinksToThem) {
    QLocale::setDefault(QLocale::Japanese);
    const auto systemLocaleAfter = qScopeGuard([] { QLocale::setDefault(QLocale::system()); });
    for (const char* name : {"\x82\xA0.txt", "\xE3\x81\x82.txt", "\xE3\x82\xA1.txt", "\x82.txt",
                             "<0x82>.txt", "B.txt", "B.TXT", "B.TXT.txt", "A.txt", "c.TXT", "a.txt",
                             ".txt", "notes.log", "x.txt.bak", ".markola-1.tmp", "plain"}) {
        MakeFile(name, name);
    }
    ASSERT_TRUE(QDir(dir_.path()).mkdir("d.txt"));
    ASSERT_TRUE(QFile::link(Path("B.txt"), Path("e.txt")));
    ASSERT_TRUE(QFile::link(Path("missing"), Path("f.txt")));

    // Each row, and the file its name reads.
    const QStringList names =
        u"/<0x82>/<0x82>.txt/A/a/B/B.TXT (2)/B.TXT/c/e/あ/あ.txt/ァ"_qs.split(u'/');
    const QByteArrayList files =
        QByteArray(
            ".txt/<0x82>.txt/\x82.txt/A.txt/a.txt/B.txt/B.TXT/"
            "B.TXT.txt/c.TXT/B.txt/\xE3\x81\x82.txt/\x82\xA0.txt/\xE3\x82\xA1.txt")
            .split('/');
    EXPECT_EQ(store_.ListMemoNames(dir_.path()), names);
    for (qsizetype i = 0; i < names.size(); ++i) {
        EXPECT_EQ(store_.ReadAll(Path(names[i] + ".txt")), files[i]) << files[i].toStdString();
    }
    ASSERT_TRUE(store_.WriteAll(Path("<0x82>.txt.txt"), "new").ok);
    EXPECT_EQ(store_.ReadAll(Path("<0x82>.txt")), "<0x82>.txt");
    EXPECT_EQ(store_.ReadAll(Path("<0x82>.txt.txt")), "new");
    EXPECT_TRUE(store_.Exists(Path("e.txt")) && !store_.Exists(Path("d.txt")) &&
                !store_.Exists(Path("f.txt")));
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
    ASSERT_TRUE(QFile::link(Path("m.txt"), Path("link.txt")));
    const QString longName = QString(246, u'n') + ".txt";
    const qsizetype filesOpenBefore = QDir("/proc/self/fd").count();
    for (const QString& name : {QStringLiteral("link.txt"), longName}) {
        for (const QByteArray& bytes : {QByteArray("first\r\n"), QByteArray("\x82\xa0\0\r", 4),
                                        QByteArray(), QByteArray("0123456789").repeated(15'000)}) {
            const WriteResult result = store_.WriteAll(Path(name), bytes);
            EXPECT_TRUE(result.ok) << result.errorText.toStdString();
            EXPECT_EQ(store_.ReadAll(Path(name)), bytes);
            EXPECT_EQ(store_.DigestOfFile(Path(name)), DigestOf(bytes));  // read in pieces
        }
    }
    EXPECT_EQ(QDir("/proc/self/fd").count(), filesOpenBefore);
    EXPECT_TRUE(QFileInfo(Path("link.txt")).isSymLink());
    struct stat status {};
    ASSERT_EQ(stat(NativePath("m.txt"), &status), 0);
    EXPECT_EQ(status.st_mode & 07777, 02640u);
    const mode_t mask = umask(0);  // a new memo gets the mode any new file gets
    umask(mask);
    ASSERT_EQ(stat(NativePath(longName.toUtf8()), &status), 0);
    EXPECT_EQ(status.st_mode & 07777, 0666u & ~mask);
    EXPECT_EQ(QDir(dir_.path()).entryList(QDir::Files | QDir::Hidden),
              (QStringList{"link.txt", "m.txt", longName}));
    ASSERT_EQ(mkfifo(NativePath("pipe.txt"), 0600), 0);
    for (const char* name : {"missing.txt", ".", "pipe.txt"}) {
        EXPECT_FALSE(store_.ReadAll(Path(name)).has_value()) << name;
        EXPECT_FALSE(store_.DigestOfFile(Path(name)).has_value()) << name;
    }
    // No path names no file; its folder would be the current directory, made private.
    for (const auto write : {&FileStore::WriteAll, &FileStore::WritePrivate}) {
        EXPECT_EQ((store_.*write)({}, "bytes").errorCode, ENOENT);
    }
}

// As the user nobody, whom the permission bits bind as they do not bind root: a memo the user
// may not write, and anything but a regular file (a pipe, a device behind a link, a folder)
// is refused before anything is written; in a folder the user may not write, a write fails.
// The user's own memo in a group the user is not in comes back in the user's group, which
// gets no more than anyone else.
TEST_F(FileStoreTest, ReplacesOnlyRegularFilesTheUserMayWrite) {
    constexpr uid_t kNobody = 65534;  // and its group nogroup, as Debian has them; -1: not regular
    if (geteuid() != 0) {
        GTEST_SKIP() << "needs root to make another user's file and to become nobody";
    }
    const std::pair<const char*, int> cases[] = {
        {"0444.txt", EACCES}, {"0400.txt", EACCES}, {"0555.txt", EACCES},
        {"root.txt", EACCES}, {"fifo.txt", -1},     {"null.txt", -1},
        {"folder.txt", -1},   {"d/m.txt", EACCES},  {"group.txt", 0}};
    ASSERT_EQ(std::system(("cd " + dir_.path().toStdString() +
                           " && for m in 0444 0400 0555; do echo old >$m.txt; chmod $m $m.txt; "
                           "done && mkfifo fifo.txt && ln -s /dev/null null.txt && mkdir "
                           "folder.txt && chown -hR nobody: . && echo old >root.txt && "
                           "mkdir d && echo old >d/m.txt && chown nobody: d/m.txt && "
                           "echo old >group.txt && chown nobody:root group.txt && "
                           "chmod 0754 group.txt")
                              .c_str()),
              0);
    EXPECT_EXIT(  // as nobody, telling what each write gave
        {
            bool asExpected =
                setgroups(0, nullptr) == 0 && setgid(kNobody) == 0 && setuid(kNobody) == 0;
            for (const auto& [name, answer] : cases) {
                const WriteResult result = store_.WriteAll(Path(name), "new");
                const int gave = result.notRegularFile ? -1 : result.errorCode;
                std::fprintf(stderr, "%s: %d\n", name, gave);
                asExpected = asExpected && gave == answer;
            }
            struct stat group {};
            asExpected = asExpected && stat(NativePath("group.txt"), &group) == 0 &&
                         (group.st_mode & 07777) == 0744 && group.st_gid == kNobody;
            _exit(asExpected ? 0 : 1);
        },
        ::testing::ExitedWithCode(0), "");
}

// The real system calls fail, through the shim that the run "file_store_system_calls" preloads.
// The folder is synced after the rename: the new file is in place, maybe not for good.
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
            MakeFile("flag", QByteArray::fromStdString(call) + ' ' + name);
            EXPECT_EQ(store_.WriteAll(Path("files/m.txt"), "new memo").errorCode, error);
            QFile::remove(Path("flag"));
            EXPECT_EQ(store_.ReadAll(Path("files/m.txt")),
                      call == "fsync" ? "new memo" : "old memo");
            EXPECT_EQ(QDir(Path("files")).entryList(QDir::Files | QDir::Hidden),
                      QStringList{"m.txt"});
        }
    }
}

// A temporary file goes into the folder of the file it replaces.
TEST(NativePathTest, FolderOfAPathIsTheFolderItNames) {
    EXPECT_EQ(FolderOf("/m"), "/");
    EXPECT_EQ(FolderOf("m"), ".");
    EXPECT_EQ(FolderOf("a/m"), "a");
}

// A flush waits for the copy under way too: an end by signal must not exit before it is kept.
TEST_F(FileStoreTest, FlushWaitsForTheCopyBeingWritten) {
    std::promise<void> writing, release;
    DiskFileStore slowStore([&, ready = release.get_future().share()](const QString&) {
        writing.set_value();
        ready.wait();
        return 0;
    });
    RecoveryWriter writer(slowStore);
    writer.Keep(Path("a.recovery"), {.text = "edits"});
    writing.get_future().wait();
    const std::jthread releaser([&] {
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
        release.set_value();
    });
    EXPECT_FALSE(writer.Flush().has_value());
    EXPECT_TRUE(QFileInfo::exists(Path("a.recovery")));
}

}  // namespace
}  // namespace markola
