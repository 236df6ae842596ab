#include "app/settings_store.h"

#include <memory>

#include "app/error.h"
#include "app/message_box.h"

namespace tarnwick {
namespace {

// Layouts older than this stored no per-step `maxretries` and `sseconds`.
constexpr double kFirstVersionWithStepCounts = 1.01;

// The kind given to a step whose kind code cannot be read: a run passes over it
// and a save writes back only its kind, leaving the other stored values alone.
constexpr uint8_t kUnknownKind = 0xFF;

std::string Quoted(const std::string& name) { return "'" + name + "'"; }

class Reader {
 public:
  Reader(RegistryStore& registry, LoadReport& report) : registry_(registry), report_(report) {}

  void Open(const std::string& path) { key_ = registry_.Open(path, true, RegAccess::kAll); }

  // Each Read* leaves `out` unchanged when the value is missing or of the wrong
  // type, records the problem and returns false.
  bool Text(const char* name, std::string& out) {
    auto value = Get(name);
    if (!value) {
      out.clear();  // a missing text reads as empty text
      return false;
    }
    auto text = AsText(*value);
    if (!text) return WrongType(name);
    out = *text;
    return true;
  }

  bool Integer(const char* name, int32_t& out) {
    auto value = Get(name);
    if (!value) return false;
    auto number = AsDword(*value);
    if (!number) return WrongType(name);
    out = *number;
    return true;
  }

  bool Byte(const char* name, uint8_t& out) {
    int32_t number = 0;
    if (!Integer(name, number)) return false;
    out = static_cast<uint8_t>(number & 0xFF);
    return true;
  }

  bool Boolean(const char* name, bool& out) {
    int32_t number = 0;
    if (!Integer(name, number)) return false;
    out = number != 0;
    return true;
  }

  bool Real(const char* name, double& out) {
    auto value = Get(name);
    if (!value) return false;
    auto number = AsDouble(*value);
    if (!number) return WrongType(name);
    out = *number;
    return true;
  }

 private:
  std::optional<RegistryValue> Get(const char* name) {
    std::optional<RegistryValue> value;
    if (key_) value = key_->Read(name);
    if (!value) report_.problems.push_back("Failed to get data for " + Quoted(name));
    return value;
  }

  bool WrongType(const char* name) {
    report_.problems.push_back("Invalid data type for " + Quoted(name));
    return false;
  }

  RegistryStore& registry_;
  LoadReport& report_;
  std::unique_ptr<RegistryKey> key_;
};

void ReadNotif(Reader& reader, Notif& notif, bool has_step_counts) {
  if (!reader.Byte("NotifyMethod", notif.NotifyMethod)) {
    notif.NotifyMethod = kUnknownKind;
    return;
  }
  switch (notif.NotifyMethod) {
    case kNotifyEmail: {
      EmailNotif& e = notif.emailNotifr;
      reader.Text("eFrom", e.eFrom);
      reader.Text("ETo", e.ETo);
      reader.Text("esubject", e.esubject);
      reader.Text("emessage", e.emessage);
      reader.Text("ReplyToAddress", e.ReplyToAddress);
      if (has_step_counts) reader.Integer("maxretries", e.maxretries);
      break;
    }
    case kNotifyFtp: {
      FtpNotif& f = notif.FTPNotifr;
      reader.Text("FTPServer", f.FTPServer);
      reader.Text("FTPPath", f.FTPPath);
      reader.Text("FTPHTML", f.FTPHTML);
      reader.Integer("FTPPort", f.FTPPort);
      reader.Text("FTPUser", f.FTPUser);
      reader.Text("FTPPass", f.FTPPass);
      break;
    }
    case kNotifyLaunch:
      reader.Text("LnchApp", notif.LaunchNotifr.LnchApp);
      reader.Text("LnchParam", notif.LaunchNotifr.LnchParam);
      break;
    case kNotifySleep:
      if (has_step_counts) reader.Integer("sseconds", notif.sseconds);
      break;
    default:
      break;
  }
  if (!has_step_counts) {
    notif.emailNotifr.maxretries = 0;
    notif.sseconds = 0;
  }
}

// `scheddays` holds single-digit weekday numbers separated by one character each.
// An entry that cannot be decoded stays 0; the warning is shown once per load.
void DecodeWeekdays(const std::string& text, int32_t count, std::vector<int32_t>& weekdays) {
  weekdays.assign(count > 0 ? count : 0, 0);
  bool warned = false;
  for (size_t p = 1; p <= weekdays.size(); ++p) {
    const size_t index = 2 * p - 2;
    if (index < text.size() && text[index] >= '0' && text[index] <= '9') {
      weekdays[p - 1] = text[index] - '0';
    } else if (!warned) {
      ShowWarning("Error reading weekday string");
      warned = true;
    }
  }
}

class Writer {
 public:
  explicit Writer(RegistryStore& registry) : registry_(registry) {}

  void Open(const std::string& path) { key_ = registry_.Open(path, true, RegAccess::kAll); }

  void Text(const char* name, const std::string& text) { Put(name, RegText(text)); }
  void Integer(const char* name, int32_t value) { Put(name, RegDword(value)); }
  void Boolean(const char* name, bool value) { Put(name, RegDword(value ? 1 : 0)); }
  void Real(const char* name, double value) { Put(name, RegDouble(value)); }

 private:
  void Put(const char* name, const RegistryValue& value) {
    if (!key_ || key_->Write(name, value) != kRegOk) {
      throw Error("Failed to set data for " + Quoted(name));
    }
  }

  RegistryStore& registry_;
  std::unique_ptr<RegistryKey> key_;
};

void WriteNotif(Writer& writer, const Notif& notif) {
  writer.Integer("NotifyMethod", notif.NotifyMethod);
  switch (notif.NotifyMethod) {
    case kNotifyEmail: {
      const EmailNotif& e = notif.emailNotifr;
      writer.Text("eFrom", e.eFrom);
      writer.Text("ETo", e.ETo);
      writer.Text("esubject", e.esubject);
      writer.Text("emessage", e.emessage);
      writer.Text("emailUser", e.emailUser);
      writer.Text("ReplyToAddress", e.ReplyToAddress);
      writer.Integer("maxretries", e.maxretries);
      break;
    }
    case kNotifyFtp: {
      const FtpNotif& f = notif.FTPNotifr;
      writer.Text("FTPServer", f.FTPServer);
      writer.Text("FTPPath", f.FTPPath);
      writer.Text("FTPHTML", f.FTPHTML);
      writer.Integer("FTPPort", f.FTPPort);
      writer.Text("FTPUser", f.FTPUser);
      writer.Text("FTPPass", f.FTPPass);
      break;
    }
    case kNotifyLaunch:
      writer.Text("LnchApp", notif.LaunchNotifr.LnchApp);
      writer.Text("LnchParam", notif.LaunchNotifr.LnchParam);
      break;
    case kNotifySleep:
      writer.Integer("sseconds", notif.sseconds);
      break;
    default:
      break;
  }
}

}  // namespace

std::string NotifKeyPath(int position) {
  return std::string(kProductKey) + "\\Notif" + std::to_string(position);
}

LoadReport LoadSettings(Settings& s, RegistryStore& registry) {
  LoadReport report;
  Reader reader(registry, report);
  reader.Open(kProductKey);

  if (!reader.Real("version", s.version)) {
    ShowWarning("Error retrieving version number.");
    s.version = 0;
  }
  const bool has_step_counts = s.version >= kFirstVersionWithStepCounts;

  reader.Boolean("AutoStart", s.AutoStart);
  reader.Boolean("Reconnect", s.Reconnect);
  reader.Text("conname", s.conname);
  int32_t count = 0;
  reader.Integer("notifcnt", count);
  s.notifs.assign(count > 0 ? count : 0, Notif{});
  reader.Text("SMTPServer", s.SMTPServer);
  reader.Boolean("usestartdelay", s.usestartdelay);
  reader.Integer("startdelay", s.startdelay);
  reader.Boolean("usesmtp", s.usesmtp);

  for (size_t n = 1; n <= s.notifs.size(); ++n) {
    reader.Open(NotifKeyPath(static_cast<int>(n)));
    ReadNotif(reader, s.notifs[n - 1], has_step_counts);
  }

  if (!s.notifs.empty()) reader.Open(kProductKey);
  reader.Integer("redelay", s.redelay);
  reader.Integer("maxretries", s.maxretries);
  reader.Boolean("MonitorIP", s.MonitorIP);
  reader.Boolean("loggingenabled", s.loggingenabled);
  reader.Text("logfile", s.logfile);
  reader.Byte("kaMethod", s.kaMethod);
  reader.Text("kaPingHost", s.kaPingHost);
  reader.Integer("kaPingInterval", s.kaPingInterval);
  reader.Text("kaWebSite", s.kaWebSite);
  reader.Integer("kaWebInterval", s.kaWebInterval);
  reader.Text("proxyname", s.proxyname);
  reader.Integer("proxyport", s.proxyport);
  reader.Text("proxyuser", s.proxyuser);
  reader.Text("proxypass", s.proxypass);
  reader.Boolean("schedenabled", s.schedenabled);
  int32_t weekday_count = 0;
  reader.Integer("schedwdaynum", weekday_count);
  std::string scheddays;
  reader.Text("scheddays", scheddays);
  reader.Real("schedtime", s.schedtime);
  reader.Integer("resdelay", s.resdelay);
  reader.Integer("maxsretries", s.maxsretries);
  reader.Text("connuser", s.connuser);
  reader.Text("connpass", s.connpass);
  reader.Text("lastip", s.lastip);

  DecodeWeekdays(scheddays, weekday_count, s.weekdays);

  reader.Open(kMainKey);
  reader.Integer("Status", s.Main.Status);
  reader.Integer("Height", s.Main.Height);
  reader.Integer("Width", s.Main.Width);
  reader.Integer("Left", s.Main.Left);
  reader.Integer("Top", s.Main.Top);
  return report;
}

void SaveSettings(const Settings& s, RegistryStore& registry) {
  Writer writer(registry);
  writer.Open(kProductKey);
  writer.Real("version", kSettingsVersion);
  writer.Boolean("AutoStart", s.AutoStart);
  writer.Boolean("Reconnect", s.Reconnect);
  writer.Text("conname", s.conname);
  writer.Integer("redelay", s.redelay);
  writer.Integer("maxretries", s.maxretries);
  writer.Boolean("MonitorIP", s.MonitorIP);
  writer.Boolean("usesmtp", s.usesmtp);
  writer.Text("SMTPServer", s.SMTPServer);
  writer.Boolean("usestartdelay", s.usestartdelay);
  writer.Integer("startdelay", s.startdelay);
  writer.Integer("Notifcnt", static_cast<int32_t>(s.notifs.size()));

  for (size_t n = 1; n <= s.notifs.size(); ++n) {
    writer.Open(NotifKeyPath(static_cast<int>(n)));
    WriteNotif(writer, s.notifs[n - 1]);
  }

  if (!s.notifs.empty()) writer.Open(kProductKey);
  writer.Boolean("loggingenabled", s.loggingenabled);
  writer.Text("logfile", s.logfile);
  writer.Text("lastip", s.lastip);
  writer.Integer("kaMethod", s.kaMethod);
  writer.Text("kaPingHost", s.kaPingHost);
  writer.Integer("kaPingInterval", s.kaPingInterval);
  writer.Text("kaWebSite", s.kaWebSite);
  writer.Integer("kaWebInterval", s.kaWebInterval);
  writer.Text("proxyname", s.proxyname);
  writer.Integer("proxyport", s.proxyport);
  writer.Text("proxyuser", s.proxyuser);
  writer.Text("proxypass", s.proxypass);
  writer.Boolean("schedenabled", s.schedenabled);
  writer.Integer("resdelay", s.resdelay);
  writer.Integer("maxsretries", s.maxsretries);
  writer.Text("connuser", s.connuser);
  writer.Text("connpass", s.connpass);
  writer.Integer("schedwdaynum", static_cast<int32_t>(s.weekdays.size()));
  writer.Text("scheddays", FormatWeekdays(s.weekdays));
  writer.Real("schedtime", s.schedtime);

  writer.Open(kMainKey);
  writer.Integer("Status", s.Main.Status);
  writer.Integer("Height", s.Main.Height);
  writer.Integer("Width", s.Main.Width);
  writer.Integer("Left", s.Main.Left);
  writer.Integer("Top", s.Main.Top);
}

}  // namespace tarnwick
