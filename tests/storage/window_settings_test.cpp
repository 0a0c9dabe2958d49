#include "storage/window_settings.h"

#include <gtest/gtest.h>

#include <cerrno>

#include <QTemporaryDir>

#include "storage/file_store.h"

namespace markola {
namespace {

constexpr WindowGeometry kDefaults = kDefaultWindowGeometry;

TEST(WindowSettingsTest, ParsesGroupsWithLaterOnesWinningAndFallsBackToDefaults) {
    const struct {
        const char* content;
        WindowGeometry expected;
    } cases[] = {
        {"-1,6000,-5,100\r\n", {5820, 6000, 1920, 100}},
        {"1000,2000,300,400\r\n5000,6000,700,800\r\n", {5000, 6000, 700, 800}},
        {"1,2,3,4\n\n5,6,7,8\r9,9,9,9\r\n\r\n", {9, 9, 9, 9}},
        {"  1 , 2\t,3 4", {1, 2, 3, 4}},
        {"", {0, 0, 0, 0}},
        {"1500.6,2000.4,-0.4,7", {1501, 2000, 0, 7}},
        {"\xEF\xBB\xBF"
         "1,2,3,4\r\n\x1A",
         {1, 2, 3, 4}},
        {"1,2,3,4\x1A\0\0", {1, 2, 3, 4}},
        {"1,2,3,4\r\n5,6", {1, 2, 3, 4}},
        {"5,6", {5, 6, kDefaults.left, kDefaults.top}},
        {"100,,300,400", {100, kDefaults.height, kDefaults.left, kDefaults.top}},
        {"1,2,3,4\r\nx,6,7,8\r\n9,9,9,9", {1, 2, 3, 4}},
        {"x,6,7,8\r\n9,9,9,9", kDefaults},
        {"2147483647,2147483648,1,1",
         {2147483647, kDefaults.height, kDefaults.left, kDefaults.top}},
        {"nan,1,1,1", kDefaults},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(ParseWindowSettings(QByteArrayView(c.content)), c.expected) << c.content;
    }
}

// Only a geometry of positive values is written, as one line; a failed write keeps the file.
TEST(WindowSettingsTest, ReadsAndWritesThroughTheStore) {
    QTemporaryDir dir;
    const QString path = dir.filePath(kSettingsFileName);
    DiskFileStore store;
    EXPECT_EQ(ReadWindowSettings(store, path), kDefaults);
    const WindowGeometry geometry{6000, 7000, 15, 30};
    WriteWindowSettings(store, path, geometry);
    for (const WindowGeometry& unwritten :
         {WindowGeometry{0, 7000, 15, 30}, {6000, 7000, -1, 30}}) {
        WriteWindowSettings(store, path, unwritten);
    }
    DiskFileStore failing([] { return ENOSPC; });
    WriteWindowSettings(failing, path, {1, 2, 3, 4});
    EXPECT_EQ(store.ReadAll(path), "6000,7000,15,30\r\n");
    EXPECT_EQ(ReadWindowSettings(store, path), geometry);
}

}  // namespace
}  // namespace markola
