#include "notify/placeholder.h"

#include <gtest/gtest.h>

namespace tarnwick {
namespace {

TEST(Placeholder, FirstOccurrenceOnlyLeavesTheSecond) {
  EXPECT_EQ(ReplaceFirstPlaceholder("IP <IPADDRESS> was <IPADDRESS>", "10.0.0.7"),
            "IP 10.0.0.7 was <IPADDRESS>");
  EXPECT_EQ(ReplaceFirstPlaceholder("no placeholder", "10.0.0.7"), "no placeholder");
  EXPECT_EQ(ReplaceFirstPlaceholder("<IPADDRESS>", ""), "");
}

TEST(Placeholder, EveryOccurrenceIsReplaced) {
  EXPECT_EQ(ReplaceAllPlaceholders("<IPADDRESS>|<IPADDRESS>|<IPADDRESS>", "1.2.3.4"),
            "1.2.3.4|1.2.3.4|1.2.3.4");
  EXPECT_EQ(ReplaceAllPlaceholders("<IPADDRESS><IPADDRESS>", ""), "");
}

TEST(Placeholder, OtherLetterCaseIsNotAPlaceholder) {
  for (const char* text : {"<ipaddress>", "<IpAddress>", "<IPADDRESS", "IPADDRESS>"}) {
    EXPECT_EQ(ReplaceFirstPlaceholder(text, "1.2.3.4"), text);
    EXPECT_EQ(ReplaceAllPlaceholders(text, "1.2.3.4"), text);
  }
}

TEST(Placeholder, PlaceholderFormedByAReplacementIsReplacedToo) {
  // Searching from the start again finds the placeholder that the empty
  // replacement joined together.
  EXPECT_EQ(ReplaceAllPlaceholders("<IP<IPADDRESS>ADDRESS>!", ""), "!");
}

TEST(Placeholder, AddressHoldingThePlaceholderEndsAndIsInsertedLiterally) {
  EXPECT_EQ(ReplaceAllPlaceholders("a <IPADDRESS> b <IPADDRESS>", "x<IPADDRESS>"),
            "a x<IPADDRESS> b x<IPADDRESS>");
}

}  // namespace
}  // namespace tarnwick
