// The option dialogs' filling and checking rules, without windows.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstring>
#include <functional>

#include "ui/keepalive_options.h"
#include "ui/reconnect_options.h"
#include "ui/schedule_options.h"

namespace tarnwick {
namespace {

using ::testing::ElementsAre;

Settings Defaults() {
  Settings s;
  SetDefaultSettings(s);
  return s;
}

// A stored value outside its spin's range opens at the nearer end, as the spin
// clamps a position; OK then stores the clamped value.
TEST(OptionForms, StoredValuesOpenClampedToTheirSpins) {
  struct Case {
    const char* what;
    std::function<void(Settings&)> store;
    std::function<std::string(const Settings&)> shown;
    const char* expected;
  };
  const auto delay = [](const Settings& s) { return ReconnectFormFrom(s, nullptr).delay; };
  const auto retries = [](const Settings& s) { return ReconnectFormFrom(s, nullptr).max_retries; };
  const auto start = [](const Settings& s) {
    return ReconnectFormFrom(s, nullptr).dial_delay_seconds;
  };
  const auto ping = [](const Settings& s) { return KeepAliveFormFrom(s).ping_interval; };
  const auto web = [](const Settings& s) { return KeepAliveFormFrom(s).web_interval; };
  const auto sched_retries = [](const Settings& s) { return ScheduleFormFrom(s).max_retries; };
  const Case cases[] = {
      {"redelay 20", [](Settings& s) { s.redelay = 20; }, delay, "30"},
      {"redelay 700", [](Settings& s) { s.redelay = 700; }, delay, "600"},
      {"redelay 450: above the accepted 300, inside the spin", [](Settings& s) { s.redelay = 450; },
       delay, "450"},
      {"maxretries -5", [](Settings& s) { s.maxretries = -5; }, retries, "-1"},
      {"startdelay 0", [](Settings& s) { s.startdelay = 0; }, start, "1"},
      {"startdelay 900", [](Settings& s) { s.startdelay = 900; }, start, "300"},
      {"ping interval 0", [](Settings& s) { s.kaPingInterval = 0; }, ping, "1"},
      {"web interval 90", [](Settings& s) { s.kaWebInterval = 90; }, web, "60"},
      {"maxsretries 5000", [](Settings& s) { s.maxsretries = 5000; }, sched_retries, "1000"},
  };
  for (const Case& c : cases) {
    Settings s = Defaults();
    c.store(s);
    EXPECT_EQ(c.shown(s), c.expected) << c.what;
  }
}

// The checks run in order and assign as they go: a refusal leaves the values
// before it in effect and the ones after it untouched.
TEST(OptionForms, KeepAliveStopsAtTheFirstBadFieldWithTheEarlierOnesTaken) {
  struct Case {
    const char* what;
    std::function<void(KeepAliveForm&)> edit;
    std::optional<KeepAliveField> refused;
    uint8_t method;
    const char* host;
    const char* proxy;
    const char* user;
  };
  const Case cases[] = {
      {"all good", [](KeepAliveForm&) {}, std::nullopt, 1, "h", "p", "u"},
      {"ping, empty host", [](KeepAliveForm& f) { f.ping_host.clear(); }, KeepAliveField::kPingHost,
       0, "", "", ""},
      {"web, empty URL: the host is not taken either",
       [](KeepAliveForm& f) {
         f.method = kKeepAliveWeb;
         f.web_url.clear();
       },
       KeepAliveField::kWebUrl, 0, "", "", ""},
      {"none, empty host and URL",
       [](KeepAliveForm& f) {
         f.method = kKeepAliveNone;
         f.ping_host.clear();
         f.web_url.clear();
       },
       std::nullopt, 0, "", "p", "u"},
      {"interval of any whole number", [](KeepAliveForm& f) { f.ping_interval = "-3"; },
       std::nullopt, 1, "h", "p", "u"},
      {"proxy port empty: server taken, user not", [](KeepAliveForm& f) { f.proxy_port.clear(); },
       KeepAliveField::kProxyPort, 1, "h", "p", ""},
  };
  for (const Case& c : cases) {
    KeepAliveForm form{kKeepAlivePing, "h", "5", "http://w/", "5", "p", "3128", "u", "pw"};
    c.edit(form);
    Settings s = Defaults();
    const auto refusal = ApplyKeepAliveForm(form, s);
    EXPECT_EQ(refusal ? std::optional(refusal->field) : std::nullopt, c.refused) << c.what;
    EXPECT_EQ(s.kaMethod, c.method) << c.what;
    EXPECT_EQ(s.kaPingHost, c.host) << c.what;
    EXPECT_EQ(s.proxyname, c.proxy) << c.what;
    EXPECT_EQ(s.proxyuser, c.user) << c.what;
  }
}

TEST(OptionForms, AStoredKeepAliveMethodWithoutAButtonShowsAsNone) {
  Settings s = Defaults();
  for (uint8_t stored : {0, 1, 2, 3, 255}) {
    s.kaMethod = stored;
    EXPECT_EQ(KeepAliveFormFrom(s).method, stored <= 2 ? stored : uint8_t{kKeepAliveNone})
        << int{stored};
  }
}

TEST(OptionForms, TheScheduleBuildsItsWeekdayListInWeekOrder) {
  Settings s = Defaults();
  s.weekdays = {6, 0, 2, 9};  // a damaged stored list: 0 and 9 tick nothing
  ScheduleForm form = ScheduleFormFrom(s);
  EXPECT_THAT(form.days, ElementsAre(false, true, false, false, false, true, false));
  form.days[6] = true;
  form.delay = "999";  // refused, after the days were taken
  ASSERT_TRUE(ApplyScheduleForm(form, s));
  EXPECT_THAT(s.weekdays, ElementsAre(2, 6, 7));
}

TEST(OptionForms, TheTimeOfDayIsTheFractionOfTheDayToTheSecond) {
  struct Case {
    double stored;
    TimeOfDay time;
  };
  const Case cases[] = {
      {8.0 / 24, {8, 0, 0}},
      {45000.75, {18, 0, 0}},              // the date part does not count
      {-1.25, {6, 0, 0}},                  // before 1899-12-30 the fraction still counts forward
      {(86400 - 0.4) / 86400, {0, 0, 0}},  // rounds to the next midnight
      {(3600 + 59.6) / 86400, {1, 1, 0}},
  };
  for (const Case& c : cases) EXPECT_EQ(TimeOfDayOf(c.stored), c.time) << c.stored;
  // The default time goes back bit for bit (stored as 55 55 55 55 55 55 D5 3F).
  const double back = DayFraction({8, 0, 0});
  const double expected = 8.0 / 24;
  EXPECT_EQ(std::memcmp(&back, &expected, sizeof back), 0);
}

}  // namespace
}  // namespace tarnwick
