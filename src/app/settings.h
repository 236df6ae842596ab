#pragma once
// The settings: one record with a field per stored value, named like the value.
// The notification list and the weekday list carry their own counts (`Notifcnt`
// and `schedwdaynum` in the registry are their sizes).
#include <cstdint>
#include <string>
#include <vector>

namespace tarnwick {

// Kind codes of a notification step; any other code is a step that a run passes over.
enum NotifyKind : uint8_t {
  kNotifyEmail = 0,
  kNotifyFtp = 1,
  kNotifyLaunch = 2,
  kNotifySleep = 3,
};

struct EmailNotif {
  std::string eFrom;
  std::string ETo;
  std::string esubject;
  std::string emessage;
  std::string emailUser;  // stored with e-mail steps, never read back
  std::string ReplyToAddress;
  int32_t maxretries = 0;
  bool operator==(const EmailNotif&) const = default;
};

struct FtpNotif {
  std::string FTPServer;
  std::string FTPPath;
  std::string FTPHTML;
  int32_t FTPPort = 21;
  std::string FTPUser;
  std::string FTPPass;
  int32_t FTPPassive = 0;  // 1: EPSV/PASV instead of PORT
  int32_t FTPSecure = 0;   // 1: explicit TLS (AUTH TLS, PROT P)
  bool operator==(const FtpNotif&) const = default;
};

struct LaunchNotif {
  std::string LnchApp;
  std::string LnchParam;
  bool operator==(const LaunchNotif&) const = default;
};

// One step of the notification script; only the fields of its own kind are run and stored.
struct Notif {
  uint8_t NotifyMethod = kNotifyEmail;
  EmailNotif emailNotifr;
  FtpNotif FTPNotifr;
  LaunchNotif LaunchNotifr;
  int32_t sseconds = 0;
  bool operator==(const Notif&) const = default;
};

// Layout version that every save writes.
inline constexpr double kSettingsVersion = 1.1;

// The main window's stored state; Settings() puts it to its defaults.
struct WindowGeometry {
  int32_t Status{};  // 1: maximized when last closed
  int32_t Height{};
  int32_t Width{};
  int32_t Left{};
  int32_t Top{};
  bool operator==(const WindowGeometry&) const = default;
};

// The defaults of the stored values are in the settings table (settings_table.cpp).
struct Settings {
  Settings();  // every value at its default, both lists empty

  double version{};
  bool AutoStart{};
  bool Reconnect{};
  std::string conname;
  int32_t redelay{};
  int32_t maxretries{};
  bool MonitorIP{};
  bool usesmtp{};
  std::string SMTPServer;
  int32_t SMTPPort{};
  int32_t SMTPSecurity{};  // 0 none, 1 STARTTLS, 2 TLS from the start
  std::string SMTPUser;
  std::string SMTPPass;
  bool usestartdelay{};
  int32_t startdelay{};
  bool loggingenabled{};
  std::string logfile;
  std::string lastip;
  uint8_t kaMethod{};  // 0 none, 1 ping, 2 web page
  std::string kaPingHost;
  int32_t kaPingInterval{};
  std::string kaWebSite;
  int32_t kaWebInterval{};
  std::string proxyname;
  int32_t proxyport{};
  std::string proxyuser;
  std::string proxypass;
  bool schedenabled{};
  int32_t resdelay{};
  int32_t maxsretries{};
  std::string connuser;
  std::string connpass;
  double schedtime{};  // time of day as a fraction of a day
  // Tray notices: `notices` off silences them all; each kind has its own switch.
  bool notices{};
  bool noticedrop{};       // the line dropped (and is being redialed)
  bool noticeredial{};     // a redial connected, with the new address
  bool noticeretries{};    // the redial gave up at the retry limit
  bool noticestepfail{};   // a step of the notification script failed
  bool noticeipchange{};   // the address changed

  std::vector<Notif> notifs;      // the notification list; position n is notifs[n - 1]
  std::vector<int32_t> weekdays;  // the scheduler's weekday list, 1 Sunday .. 7 Saturday

  WindowGeometry Main;

  bool operator==(const Settings&) const = default;
};

// Puts every setting to its default. The notification and weekday lists are
// emptied: a fresh start has neither.
void SetDefaultSettings(Settings& settings);

// The weekday list as stored in `scheddays`: the numbers joined by "," (2,4,6).
std::string FormatWeekdays(const std::vector<int32_t>& weekdays);

}  // namespace tarnwick
