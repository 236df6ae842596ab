#include "rassim_model.h"

#include <gtest/gtest.h>

namespace rassim {
namespace {

TEST(RassimControl, EntriesWithCredentialsDevicesAndOutcomes) {
  std::vector<std::string> problems;
  const Config config = ParseControl(
      "# phonebook\r\n"
      "step-delay 3\r\n"
      "entry My Provider\r\n"
      "  user alice\r\n"
      "  password s3cret pass\r\n"
      "  device isdn Fast ISDN Adapter\r\n"
      "  outcome fail 678 at 2\r\n"
      "entry Second\n"
      "user bob\n"
      "password-saved no\n"
      "outcome silent at 5\n"
      "entries 3 Filler\n",
      problems);
  EXPECT_TRUE(problems.empty()) << problems.front();
  EXPECT_EQ(config.step_delay_ms, 3);
  ASSERT_EQ(config.entries.size(), 5u);
  const EntryConfig& first = config.entries[0];
  EXPECT_EQ(first.name, "My Provider");
  EXPECT_EQ(first.user, "alice");
  EXPECT_EQ(first.password, "s3cret pass");
  EXPECT_TRUE(first.password_saved);
  EXPECT_EQ(first.device_type, "isdn");
  EXPECT_EQ(first.device_name, "Fast ISDN Adapter");
  EXPECT_EQ(first.outcome, (Outcome{Outcome::kFail, 678, 2}));
  EXPECT_FALSE(config.entries[1].password_saved);
  EXPECT_EQ(config.entries[1].outcome, (Outcome{Outcome::kSilent, 0, 5}));
  EXPECT_EQ(config.entries[4].name, "Filler 3");
  EXPECT_EQ(config.entries[4].outcome, Outcome{});
  EXPECT_EQ(config.Find("Second"), &config.entries[1]);
  EXPECT_EQ(config.Find("second"), nullptr);
}

TEST(RassimControl, BadLinesAreReportedAndSkipped) {
  std::vector<std::string> problems;
  const Config config = ParseControl(
      "user nobody\n"  // no entry yet
      "entry A\n"
      "outcome fail x at 2\n"  // not a number
      "step-delay -4\n"
      "frobnicate\n"
      "rates 10 20\n"
      "hangup-delay never\n",
      problems);
  ASSERT_EQ(problems.size(), 4u);
  EXPECT_NE(problems[0].find("line 1"), std::string::npos);
  EXPECT_NE(problems[3].find("unknown keyword"), std::string::npos);
  EXPECT_EQ(config.entries.size(), 1u);
  EXPECT_EQ(config.entries[0].outcome, Outcome{});
  EXPECT_EQ(config.step_delay_ms, Config{}.step_delay_ms);
  EXPECT_EQ(config.rate_xmit, 10u);
  EXPECT_EQ(config.rate_recv, 20u);
  EXPECT_TRUE(config.hangup_never);
}

TEST(RassimControl, ActionsKeepTheirOrder) {
  std::vector<std::string> problems;
  const Config config = ParseControl("entry A\nconnected A\ndrop A B\n", problems);
  ASSERT_EQ(config.actions.size(), 2u);
  EXPECT_EQ(config.actions[0].kind, Action::kConnect);
  EXPECT_EQ(config.actions[1].kind, Action::kDrop);
  EXPECT_EQ(config.actions[1].entry, "A B");
}

TEST(RassimDial, StepsOfEachOutcome) {
  Config config;
  config.states = {0, 1, 2, 3};
  EXPECT_EQ(DialSteps(config, Outcome{}),
            (std::vector<Step>{{0, 0}, {1, 0}, {2, 0}, {3, 0}, {kStateConnected, 0}}));
  EXPECT_EQ(DialSteps(config, Outcome{Outcome::kFail, 678, 2}),
            (std::vector<Step>{{0, 0}, {1, 0}, {2, 0}, {2, 678}}));
  EXPECT_EQ(DialSteps(config, Outcome{Outcome::kSilent, 0, 1}),
            (std::vector<Step>{{0, 0}, {1, 0}}));
  // A state that is not in the progress list comes after all of it.
  EXPECT_EQ(DialSteps(config, Outcome{Outcome::kFail, 691, 7}),
            (std::vector<Step>{{0, 0}, {1, 0}, {2, 0}, {3, 0}, {7, 0}, {7, 691}}));
}

TEST(RassimAddresses, NewClientAddressPerConnectionOrFixed) {
  EXPECT_EQ(ClientAddress("10.64.0.{n}", 1), "10.64.0.2");
  EXPECT_EQ(ClientAddress("10.64.0.{n}", 2), "10.64.0.3");
  EXPECT_EQ(ClientAddress("10.64.0.{n}", 253), "10.64.0.254");
  EXPECT_EQ(ClientAddress("10.64.0.{n}", 254), "10.64.0.2");
  EXPECT_EQ(ClientAddress("192.0.2.7", 5), "192.0.2.7");
}

TEST(RassimCounters, GrowWithTheTimeConnected) {
  Config config;
  config.rate_xmit = 1000;
  config.rate_recv = 3000;
  EXPECT_EQ(CountersAfter(config, 0).bytes_xmit, 0u);
  EXPECT_EQ(CountersAfter(config, 1500).bytes_xmit, 1500u);
  EXPECT_EQ(CountersAfter(config, 1500).bytes_recv, 4500u);
  // Days of uptime do not overflow the intermediate product.
  EXPECT_EQ(CountersAfter(config, 3'000'000'000ull).bytes_xmit, 3'000'000'000u);
}

TEST(RassimErrors, BuiltInTextsAndControlFileTexts) {
  Config config;
  EXPECT_EQ(RasErrorText(config, 678), "There was no answer.");
  EXPECT_TRUE(RasErrorText(config, 691).has_value());
  EXPECT_FALSE(RasErrorText(config, 9999).has_value());
  config.error_texts = {{678, "Custom"}, {9999, "Made up"}};
  EXPECT_EQ(RasErrorText(config, 678), "Custom");
  EXPECT_EQ(RasErrorText(config, 9999), "Made up");
}

}  // namespace
}  // namespace rassim
