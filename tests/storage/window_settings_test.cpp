#include "storage/window_settings.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>

#include "storage/file_store.h"

namespace markola {
namespace {

constexpr WindowGeometry kDefaults = kDefaultWindowGeometry;

TEST(ParseWindowSettingsTest, ReadsFieldsWithLaterGroupsWinningAndFallbacks) {
    const struct {
        const char* content;
        WindowGeometry expected;
    } cases[] = {
        {"100,200,300,400", {100, 200, 300, 400}},
        {"100,200,300,400\r\n", {100, 200, 300, 400}},
        {"-1,6000,-5,100\r\n", {5820, 6000, 1920, 100}},
        {"1000,2000,300,400\r\n5000,6000,700,800\r\n", {5000, 6000, 700, 800}},
        {"1,2,3,4\n5,6,7,8", {5, 6, 7, 8}},
        {"1,2,3,4\r5,6,7,8\r", {5, 6, 7, 8}},
        {"1,2,3,4\r\n\r\n\r\n5,6,7,8\r\n\r\n", {5, 6, 7, 8}},
        {"  1 , 2\t,3 4", {1, 2, 3, 4}},
        {"", {0, 0, 0, 0}},
        {"\r\n", {0, 0, 0, 0}},
        {"0,0,0,0", {0, 0, 0, 0}},
        {"1500.6,2000.4,-0.4,7", {1501, 2000, 0, 7}},
        {"100,200", {100, 200, kDefaults.left, kDefaults.top}},
        {"1,2,3,4\r\n5,6", {5, 6, kDefaults.left, kDefaults.top}},
        {"100,abc,300,400", {100, kDefaults.height, kDefaults.left, kDefaults.top}},
        {"100,,300,400", {100, kDefaults.height, kDefaults.left, kDefaults.top}},
        {"1,2,3,4\r\nx,6,7,8\r\n9,9,9,9", kDefaults},
        {"2147483647,2147483648,1,1",
         {2147483647, kDefaults.height, kDefaults.left, kDefaults.top}},
        {"-2147483649,1,1,1", kDefaults},
        {"inf,1,1,1", kDefaults},
        {"nan,1,1,1", kDefaults},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(ParseWindowSettings(QByteArrayView(c.content)), c.expected) << c.content;
    }
}

TEST(FormatWindowSettingsTest, WritesOneLineOnlyWhenAllValuesArePositive) {
    EXPECT_EQ(FormatWindowSettings(kDefaults), QByteArray("5820,6390,1920,1335\r\n"));
    EXPECT_EQ(FormatWindowSettings({1, 2147483647, 3, 4}), QByteArray("1,2147483647,3,4\r\n"));
    for (const WindowGeometry& geometry :
         {WindowGeometry{0, 1, 1, 1}, WindowGeometry{1, -1, 1, 1}, WindowGeometry{1, 1, 0, 1},
          WindowGeometry{1, 1, 1, -9}}) {
        EXPECT_FALSE(FormatWindowSettings(geometry).has_value());
    }
}

class WindowSettingsFileTest : public ::testing::Test {
protected:
    QString SettingsPath() const { return dir_.filePath(kSettingsFileName); }

    QTemporaryDir dir_;
    DiskFileStore store_;
};

TEST_F(WindowSettingsFileTest, MissingFileGivesDefaultsAndEmptyFileZeros) {
    EXPECT_EQ(ReadWindowSettings(store_, SettingsPath()), kDefaults);
    ASSERT_TRUE(store_.WriteAll(SettingsPath(), {}).ok);
    EXPECT_EQ(ReadWindowSettings(store_, SettingsPath()), (WindowGeometry{0, 0, 0, 0}));
}

TEST_F(WindowSettingsFileTest, WrittenGeometryReadsBack) {
    const WindowGeometry geometry{6000, 7000, 15, 30};
    WriteWindowSettings(store_, SettingsPath(), geometry);
    EXPECT_EQ(ReadWindowSettings(store_, SettingsPath()), geometry);
}

TEST_F(WindowSettingsFileTest, GeometryNotStoredOrFailedWriteKeepsPreviousFile) {
    const QByteArray previous = "1,2,3,4\r\n";
    ASSERT_TRUE(store_.WriteAll(SettingsPath(), previous).ok);

    WriteWindowSettings(store_, SettingsPath(), {6000, 7000, 0, 30});
    DiskFileStore failing([](WriteStep step) { return step == WriteStep::Write; });
    WriteWindowSettings(failing, SettingsPath(), {6000, 7000, 15, 30});

    EXPECT_EQ(store_.ReadAll(SettingsPath()), previous);
}

}  // namespace
}  // namespace markola
