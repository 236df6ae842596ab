#include "app/activity_log_win32.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace tarnwick {
namespace {

struct FixedClock : WallClock {
  LocalTime Now() const override { return {2026, 12, 8, 22, 0, 0, 60}; }
};

class ActivityLogFileTest : public ::testing::Test {
 protected:
  void SetUp() override {
    char temp[MAX_PATH];
    GetTempPathA(MAX_PATH, temp);
    folder_ = std::string(temp) + "tarnwick-log-" + std::to_string(GetCurrentProcessId());
    path_ = folder_ + "\\Tarnwick.log";
  }
  void TearDown() override {
    DeleteFileA(path_.c_str());
    DeleteFileA((path_ + ".1").c_str());
    RemoveDirectoryA(folder_.c_str());
  }
  std::string folder_, path_;
  Win32LogFiles files_;
  FixedClock clock_;
};

std::string ReadAll(HANDLE file) {
  SetFilePointer(file, 0, nullptr, FILE_BEGIN);
  std::string text(4096, '\0');
  DWORD read = 0;
  ReadFile(file, text.data(), static_cast<DWORD>(text.size()), &read, nullptr);
  text.resize(read);
  return text;
}

TEST_F(ActivityLogFileTest, AViewerReadsEachLineWhileTheLogWritesAndRotates) {
  ActivityLog log(files_, clock_);
  log.SetPath(path_);  // its folder does not exist yet
  ASSERT_TRUE(log.Write("start", "version 1.11"));
  // A viewer that keeps the file open, sharing it as a log follower does.
  HANDLE viewer = CreateFileA(path_.c_str(), GENERIC_READ,
                              FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                              OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(viewer, INVALID_HANDLE_VALUE);
  ASSERT_TRUE(log.Write("connected", "entry \"Office\""));
  // Flushed per line: the viewer sees it without the log closing anything.
  EXPECT_EQ(ReadAll(viewer),
            FormatLogLine(clock_.Now(), "start", "version 1.11") +
                FormatLogLine(clock_.Now(), "connected", "entry \"Office\""));

  // Past the size the file moves aside under the open viewer.
  const std::string filler(kLogRotateBytes, 'x');
  ASSERT_TRUE(files_.Append(path_, filler));
  const std::optional<uint64_t> before = files_.Size(path_);
  ASSERT_TRUE(log.Write("exit", ""));
  CloseHandle(viewer);
  EXPECT_EQ(files_.Size(path_ + ".1"), before);
  EXPECT_EQ(files_.Size(path_), FormatLogLine(clock_.Now(), "exit", "").size());
}

TEST_F(ActivityLogFileTest, AnUnwritablePathWarnsOnceAndTheProgramGoesOn) {
  CreateDirectoryA(folder_.c_str(), nullptr);
  ActivityLog log(files_, clock_);
  std::vector<std::string> warnings;
  log.OnWarning([&](const std::string& text) { warnings.push_back(text); });
  log.SetPath(folder_);  // a folder is no file
  EXPECT_FALSE(log.Write("start", ""));
  EXPECT_FALSE(log.Write("exit", ""));
  log.SetPath(folder_ + "\\missing\\deeper\\Tarnwick.log");
  EXPECT_FALSE(log.Write("start", ""));
  EXPECT_EQ(warnings.size(), 1u);
}

TEST(ActivityLogClockTest, TheOffsetIsLocalMinusUniversalTime) {
  const LocalTime now = Win32WallClock().Now();
  TIME_ZONE_INFORMATION zone;
  const DWORD kind = GetTimeZoneInformation(&zone);
  const long bias = zone.Bias + (kind == TIME_ZONE_ID_DAYLIGHT ? zone.DaylightBias : 0);
  EXPECT_EQ(now.offset_minutes, -bias);
  EXPECT_GE(now.year, 2020);
}

}  // namespace
}  // namespace tarnwick
