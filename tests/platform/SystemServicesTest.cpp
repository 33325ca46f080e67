// Time, files and the working directory of the platform layer, with names in the system's own
// style.
#include <gtest/gtest.h>

#include <ctime>
#include <filesystem>
#include <string>

#include <sys/stat.h>  // mkdir
#include <unistd.h>    // access

#include "platform/Platform.h"

namespace {

using namespace tavoFramework;

// A fresh folder as the working directory for one test; the previous one comes back afterwards.
class InTemporaryFolder : public testing::Test {
protected:
    void SetUp() override
    {
        previous = platform::workingDirectory();
        char pattern[] = "/tmp/tavo-platform-XXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        folder = pattern;
        ASSERT_TRUE(platform::setWorkingDirectory(folder.c_str()));
    }
    void TearDown() override
    {
        platform::setWorkingDirectory(previous.c_str());
        std::filesystem::remove_all(folder);
    }
    std::string previous, folder;
};

TEST_F(InTemporaryFolder, WorkingDirectoryFollowsSystemStyleNames)
{
    ASSERT_EQ(mkdir("resources", 0755), 0);
    ASSERT_EQ(mkdir("resources/data", 0755), 0);
    EXPECT_TRUE(platform::setWorkingDirectory(".\\resources\\"));
    EXPECT_EQ(platform::workingDirectory(), folder + "/resources");
    EXPECT_TRUE(platform::setWorkingDirectory("data"));
    EXPECT_EQ(platform::workingDirectory(), folder + "/resources/data");
    EXPECT_FALSE(platform::setWorkingDirectory("missing\\folder")) << "a failed change says so";
    EXPECT_EQ(platform::workingDirectory(), folder + "/resources/data") << "and stays where it was";
}

TEST_F(InTemporaryFolder, FilesOpenAndDeleteBySystemStyleNames)
{
    ASSERT_EQ(mkdir("editor", 0755), 0);
    std::FILE* file = platform::openFile("editor\\snapshot.dat", "wb");
    ASSERT_NE(file, nullptr);
    std::fputs("keys", file);
    std::fclose(file);
    EXPECT_EQ(access("editor/snapshot.dat", F_OK), 0);

    file = platform::openFile("editor//snapshot.dat", "rb");
    ASSERT_NE(file, nullptr);
    char text[8] = {};
    EXPECT_EQ(std::fread(text, 1, sizeof text, file), 4u);
    EXPECT_STREQ(text, "keys");
    std::fclose(file);

    EXPECT_TRUE(platform::deleteFile("editor\\snapshot.dat"));
    EXPECT_NE(access("editor/snapshot.dat", F_OK), 0);
    EXPECT_FALSE(platform::deleteFile("editor\\snapshot.dat")) << "nothing left to delete";
    EXPECT_EQ(platform::openFile("editor\\snapshot.dat", "rb"), nullptr);
}

TEST(SystemTime, UtcAgreesWithTheSystemClock)
{
    const std::time_t before = std::time(nullptr);
    const platform::SystemTime now = platform::systemTimeUtc();
    const std::time_t after = std::time(nullptr);

    std::tm fields{};
    fields.tm_year = now.year - 1900;
    fields.tm_mon = now.month - 1;
    fields.tm_mday = now.day;
    fields.tm_hour = now.hour;
    fields.tm_min = now.minute;
    fields.tm_sec = now.second;
    const std::time_t seconds = timegm(&fields);  // UTC fields back to seconds since 1970
    EXPECT_GE(seconds, before);
    EXPECT_LE(seconds, after);
    EXPECT_EQ(now.dayOfWeek, fields.tm_wday) << "Sunday is 0";
    EXPECT_GE(now.milliseconds, 0);
    EXPECT_LE(now.milliseconds, 999);
}

TEST(PerformanceCounter, CountsSleptTimeAtItsFrequency)
{
    const std::int64_t frequency = platform::performanceFrequency();
    ASSERT_GT(frequency, 0);
    const std::int64_t start = platform::performanceCounter();
    platform::sleepMs(30);
    const std::int64_t end = platform::performanceCounter();
    EXPECT_GE(end - start, frequency * 30 / 1000) << "slept at least 30 ms";
}

}  // namespace
