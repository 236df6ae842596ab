#include "app/text_utils.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

namespace tarnwick {
namespace {

using ::testing::ElementsAre;

TEST(SplitList, KeepsEmptyEntriesAndTrimsControlCharacters) {
  std::vector<std::string> list{"kept"};
  int count = -1;
  SplitList(" a ; b ;", list, count);
  EXPECT_THAT(list, ElementsAre("kept", "a", "b", ""));
  EXPECT_EQ(count, 3);

  list.clear();
  SplitList("", list, count);
  EXPECT_THAT(list, ElementsAre(""));
  EXPECT_EQ(count, 1);

  list.clear();
  SplitList("\t x@y \r\n;;z", list, count);
  EXPECT_THAT(list, ElementsAre("x@y", "", "z"));
  EXPECT_EQ(count, 3);
}

TEST(GroupThousands, GroupsDigitsByThrees) {
  EXPECT_EQ(GroupThousands(0, ","), "0");
  EXPECT_EQ(GroupThousands(999, ","), "999");
  EXPECT_EQ(GroupThousands(1234, ","), "1,234");
  EXPECT_EQ(GroupThousands(100000, ","), "100,000");
  EXPECT_EQ(GroupThousands(1234567, ","), "1,234,567");
  EXPECT_EQ(GroupThousands(4294967295LL, "."), "4.294.967.295");
  EXPECT_EQ(GroupThousands(1234567, "\xA0"), "1\xA0" "234\xA0" "567");
}

TEST(GroupThousands, NeverSeparatesTheSignFromTheDigits) {
  EXPECT_EQ(GroupThousands(-123, ","), "-123");
  EXPECT_EQ(GroupThousands(-1234, ","), "-1,234");
  EXPECT_EQ(GroupThousands(-123456, ","), "-123,456");
}

TEST(TryStrToInt, AcceptsSignedDecimalAndDollarHex) {
  EXPECT_EQ(TryStrToInt("0"), 0);
  EXPECT_EQ(TryStrToInt("90"), 90);
  EXPECT_EQ(TryStrToInt("+7"), 7);
  EXPECT_EQ(TryStrToInt("-1"), -1);
  EXPECT_EQ(TryStrToInt("$1F"), 31);
  EXPECT_EQ(TryStrToInt("$ff"), 255);
  EXPECT_EQ(TryStrToInt("-$10"), -16);
  EXPECT_EQ(TryStrToInt("$FFFFFFFF"), -1);
  EXPECT_EQ(TryStrToInt("2147483647"), 2147483647);
  EXPECT_EQ(TryStrToInt("-2147483648"), INT32_MIN);
}

TEST(TryStrToInt, RefusesEverythingElse) {
  for (const char* text : {"", " 5", "5 ", "1.5", "abc", "12a", "+", "-", "$", "$G", "0x10",
                           "2147483648", "-2147483649", "$100000000", "99999999999999999999"}) {
    EXPECT_FALSE(TryStrToInt(text).has_value()) << '"' << text << '"';
  }
  EXPECT_EQ(InvalidIntegerMessage("x1"), "'x1' is not a valid integer value");
}

}  // namespace
}  // namespace tarnwick
