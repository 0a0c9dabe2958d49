// Run with the end-to-end shim preloaded: the real system calls of a write fail, not a seam
// in front of them.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include "storage/file_store.h"
#include "storage/window_settings.h"

namespace markola {
namespace {

QByteArray Read(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

void Write(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

TEST(WriteFailures, EveryFailingCallKeepsTheOldFileWholeAndReportsItsError) {
    QTemporaryDir dir;
    const QString files = dir.filePath("files"), flag = dir.filePath("flag");
    ASSERT_TRUE(QDir().mkdir(files));
    qputenv("MARKOLA_E2E_FAIL_FLAG", flag.toLocal8Bit());
    qputenv("MARKOLA_E2E_FAIL_UNDER", files.toLocal8Bit());
    const QString memo = files + "/m.txt", settings = files + "/settings.ini";
    Write(memo, "old memo");
    Write(settings, "100,200,300,400");
    DiskFileStore store;
    for (const char* call : {"write", "fdatasync", "close", "rename"}) {
        for (const auto& [name, error] :
             {std::pair{"ENOSPC", ENOSPC}, {"EDQUOT", EDQUOT}, {"EIO", EIO}}) {
            SCOPED_TRACE(std::string(call) + " " + name);
            Write(flag, QByteArray(call) + ' ' + name);
            const WriteResult result = store.WriteAll(memo, "new memo");
            WriteWindowSettings(store, settings, {1, 2, 3, 4});
            QFile::remove(flag);
            EXPECT_FALSE(result.ok);
            EXPECT_EQ(result.errorCode, error);
            EXPECT_EQ(Read(memo), "old memo");
            EXPECT_EQ(Read(settings), "100,200,300,400");
            EXPECT_EQ(QDir(files).entryList(QDir::Files | QDir::Hidden).size(), 2);
        }
    }
    EXPECT_TRUE(store.WriteAll(memo, "new memo").ok);
    EXPECT_EQ(Read(memo), "new memo");
}

}  // namespace
}  // namespace markola
