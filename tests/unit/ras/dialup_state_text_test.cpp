#include <gtest/gtest.h>

#include "ras/ras_state_text.h"

namespace tarnwick {
namespace {

TEST(StateText, EnglishTextsOfTheProgressStatesAndTheEndStates) {
  const int base = StateTextBase(ralgEnglish);
  EXPECT_EQ(base, 2000);
  EXPECT_EQ(StateText(base, 0), "Opening port");
  EXPECT_EQ(StateText(base, 2), "Connecting device");
  EXPECT_EQ(StateText(base, 5), "Start authenticating");
  EXPECT_EQ(StateText(base, 14), "Authenticated");
  EXPECT_EQ(StateText(base, 21), "Logging on network");
  EXPECT_EQ(StateText(base, 0x1000), "Interactive");
  EXPECT_EQ(StateText(base, 0x1003), "Password expired");
  EXPECT_EQ(StateText(base, 0x2000), "Connected");
  EXPECT_EQ(StateText(base, 0x2001), "Disconnected");
}

TEST(StateText, IdsRunFrom2001To2028InStateOrder) {
  EXPECT_EQ(LoadStateString(2001), "Opening port");
  EXPECT_EQ(LoadStateString(2022), "Logging on network");
  EXPECT_EQ(LoadStateString(2023), "Interactive");
  EXPECT_EQ(LoadStateString(2027), "Connected");
  EXPECT_EQ(LoadStateString(2028), "Disconnected");
  EXPECT_EQ(LoadStateString(2000), "");
  EXPECT_EQ(LoadStateString(2029), "");
  // Every one of the 28 positions has a distinct text.
  for (int k = 1; k <= kStateTextCount; ++k) {
    for (int j = k + 1; j <= kStateTextCount; ++j) {
      EXPECT_NE(LoadStateString(2000 + k), LoadStateString(2000 + j)) << k << " " << j;
    }
  }
}

TEST(StateText, SubEntryAndUnknownStatesHaveNoText) {
  for (int state : {22, 23, 24, 0x1004, 0x2002, -1}) {
    EXPECT_EQ(StateText(2000, state), "") << state;
  }
}

TEST(StateText, OtherLanguagesReadTheEnglishTable) {
  EXPECT_EQ(StateTextBase(ralgGerman), 1000);
  EXPECT_EQ(StateTextBase(ralgPolish), 5000);
  EXPECT_EQ(StateText(StateTextBase(ralgCzech), 0x2000), "Connected");
}

}  // namespace
}  // namespace tarnwick
