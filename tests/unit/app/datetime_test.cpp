#include "app/datetime.h"

#include <gtest/gtest.h>

#include "app/error.h"

namespace tarnwick {
namespace {

TEST(StrToTime, ReadsTwelveAndTwentyFourHourTimes) {
  EXPECT_EQ(StrToTime("08:00:00 AM"), 8.0 / 24);
  EXPECT_EQ(StrToTime("8:00"), 8.0 / 24);
  EXPECT_EQ(StrToTime("12:00:00 AM"), 0.0);
  EXPECT_EQ(StrToTime("12:30 pm"), 12.5 / 24);
  EXPECT_EQ(StrToTime("11:59:59PM"), (23 * 3600 + 59 * 60 + 59) / 86400.0);
  EXPECT_EQ(StrToTime("20:15:30"), (20 * 3600 + 15 * 60 + 30) / 86400.0);
}

TEST(StrToTime, RefusesMalformedTimes) {
  for (const char* text : {"", "8", "8:", "25:00", "8:60", "8:00:60", "13:00 PM", "0:00 AM",
                           "8:00 XM", "8:00:00 AM junk", "8.00"}) {
    EXPECT_THROW(StrToTime(text), Error) << text;
  }
  try {
    StrToTime("nine");
  } catch (const Error& e) {
    EXPECT_STREQ(e.what(), "'nine' is not a valid time");
  }
}

TEST(TimeToStr, WritesTheLongTimeFormat) {
  EXPECT_EQ(TimeToStr(8.0 / 24), "08:00:00AM");
  EXPECT_EQ(TimeToStr(0.0), "12:00:00AM");
  EXPECT_EQ(TimeToStr(45000.75), "06:00:00PM");  // the date part does not matter
  EXPECT_EQ(StrToTime(TimeToStr(0.4321)), StrToTime(TimeToStr(StrToTime(TimeToStr(0.4321)))));
}

}  // namespace
}  // namespace tarnwick
