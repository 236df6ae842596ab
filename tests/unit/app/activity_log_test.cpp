#include "app/activity_log.h"

#include <gtest/gtest.h>

#include <map>

#include "app/activity_reporter.h"

namespace tarnwick {
namespace {

struct FakeClock : WallClock {
  LocalTime now{2026, 12, 8, 23, 5, 9, 60};
  LocalTime Now() const override { return now; }
};

struct MemoryFiles : LogFiles {
  std::map<std::string, std::string> files;
  bool writable = true;
  bool movable = true;
  int appends = 0;
  std::optional<uint64_t> Size(const std::string& path) override {
    auto it = files.find(path);
    if (it == files.end()) return std::nullopt;
    return it->second.size();
  }
  bool Append(const std::string& path, const std::string& text) override {
    ++appends;
    if (!writable) return false;
    files[path] += text;
    return true;
  }
  bool Replace(const std::string& from, const std::string& to) override {
    if (!movable || !files.count(from)) return false;
    files[to] = files[from];
    files.erase(from);
    return true;
  }
};

TEST(ActivityLogTest, LineFormat) {
  struct Row {
    LocalTime time;
    std::string event, details, line;
  };
  const Row rows[] = {
      {{2026, 3, 29, 2, 5, 9, 120}, "connected", "entry \"Office\", address 10.0.0.7",
       "2026-03-29T02:05:09+02:00 connected: entry \"Office\", address 10.0.0.7\r\n"},
      // West of Greenwich with a half hour; a server's two-line reply stays one line.
      {{2027, 1, 2, 23, 59, 59, -210}, "step-failed", "550 no\r\n550 really\tnot",
       "2027-01-02T23:59:59-03:30 step-failed: 550 no  550 really not\r\n"},
      {{2026, 12, 8, 0, 0, 0, 0}, "exit", "", "2026-12-08T00:00:00+00:00 exit\r\n"},
  };
  for (const Row& row : rows) {
    EXPECT_EQ(FormatLogLine(row.time, row.event, row.details), row.line) << row.event;
  }
}

TEST(ActivityLogTest, RotatesBeforeTheLineThatPassesTheSizeKeepingOnePreviousFile) {
  MemoryFiles files;
  FakeClock clock;
  ActivityLog log(files, clock);
  log.SetPath("C:\\logs\\Tarnwick.log");
  const std::string line = FormatLogLine(clock.now, "keep-alive", "x");
  // Fill the file to exactly the limit: no rotation yet.
  files.files["C:\\logs\\Tarnwick.log"] = std::string(kLogRotateBytes - line.size(), 'a');
  ASSERT_TRUE(log.Write("keep-alive", "x"));
  EXPECT_EQ(files.files["C:\\logs\\Tarnwick.log"].size(), kLogRotateBytes);
  EXPECT_FALSE(files.files.count("C:\\logs\\Tarnwick.log.1"));

  ASSERT_TRUE(log.Write("exit", "second"));
  EXPECT_EQ(files.files["C:\\logs\\Tarnwick.log.1"].size(), kLogRotateBytes);
  EXPECT_EQ(files.files["C:\\logs\\Tarnwick.log"], FormatLogLine(clock.now, "exit", "second"));

  // The next rotation replaces the previous file: never more than two.
  files.files["C:\\logs\\Tarnwick.log"] = std::string(kLogRotateBytes, 'b');
  ASSERT_TRUE(log.Write("exit", "third"));
  EXPECT_EQ(files.files["C:\\logs\\Tarnwick.log.1"], std::string(kLogRotateBytes, 'b'));
  EXPECT_EQ(files.files.size(), 2u);

  // A file that cannot be moved is written on rather than losing the event.
  files.movable = false;
  files.files["C:\\logs\\Tarnwick.log"] = std::string(kLogRotateBytes, 'c');
  EXPECT_TRUE(log.Write("exit", "fourth"));
  EXPECT_GT(files.files["C:\\logs\\Tarnwick.log"].size(), kLogRotateBytes);
}

TEST(ActivityLogTest, UnwritableFileWarnsOncePerRunAndNeverThrows) {
  MemoryFiles files;
  files.writable = false;
  FakeClock clock;
  ActivityLog log(files, clock);
  std::vector<std::string> warnings;
  log.OnWarning([&](const std::string& text) { warnings.push_back(text); });
  log.SetPath("Z:\\nowhere\\Tarnwick.log");
  for (int i = 0; i < 5; ++i) EXPECT_FALSE(log.Write("keep-alive", "tick"));
  EXPECT_EQ(files.appends, 5);  // every event is tried: the folder may come back
  ASSERT_EQ(warnings.size(), 1u);
  EXPECT_EQ(warnings[0], std::string(kLogWarningPrefix) + "Z:\\nowhere\\Tarnwick.log");
  files.writable = true;
  EXPECT_TRUE(log.Write("keep-alive", "tick"));
}

struct RecordedNotices : Notices {
  std::vector<std::string> shown;
  void Show(const std::string& title, const std::string& text) override {
    shown.push_back(title + " | " + text);
  }
};

Settings NoticeSettings() {
  Settings s;
  SetDefaultSettings(s);
  s.loggingenabled = true;
  s.proxypass = "proxy-Secret9";
  s.connpass = "dial-Secret8";
  Notif ftp;
  ftp.NotifyMethod = kNotifyFtp;
  ftp.FTPNotifr.FTPPass = "ftp-Secret7";
  s.notifs = {ftp};
  return s;
}

TEST(ActivityReporterTest, LogsToTheDefaultFileAndMasksEveryStoredPassword) {
  Settings s = NoticeSettings();
  MemoryFiles files;
  FakeClock clock;
  ActivityLog log(files, clock);
  ActivityReporter reporter(s, log, nullptr, [] { return std::string("C:\\Local\\Tarnwick\\Tarnwick.log"); });
  reporter.Record(Activity::kStepFailed, "530 bad password ftp-Secret7 for user");
  reporter.Record(Activity::kKeepAliveFailed, "407 proxy-Secret9 / dial-Secret8");
  const std::string& text = files.files["C:\\Local\\Tarnwick\\Tarnwick.log"];
  EXPECT_EQ(text.find("Secret"), std::string::npos) << text;
  EXPECT_NE(text.find("step-failed: 530 bad password *** for user"), std::string::npos) << text;

  s.logfile = "D:\\mine.log";
  reporter.Record(Activity::kExit, "");
  EXPECT_TRUE(files.files.count("D:\\mine.log"));
  s.loggingenabled = false;
  reporter.Record(Activity::kExit, "");
  EXPECT_EQ(files.files["D:\\mine.log"].size(), FormatLogLine(clock.now, "exit", "").size());
}

TEST(ActivityReporterTest, NoticesFollowTheirSwitches) {
  Settings s = NoticeSettings();
  s.loggingenabled = false;
  MemoryFiles files;
  FakeClock clock;
  ActivityLog log(files, clock);
  RecordedNotices notices;
  ActivityReporter reporter(s, log, &notices, [] { return std::string("x.log"); });
  reporter.Record(Activity::kDropped, "Office, redialing");
  reporter.Record(Activity::kRedialAttempt, "attempt 1 failed");
  reporter.Record(Activity::kRedialSucceeded, "attempt 2");
  reporter.Record(Activity::kConnected, "Office, address 10.0.0.9");
  reporter.Record(Activity::kConnected, "Office, address 10.0.0.9");  // no redial before it
  reporter.Record(Activity::kAddressChanged, "10.0.0.7 -> 10.0.0.9");
  reporter.Record(Activity::kStepFailed, "step 2 (FTP): refused");
  reporter.Record(Activity::kRetryLimit, "after 3 attempts");
  EXPECT_EQ(notices.shown, (std::vector<std::string>{
                               "Connection dropped | Office, redialing",
                               "Redial succeeded | Office, address 10.0.0.9",
                               "Address changed | 10.0.0.7 -> 10.0.0.9",
                               "Notification step failed | step 2 (FTP): refused",
                               "Redial stopped | after 3 attempts",
                           }));
  EXPECT_TRUE(files.files.empty());

  // One kind off, then all off.
  notices.shown.clear();
  s.noticeipchange = false;
  reporter.Record(Activity::kAddressChanged, "a");
  reporter.Record(Activity::kDropped, "b");
  s.notices = false;
  reporter.Record(Activity::kDropped, "c");
  reporter.Record(Activity::kStepFailed, "d");
  EXPECT_EQ(notices.shown, (std::vector<std::string>{"Connection dropped | b"}));
}

}  // namespace
}  // namespace tarnwick
