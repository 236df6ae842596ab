#include "app/settings_table.h"

#include <array>

namespace tarnwick {
namespace {

using enum StoredKey;
using enum ValueKind;
using S = Settings;
using G = WindowGeometry;

// clang-format off
constexpr std::array kSettingValues = {
    // name              key       kind           member               default        load
    SettingValue{"version",        kProduct, kVersion,      &S::version,        kSettingsVersion, 0},
    SettingValue{"AutoStart",      kProduct, kBoolean,      &S::AutoStart,      true,          1},
    SettingValue{"Reconnect",      kProduct, kBoolean,      &S::Reconnect,      false,         2},
    SettingValue{"conname",        kProduct, kText,         &S::conname,        "",            3},
    SettingValue{"redelay",        kProduct, kInteger,      &S::redelay,        int32_t{90},   10},
    SettingValue{"maxretries",     kProduct, kInteger,      &S::maxretries,     int32_t{20},   11},
    SettingValue{"MonitorIP",      kProduct, kBoolean,      &S::MonitorIP,      false,         12},
    SettingValue{"usesmtp",        kProduct, kBoolean,      &S::usesmtp,        false,         8},
    SettingValue{"SMTPServer",     kProduct, kText,         &S::SMTPServer,     "",            5},
    // Mail submission; the defaults are the plain port-25 conversation.
    SettingValue{"SMTPPort",       kProduct, kInteger,      &S::SMTPPort,       int32_t{25},   44, true},
    SettingValue{"SMTPSecurity",   kProduct, kInteger,      &S::SMTPSecurity,   int32_t{0},    45, true},
    SettingValue{"SMTPUser",       kProduct, kText,         &S::SMTPUser,       "",            46, true},
    SettingValue{"SMTPPass",       kProduct, kText,         &S::SMTPPass,       "",            47, true},
    SettingValue{"usestartdelay",  kProduct, kBoolean,      &S::usestartdelay,  false,         6},
    SettingValue{"startdelay",     kProduct, kInteger,      &S::startdelay,     int32_t{45},   7},
    SettingValue{"Notifcnt",       kProduct, kStepCount,    {},                 {},            4},
    SettingValue{"Notif",          kProduct, kSteps,        {},                 {},            9},
    SettingValue{"loggingenabled", kProduct, kBoolean,      &S::loggingenabled, false,         13},
    SettingValue{"logfile",        kProduct, kText,         &S::logfile,        "",            14},
    SettingValue{"lastip",         kProduct, kText,         &S::lastip,         "192.168.0.1", 32},
    SettingValue{"kaMethod",       kProduct, kByte,         &S::kaMethod,       int32_t{0},    15},
    SettingValue{"kaPingHost",     kProduct, kText,         &S::kaPingHost,     "",            16},
    SettingValue{"kaPingInterval", kProduct, kInteger,      &S::kaPingInterval, int32_t{5},    17},
    SettingValue{"kaWebSite",      kProduct, kText,         &S::kaWebSite,      "",            18},
    SettingValue{"kaWebInterval",  kProduct, kInteger,      &S::kaWebInterval,  int32_t{5},    19},
    SettingValue{"proxyname",      kProduct, kText,         &S::proxyname,      "",            20},
    SettingValue{"proxyport",      kProduct, kInteger,      &S::proxyport,      int32_t{8080}, 21},
    SettingValue{"proxyuser",      kProduct, kText,         &S::proxyuser,      "",            22},
    SettingValue{"proxypass",      kProduct, kText,         &S::proxypass,      "",            23},
    SettingValue{"schedenabled",   kProduct, kBoolean,      &S::schedenabled,   false,         24},
    SettingValue{"resdelay",       kProduct, kInteger,      &S::resdelay,       int32_t{90},   28},
    SettingValue{"maxsretries",    kProduct, kInteger,      &S::maxsretries,    int32_t{20},   29},
    SettingValue{"connuser",       kProduct, kText,         &S::connuser,       "",            30},
    SettingValue{"connpass",       kProduct, kText,         &S::connpass,       "",            31},
    SettingValue{"schedwdaynum",   kProduct, kWeekdayCount, {},                 {},            25},
    SettingValue{"scheddays",      kProduct, kWeekdays,     {},                 {},            26},
    SettingValue{"schedtime",      kProduct, kReal,         &S::schedtime,      "08:00:00 AM", 27},
    SettingValue{"notices",        kProduct, kBoolean,      &S::notices,        true,          38},
    SettingValue{"noticedrop",     kProduct, kBoolean,      &S::noticedrop,     true,          39},
    SettingValue{"noticeredial",   kProduct, kBoolean,      &S::noticeredial,   true,          40},
    SettingValue{"noticeretries",  kProduct, kBoolean,      &S::noticeretries,  true,          41},
    SettingValue{"noticestepfail", kProduct, kBoolean,      &S::noticestepfail, true,          42},
    SettingValue{"noticeipchange", kProduct, kBoolean,      &S::noticeipchange, true,          43},
    SettingValue{"Status",         kMain,    kInteger,      &G::Status,         int32_t{0},    33},
    SettingValue{"Height",         kMain,    kInteger,      &G::Height,         int32_t{385},  34},
    SettingValue{"Width",          kMain,    kInteger,      &G::Width,          int32_t{440},  35},
    SettingValue{"Left",           kMain,    kInteger,      &G::Left,           int32_t{50},   36},
    SettingValue{"Top",            kMain,    kInteger,      &G::Top,            int32_t{50},   37},
};

using E = EmailNotif;
using F = FtpNotif;
using L = LaunchNotif;
constexpr std::array kStepValues = {
    // name              step kind      kind      member              read back  from 1.01
    StepValue{"eFrom",          kNotifyEmail,  kText,    &E::eFrom,          true,      false},
    StepValue{"ETo",            kNotifyEmail,  kText,    &E::ETo,            true,      false},
    StepValue{"esubject",       kNotifyEmail,  kText,    &E::esubject,       true,      false},
    StepValue{"emessage",       kNotifyEmail,  kText,    &E::emessage,       true,      false},
    StepValue{"emailUser",      kNotifyEmail,  kText,    &E::emailUser,      false,     false},
    StepValue{"ReplyToAddress", kNotifyEmail,  kText,    &E::ReplyToAddress, true,      false},
    StepValue{"maxretries",     kNotifyEmail,  kInteger, &E::maxretries,     true,      true},
    StepValue{"FTPServer",      kNotifyFtp,    kText,    &F::FTPServer,      true,      false},
    StepValue{"FTPPath",        kNotifyFtp,    kText,    &F::FTPPath,        true,      false},
    StepValue{"FTPHTML",        kNotifyFtp,    kText,    &F::FTPHTML,        true,      false},
    StepValue{"FTPPort",        kNotifyFtp,    kInteger, &F::FTPPort,        true,      false},
    StepValue{"FTPUser",        kNotifyFtp,    kText,    &F::FTPUser,        true,      false},
    StepValue{"FTPPass",        kNotifyFtp,    kText,    &F::FTPPass,        true,      false},
    StepValue{"FTPPassive",     kNotifyFtp,    kInteger, &F::FTPPassive,     true,      false, true},
    StepValue{"FTPSecure",      kNotifyFtp,    kInteger, &F::FTPSecure,      true,      false, true},
    StepValue{"LnchApp",        kNotifyLaunch, kText,    &L::LnchApp,        true,      false},
    StepValue{"LnchParam",      kNotifyLaunch, kText,    &L::LnchParam,      true,      false},
    StepValue{"sseconds",       kNotifySleep,  kInteger, &Notif::sseconds,   true,      true},
};
// clang-format on

// The load walks the rows by load_position: each position must be used once.
constexpr bool LoadPositionsArePermutation() {
  std::array<bool, kSettingValues.size()> seen{};
  for (const SettingValue& row : kSettingValues) {
    if (row.load_position < 0 || row.load_position >= static_cast<int>(seen.size())) return false;
    if (seen[row.load_position]) return false;
    seen[row.load_position] = true;
  }
  return true;
}
static_assert(LoadPositionsArePermutation());

}  // namespace

std::span<const SettingValue> SettingValues() { return kSettingValues; }

std::span<const StepValue> StepValues() { return kStepValues; }

}  // namespace tarnwick
