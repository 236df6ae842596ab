// Message building: recipients, header encoding, the Date header, the body.
#include "net/mail_message.h"

#include <gtest/gtest.h>

#include "app/error.h"
#include "net/base64.h"
#include "net/mail_date.h"
#include "net/rfc2047.h"

namespace tarnwick::net {
namespace {

TEST(MailRecipients, FollowTheQuoteCommaAndBracketRules) {
  using R = std::vector<Recipient>;
  EXPECT_EQ(ParseRecipients("a@x, b@y"), (R{{"", "a@x"}, {"", "b@y"}}));
  EXPECT_EQ(ParseRecipients("a@x,"), (R{{"", "a@x"}}));
  EXPECT_EQ(ParseRecipients(" , ,"), R{});
  EXPECT_EQ(ParseRecipients("\"Smith, Bob\" <bob@x>"), (R{{"Smith, Bob", "bob@x"}}));
  EXPECT_EQ(ParseRecipients("Bob <  bob@x  >,carol@y (Carol C)"),
            (R{{"Bob", "bob@x"}, {"Carol C", "carol@y"}}));
  EXPECT_EQ(ParseRecipients("'\"Bob\"' <bob@x>"), (R{{"Bob", "bob@x"}}));
  EXPECT_EQ(ParseRecipients("<bob@x>"), (R{{"", "bob@x"}}));
  EXPECT_EQ(ParseRecipients("bob@x>"), (R{{"", "bob@x>"}}));
}

TEST(MailRecipients, DisplayNamesAreQuotedOrEncoded) {
  EXPECT_EQ(FormatRecipient({"", "a@x"}, "windows-1252"), "a@x");
  EXPECT_EQ(FormatRecipient({"Say \"hi\" \\o/", "a@x"}, "windows-1252"),
            "\"Say \\\"hi\\\" \\\\o/\" <a@x>");
  EXPECT_EQ(FormatRecipient({"J\xF6rg", "j@x"}, "windows-1252"),
            "=?windows-1252?B?SvZyZw==?= <j@x>");
}

TEST(MailBody, SplitsAtAnyLineBreak) {
  using L = std::vector<std::string>;
  EXPECT_EQ(SplitBodyLines(""), L{});
  EXPECT_EQ(SplitBodyLines("a\r\nb\rc\nd"), (L{"a", "b", "c", "d"}));
  EXPECT_EQ(SplitBodyLines("a\r\n"), (L{"a"}));
  EXPECT_EQ(SplitBodyLines("a\r\n\r\n"), (L{"a", ""}));
  EXPECT_EQ(SplitBodyLines("\n\n"), (L{"", ""}));
}

TEST(MailCompose, LeavesOutEmptyHeadersAndEncodesEightBitSubjects) {
  MailMessage m;
  m.charset = "windows-1250";
  m.body = {"x"};
  EXPECT_EQ(ComposeMessage(m), "X-Priority: 3\r\n\r\nx\r\n.\r\n");
  m.subject = "Nov\xE1 adresa";
  EXPECT_EQ(ComposeMessage(m),
            "Subject: =?windows-1250?B?Tm924SBhZHJlc2E=?=\r\nX-Priority: 3\r\n\r\nx\r\n.\r\n");
}

TEST(MailEncodedWords, StayWithinSeventyFiveCharactersAndDecodeToTheInput) {
  const std::string text(200, '\xE9');
  const std::string words = EncodeWords(text, "iso-8859-1");
  size_t start = 0, count = 0;
  std::string decoded_length_check;
  while (start < words.size()) {
    size_t end = words.find("\r\n ", start);
    if (end == std::string::npos) end = words.size();
    const std::string word = words.substr(start, end - start);
    EXPECT_LE(word.size(), 75u) << word;
    EXPECT_TRUE(word.starts_with("=?iso-8859-1?B?") && word.ends_with("?="));
    ++count;
    start = end == words.size() ? end : end + 3;
  }
  EXPECT_GT(count, 1u);
  EXPECT_FALSE(NeedsEncodedWords("plain ASCII ~"));
  EXPECT_TRUE(NeedsEncodedWords("tab\there"));
  EXPECT_EQ(CodePageCharset(1251), "windows-1251");
  EXPECT_EQ(CodePageCharset(932), "shift_jis");
}

TEST(MailBase64, MatchesTheStandardVectors) {
  EXPECT_EQ(Base64Encode(""), "");
  EXPECT_EQ(Base64Encode("f"), "Zg==");
  EXPECT_EQ(Base64Encode("fo"), "Zm8=");
  EXPECT_EQ(Base64Encode("foo"), "Zm9v");
  EXPECT_EQ(Base64Encode("foobar"), "Zm9vYmFy");
  EXPECT_EQ(Base64Encode(std::string("\xFF\xFE\x00", 3)), "//4A");
}

TEST(MailDate, FormatsWeekdayMonthAndOffset) {
  EXPECT_EQ(FormatMailDate({2025, 3, 4, 9, 5, 7, 60}), "Tue, 4 Mar 2025 09:05:07 +0100");
  EXPECT_EQ(FormatMailDate({2000, 2, 29, 23, 59, 0, -330}), "Tue, 29 Feb 2000 23:59:00 -0530");
  EXPECT_EQ(FormatMailDate({2024, 12, 31, 0, 0, 0, 0}), "Tue, 31 Dec 2024 00:00:00 +0000");
  EXPECT_EQ(FormatMailDate({2023, 1, 1, 12, 0, 0, 780}), "Sun, 1 Jan 2023 12:00:00 +1300");
}

}  // namespace
}  // namespace tarnwick::net
