#include "app/settings_store.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <optional>

#include "app/error.h"
#include "app/memory_registry.h"
#include "support/message_box_recorder.h"

namespace tarnwick {
namespace {

using ::testing::ElementsAre;
using ::testing::ElementsAreArray;
using testing::MessageBoxRecorder;

std::string Bytes(std::initializer_list<unsigned char> bytes) {
  return std::string(bytes.begin(), bytes.end());
}

Settings Defaults() {
  Settings settings;
  SetDefaultSettings(settings);
  return settings;
}

// The value-related entries of the log ("read x", "write x"), without opens.
std::vector<std::string> ValueOps(const std::vector<std::string>& log, const std::string& verb) {
  std::vector<std::string> names;
  for (const auto& entry : log) {
    if (entry.rfind(verb + " ", 0) == 0) names.push_back(entry.substr(verb.size() + 1));
  }
  return names;
}

Notif EmailStep() {
  Notif n;
  n.NotifyMethod = kNotifyEmail;
  n.emailNotifr = {"me@example.com", "you@example.com", "New IP <IPADDRESS>", "Body", "", "r@x", 3};
  return n;
}

Notif FtpStep() {
  Notif n;
  n.NotifyMethod = kNotifyFtp;
  n.FTPNotifr = {"ftp.example.com", "/www/ip.html", "<html><IPADDRESS></html>", 2121, "u", "p",
                 1, 1};
  return n;
}

Notif LaunchStep() {
  Notif n;
  n.NotifyMethod = kNotifyLaunch;
  n.LaunchNotifr = {"C:\\tools\\notify.exe", "-ip <IPADDRESS>"};
  return n;
}

Notif SleepStep(int seconds) {
  Notif n;
  n.NotifyMethod = kNotifySleep;
  n.sseconds = seconds;
  return n;
}

// A tree of every kind of value away from the defaults.
Settings Customised() {
  Settings s = Defaults();
  s.AutoStart = false;
  s.Reconnect = true;
  s.conname = "My ISP";
  s.redelay = 30;
  s.maxretries = -1;
  s.MonitorIP = true;
  s.usesmtp = true;
  s.SMTPServer = "mail.example.com";
  s.SMTPPort = 587;
  s.SMTPSecurity = 1;
  s.SMTPUser = "mu";
  s.SMTPPass = "mp";
  s.usestartdelay = true;
  s.startdelay = 12;
  s.loggingenabled = true;
  s.logfile = "C:\\log.txt";
  s.lastip = "10.1.2.3";
  s.kaMethod = 2;
  s.kaPingHost = "ping.example.com";
  s.kaPingInterval = 7;
  s.kaWebSite = "http://www.example.com/";
  s.kaWebInterval = 9;
  s.proxyname = "proxy";
  s.proxyport = 3128;
  s.proxyuser = "pu";
  s.proxypass = "pp";
  s.schedenabled = true;
  s.resdelay = 60;
  s.maxsretries = 4;
  s.connuser = "cu";
  s.connpass = "cp";
  s.schedtime = 0.75;
  s.weekdays = {2, 4, 6};
  s.notifs = {EmailStep(), FtpStep(), LaunchStep(), SleepStep(45)};
  s.Main = {1, 500, 600, 70, 80};
  return s;
}

TEST(SettingsStore, FirstSaveWritesTheDefaultTreeWithExactTypesAndBytes) {
  MemoryRegistry reg;
  SaveSettings(Defaults(), reg);

  const std::string product = kProductKey;
  EXPECT_THAT(reg.ValueNames(product),
              ElementsAre("version", "AutoStart", "Reconnect", "conname", "redelay", "maxretries",
                          "MonitorIP", "usesmtp", "SMTPServer", "SMTPPort", "SMTPSecurity",
                          "SMTPUser", "SMTPPass", "usestartdelay", "startdelay", "Notifcnt", "loggingenabled", "logfile", "lastip", "kaMethod",
                          "kaPingHost", "kaPingInterval", "kaWebSite", "kaWebInterval",
                          "proxyname", "proxyport", "proxyuser", "proxypass", "schedenabled",
                          "resdelay", "maxsretries", "connuser", "connpass", "schedwdaynum",
                          "scheddays", "schedtime", "notices", "noticedrop", "noticeredial", "noticeretries", "noticestepfail", "noticeipchange"));
  auto get = [&](const char* name) { return *reg.Get(product, name); };
  EXPECT_EQ(get("version"),
            (RegistryValue{kRegBinary, Bytes({0x9A, 0x99, 0x99, 0x99, 0x99, 0x99, 0xF1, 0x3F})}));
  EXPECT_EQ(get("schedtime"),
            (RegistryValue{kRegBinary, Bytes({0x55, 0x55, 0x55, 0x55, 0x55, 0x55, 0xD5, 0x3F})}));
  EXPECT_EQ(get("AutoStart"), RegDword(1));
  EXPECT_EQ(get("Reconnect"), RegDword(0));
  EXPECT_EQ(get("conname"), (RegistryValue{kRegSz, std::string(1, '\0')}));
  EXPECT_EQ(get("redelay"), RegDword(90));
  EXPECT_EQ(get("maxretries"), RegDword(20));
  EXPECT_EQ(get("startdelay"), RegDword(45));
  EXPECT_EQ(get("Notifcnt"), RegDword(0));
  EXPECT_EQ(get("lastip"), RegText("192.168.0.1"));
  EXPECT_EQ(get("kaPingInterval"), RegDword(5));
  EXPECT_EQ(get("kaWebInterval"), RegDword(5));
  EXPECT_EQ(get("proxyport"), RegDword(8080));
  EXPECT_EQ(get("SMTPPort"), RegDword(25));
  EXPECT_EQ(get("SMTPSecurity"), RegDword(0));
  EXPECT_EQ(get("resdelay"), RegDword(90));
  EXPECT_EQ(get("maxsretries"), RegDword(20));
  EXPECT_EQ(get("schedwdaynum"), RegDword(0));
  EXPECT_EQ(get("scheddays"), RegText(""));

  EXPECT_THAT(reg.ValueNames(kMainKey), ElementsAre("Status", "Height", "Width", "Left", "Top"));
  std::vector<RegistryValue> main;
  for (const char* name : {"Status", "Height", "Width", "Left", "Top"}) {
    main.push_back(*reg.Get(kMainKey, name));
  }
  EXPECT_THAT(main,
              ElementsAre(RegDword(0), RegDword(385), RegDword(440), RegDword(50), RegDword(50)));
  for (const auto& path : reg.KeyPaths()) {
    EXPECT_EQ(path.find("Notif"), std::string::npos) << path;
  }
}

TEST(SettingsStore, SaveAndLoadFollowTheirOrders) {
  Settings s = Customised();
  s.notifs = {EmailStep(), SleepStep(5)};
  MemoryRegistry reg;
  SaveSettings(s, reg);
  EXPECT_THAT(ValueOps(reg.log, "open"),
              ElementsAre(kProductKey, NotifKeyPath(1), NotifKeyPath(2), kProductKey, kMainKey));
  EXPECT_THAT(ValueOps(reg.log, "write"),
              ElementsAreArray(std::vector<std::string>{
                  "version", "AutoStart", "Reconnect", "conname", "redelay", "maxretries",
                  "MonitorIP", "usesmtp", "SMTPServer", "SMTPPort", "SMTPSecurity", "SMTPUser",
                  "SMTPPass", "usestartdelay", "startdelay", "Notifcnt",
                  "NotifyMethod", "eFrom", "ETo", "esubject", "emessage", "emailUser",
                  "ReplyToAddress", "maxretries", "NotifyMethod", "sseconds", "loggingenabled",
                  "logfile", "lastip", "kaMethod", "kaPingHost", "kaPingInterval", "kaWebSite",
                  "kaWebInterval", "proxyname", "proxyport", "proxyuser", "proxypass",
                  "schedenabled", "resdelay", "maxsretries", "connuser", "connpass",
                  "schedwdaynum", "scheddays", "schedtime", "notices", "noticedrop", "noticeredial", "noticeretries", "noticestepfail", "noticeipchange", "Status", "Height",
                  "Width", "Left", "Top"}));

  reg.log.clear();
  Settings loaded = Defaults();
  EXPECT_TRUE(LoadSettings(loaded, reg).complete());
  EXPECT_THAT(ValueOps(reg.log, "read"),
              ElementsAreArray(std::vector<std::string>{
                  "version", "AutoStart", "Reconnect", "conname", "notifcnt", "SMTPServer",
                  "usestartdelay", "startdelay", "usesmtp", "NotifyMethod", "eFrom", "ETo",
                  "esubject", "emessage", "ReplyToAddress", "maxretries", "NotifyMethod",
                  "sseconds", "redelay", "maxretries", "MonitorIP", "loggingenabled", "logfile",
                  "kaMethod", "kaPingHost", "kaPingInterval", "kaWebSite", "kaWebInterval",
                  "proxyname", "proxyport", "proxyuser", "proxypass", "schedenabled",
                  "schedwdaynum", "scheddays", "schedtime", "resdelay", "maxsretries", "connuser",
                  "connpass", "lastip", "Status", "Height", "Width", "Left", "Top", "notices",
                  "noticedrop", "noticeredial", "noticeretries", "noticestepfail", "noticeipchange",
                  "SMTPPort", "SMTPSecurity", "SMTPUser", "SMTPPass"}));
}

TEST(SettingsStore, EveryValueAndEveryKindOfStepRoundTrips) {
  const Settings saved = Customised();
  MemoryRegistry reg;
  SaveSettings(saved, reg);
  MessageBoxRecorder boxes;
  Settings loaded = Defaults();
  EXPECT_TRUE(LoadSettings(loaded, reg).complete());
  // emailUser is written but never read back; nothing fills it anyway.
  EXPECT_EQ(loaded, saved);
  EXPECT_TRUE(boxes.boxes.empty());
}

TEST(SettingsStore, OnlyTheFieldsOfAStepsKindAreStored) {
  Settings s = Defaults();
  Notif launch = LaunchStep();
  launch.emailNotifr.ETo = "stale@example.com";  // left on the editor's other page
  s.notifs = {launch};
  MemoryRegistry reg;
  SaveSettings(s, reg);
  EXPECT_THAT(reg.ValueNames(NotifKeyPath(1)), ElementsAre("NotifyMethod", "LnchApp", "LnchParam"));
}

TEST(SettingsStore, AnUnknownKindLoadsEmptyAndIsWrittenBackAlone) {
  MemoryRegistry reg;
  Settings s = Defaults();
  s.notifs = {EmailStep()};
  SaveSettings(s, reg);
  reg.Set(NotifKeyPath(1), "NotifyMethod", RegDword(7));

  Settings loaded = Defaults();
  EXPECT_TRUE(LoadSettings(loaded, reg).complete());
  ASSERT_EQ(loaded.notifs.size(), 1u);
  Notif expected;
  expected.NotifyMethod = 7;
  EXPECT_EQ(loaded.notifs[0], expected);

  MemoryRegistry fresh;
  SaveSettings(loaded, fresh);
  EXPECT_THAT(fresh.ValueNames(NotifKeyPath(1)), ElementsAre("NotifyMethod"));
  EXPECT_EQ(*fresh.Get(NotifKeyPath(1), "NotifyMethod"), RegDword(7));
}

TEST(SettingsStore, KindCodesKeepTheirLowEightBits) {
  MemoryRegistry reg;
  SaveSettings(Defaults(), reg);
  reg.Set(kProductKey, "Notifcnt", RegDword(1));
  reg.Set(NotifKeyPath(1), "NotifyMethod", RegDword(0x103));  // low byte 3: sleep
  reg.Set(NotifKeyPath(1), "sseconds", RegDword(12));
  reg.Set(kProductKey, "kaMethod", RegDword(0x201));
  Settings loaded = Defaults();
  LoadSettings(loaded, reg);
  EXPECT_EQ(loaded.notifs.at(0).NotifyMethod, kNotifySleep);
  EXPECT_EQ(loaded.notifs.at(0).sseconds, 12);
  EXPECT_EQ(loaded.kaMethod, 1);
}

TEST(SettingsStore, SubkeysAboveTheCountAreLeftAloneAndRewrittenWhenTheCountGrows) {
  MemoryRegistry reg;
  Settings s = Defaults();
  s.notifs = {EmailStep(), FtpStep(), SleepStep(9)};
  SaveSettings(s, reg);

  s.notifs.resize(1);
  SaveSettings(s, reg);
  EXPECT_EQ(*reg.Get(kProductKey, "Notifcnt"), RegDword(1));
  EXPECT_TRUE(reg.Get(NotifKeyPath(3), "sseconds"));  // still there

  reg.log.clear();
  Settings loaded = Defaults();
  LoadSettings(loaded, reg);
  EXPECT_EQ(loaded.notifs.size(), 1u);
  EXPECT_EQ(std::count(reg.log.begin(), reg.log.end(), "open " + NotifKeyPath(2)), 0);

  s.notifs = {EmailStep(), LaunchStep(), LaunchStep()};
  SaveSettings(s, reg);
  EXPECT_EQ(*reg.Get(NotifKeyPath(3), "NotifyMethod"), RegDword(kNotifyLaunch));
  EXPECT_EQ(*reg.Get(NotifKeyPath(3), "LnchApp"), RegText("C:\\tools\\notify.exe"));
}

TEST(SettingsStore, OldLayoutsLoadNoStepCountsAndStoredVersionsKeepThem) {
  Settings s = Defaults();
  s.notifs = {EmailStep(), SleepStep(45)};
  MemoryRegistry reg;
  SaveSettings(s, reg);

  Settings loaded = Defaults();
  LoadSettings(loaded, reg);
  EXPECT_EQ(loaded.notifs[0].emailNotifr.maxretries, 3);
  EXPECT_EQ(loaded.notifs[1].sseconds, 45);

  reg.Set(kProductKey, "version", RegDouble(1.0));
  loaded = Defaults();
  EXPECT_TRUE(LoadSettings(loaded, reg).complete());
  EXPECT_EQ(loaded.notifs[0].emailNotifr.maxretries, 0);
  EXPECT_EQ(loaded.notifs[1].sseconds, 0);
  EXPECT_EQ(loaded.notifs[0].emailNotifr.ETo, "you@example.com");
}

// A version that is missing or of the wrong type says nothing about the layout:
// the step counts the tree holds are read, so the save that follows keeps them.
TEST(SettingsStore, AnUnreadableVersionKeepsTheStepCountsTheTreeHolds) {
  const std::pair<const char*, std::optional<RegistryValue>> versions[] = {
      {"missing", std::nullopt},
      {"a number", RegDword(1)},
      {"text", RegText("1.1")},
  };
  for (const auto& [what, version] : versions) {
    Settings s = Defaults();
    s.notifs = {EmailStep(), SleepStep(45), SleepStep(30)};
    MemoryRegistry reg;
    SaveSettings(s, reg);
    reg.Remove(kProductKey, "version");
    if (version) reg.Set(kProductKey, "version", *version);
    reg.Remove(NotifKeyPath(3), "sseconds");  // a step an older layout wrote

    MessageBoxRecorder boxes;
    Settings loaded = Defaults();
    EXPECT_FALSE(LoadSettings(loaded, reg).complete()) << what;
    ASSERT_EQ(boxes.boxes.size(), 1u) << what;
    EXPECT_EQ(boxes.boxes[0].text, "Error retrieving version number.");
    EXPECT_EQ(boxes.boxes[0].icon, BoxIcon::Warning);
    EXPECT_EQ(boxes.boxes[0].buttons, BoxButtons::Ok);
    EXPECT_EQ(loaded.notifs[0].emailNotifr.maxretries, 3) << what;
    EXPECT_EQ(loaded.notifs[1].sseconds, 45) << what;
    EXPECT_EQ(loaded.notifs[2].sseconds, 0) << what;

    SaveSettings(loaded, reg);
    EXPECT_EQ(reg.Get(NotifKeyPath(1), "maxretries"), RegDword(3)) << what;
    EXPECT_EQ(reg.Get(NotifKeyPath(2), "sseconds"), RegDword(45)) << what;
  }
}

// Every value of the product key, of Main and of the step subkeys, by path and name.
std::map<std::string, RegistryValue> Values(const MemoryRegistry& reg) {
  std::map<std::string, RegistryValue> values;
  for (const auto& path : reg.KeyPaths()) {
    for (const auto& name : reg.ValueNames(path)) values[path + "|" + name] = *reg.Get(path, name);
  }
  return values;
}

// A damaged count must neither stop the program (an allocation of that many
// entries) nor grow the tree (a key per count): the load reads what is stored,
// creates nothing, and the save that follows writes the counts of what it read.
TEST(SettingsStore, DamagedCountsLoadWhatIsStoredAndCreateNothing) {
  struct Case {
    const char* value;
    int32_t count;
  };
  const Case cases[] = {
      {"Notifcnt", 0x7FFFFFFF}, {"Notifcnt", 100000}, {"Notifcnt", 5},
      {"schedwdaynum", 0x7FFFFFFF}, {"schedwdaynum", 8},
  };
  for (const Case& c : cases) {
    Settings stored = Customised();
    stored.notifs = {EmailStep(), FtpStep()};
    stored.weekdays = {2, 4, 6};
    MemoryRegistry reg;
    SaveSettings(stored, reg);
    const auto before = Values(reg);
    const auto keys = reg.KeyPaths();
    reg.Set(kProductKey, c.value, RegDword(c.count));

    MessageBoxRecorder boxes;
    Settings loaded = Defaults();
    EXPECT_FALSE(LoadSettings(loaded, reg).complete()) << c.value << " " << c.count;
    EXPECT_EQ(loaded, stored) << c.value << " " << c.count;
    EXPECT_EQ(reg.KeyPaths(), keys) << c.value << " " << c.count;
    EXPECT_TRUE(boxes.boxes.empty()) << c.value << " " << c.count;

    SaveSettings(loaded, reg);
    EXPECT_EQ(Values(reg), before) << c.value << " " << c.count;
  }
}

TEST(SettingsStore, WeekdaysAreStoredAsCommaSeparatedDigits) {
  Settings s = Defaults();
  s.weekdays = {1, 7};
  MemoryRegistry reg;
  SaveSettings(s, reg);
  EXPECT_EQ(*reg.Get(kProductKey, "schedwdaynum"), RegDword(2));
  EXPECT_EQ(*reg.Get(kProductKey, "scheddays"), RegText("1,7"));
}

TEST(SettingsStore, UndecodableWeekdaysWarnOnceAndStayZero) {
  MemoryRegistry reg;
  SaveSettings(Defaults(), reg);
  reg.Set(kProductKey, "schedwdaynum", RegDword(3));
  reg.Set(kProductKey, "scheddays", RegText("1,7"));
  MessageBoxRecorder boxes;
  Settings loaded = Defaults();
  LoadSettings(loaded, reg);
  EXPECT_THAT(loaded.weekdays, ElementsAre(1, 7, 0));
  EXPECT_THAT(boxes.texts(), ElementsAre("Error reading weekday string"));

  // Several bad entries still give one warning; only single digits count.
  reg.Set(kProductKey, "schedwdaynum", RegDword(4));
  reg.Set(kProductKey, "scheddays", RegText("x,12,3"));
  boxes.boxes.clear();
  loaded = Defaults();
  LoadSettings(loaded, reg);
  EXPECT_THAT(loaded.weekdays, ElementsAre(0, 1, 0, 0));
  EXPECT_EQ(boxes.boxes.size(), 1u);
}

TEST(SettingsStore, MissingTextLoadsAsEmptyText) {
  Settings s = Customised();
  MemoryRegistry reg;
  SaveSettings(s, reg);
  reg.Remove(kProductKey, "conname");
  Settings loaded = Defaults();
  loaded.conname = "something";
  LoadSettings(loaded, reg);
  EXPECT_EQ(loaded.conname, "");
  EXPECT_EQ(loaded.SMTPServer, "mail.example.com");
}

TEST(SettingsStore, ATreeWithoutWebIntervalLoadsTheDefault) {
  Settings s = Customised();
  MemoryRegistry reg;
  SaveSettings(s, reg);
  Settings loaded = Defaults();
  LoadSettings(loaded, reg);
  EXPECT_EQ(loaded.kaWebInterval, 9);  // read back where the save writes it

  reg.Remove(kProductKey, "kaWebInterval");
  loaded = Defaults();
  LoadSettings(loaded, reg);
  EXPECT_EQ(loaded.kaWebInterval, 5);
  EXPECT_EQ(loaded.proxyname, "proxy");  // the values after it are still read
}

// An older layout: no `startdelay`, and a second step without `FTPPort`. Nothing
// stored may be lost: every value after the gaps is still read, and the save
// that completes the tree writes those values back unchanged.
TEST(SettingsStore, AnOlderLayoutLosesNothingAndTheSaveCompletesIt) {
  const Settings original = Customised();
  MemoryRegistry reg;
  SaveSettings(original, reg);
  reg.Remove(kProductKey, "startdelay");
  reg.Remove(NotifKeyPath(2), "FTPPort");
  reg.Set(kProductKey, "redelay", RegText("30"));  // wrong type

  Settings loaded = Defaults();
  const LoadReport report = LoadSettings(loaded, reg);
  EXPECT_THAT(report.problems, ElementsAre("Failed to get data for 'startdelay'",
                                           "Failed to get data for 'FTPPort'",
                                           "Invalid data type for 'redelay'"));
  Settings expected = original;
  expected.startdelay = 45;
  expected.redelay = 90;
  expected.notifs[1].FTPNotifr.FTPPort = 21;
  EXPECT_EQ(loaded, expected);

  SaveSettings(loaded, reg);
  Settings reloaded = Defaults();
  EXPECT_TRUE(LoadSettings(reloaded, reg).complete());
  EXPECT_EQ(reloaded, expected);
}

// A tree saved before the mail submission and FTP mode values existed: no complaint, the
// defaults (the plain port-25 conversation), and nothing else touched.
TEST(SettingsStore, ATreeWithoutTheSubmissionAndFtpModeValuesLoadsQuietlyWithTheirDefaults) {
  const Settings original = Customised();
  MemoryRegistry reg;
  SaveSettings(original, reg);
  for (const char* name : {"SMTPPort", "SMTPSecurity", "SMTPUser", "SMTPPass"}) {
    reg.Remove(kProductKey, name);
  }
  reg.Remove(NotifKeyPath(2), "FTPPassive");
  reg.Remove(NotifKeyPath(2), "FTPSecure");
  Settings loaded = Defaults();
  loaded.SMTPUser = "stale";
  EXPECT_TRUE(LoadSettings(loaded, reg).complete());
  Settings expected = original;
  expected.SMTPPort = 25;
  expected.SMTPSecurity = 0;
  expected.SMTPUser = "";
  expected.SMTPPass = "";
  expected.notifs[1].FTPNotifr.FTPPassive = 0;
  expected.notifs[1].FTPNotifr.FTPSecure = 0;
  EXPECT_EQ(loaded, expected);
}

TEST(SettingsStore, AStepWhoseKindCannotBeReadKeepsItsStoredValues) {
  Settings s = Defaults();
  s.notifs = {EmailStep(), FtpStep()};
  MemoryRegistry reg;
  SaveSettings(s, reg);
  reg.Remove(NotifKeyPath(1), "NotifyMethod");

  Settings loaded = Defaults();
  EXPECT_FALSE(LoadSettings(loaded, reg).complete());
  EXPECT_NE(loaded.notifs[0].NotifyMethod, kNotifyEmail);
  EXPECT_EQ(loaded.notifs[1], FtpStep());
  SaveSettings(loaded, reg);
  EXPECT_EQ(*reg.Get(NotifKeyPath(1), "ETo"), RegText("you@example.com"));
}

TEST(SettingsStore, AFailedWriteNamesTheValueAndStopsTheSave) {
  MemoryRegistry reg;
  reg.FailWritesOf("usesmtp");
  try {
    SaveSettings(Defaults(), reg);
    FAIL() << "no error";
  } catch (const Error& e) {
    EXPECT_STREQ(e.what(), "Failed to set data for 'usesmtp'");
  }
  EXPECT_TRUE(reg.Get(kProductKey, "MonitorIP"));
  EXPECT_FALSE(reg.Get(kProductKey, "SMTPServer"));

  MemoryRegistry denied;
  denied.DenyKey(kMainKey);
  EXPECT_THROW(SaveSettings(Defaults(), denied), Error);
}

}  // namespace
}  // namespace tarnwick
