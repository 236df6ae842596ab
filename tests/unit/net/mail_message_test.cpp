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
  EXPECT_EQ(FormatRecipient({"", "a@x"}, 1252), "a@x");
  EXPECT_EQ(FormatRecipient({"Say \"hi\" \\o/", "a@x"}, 1252),
            "\"Say \\\"hi\\\" \\\\o/\" <a@x>");
  EXPECT_EQ(FormatRecipient({"J\xF6rg", "j@x"}, 1252),
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
  m.code_page = 1250;
  m.body = {"x"};
  EXPECT_EQ(ComposeMessage(m), "X-Priority: 3\r\n\r\nx\r\n.\r\n");
  m.subject = "Nov\xE1 adresa";
  EXPECT_EQ(ComposeMessage(m),
            "Subject: =?windows-1250?B?Tm924SBhZHJlc2E=?=\r\nX-Priority: 3\r\n\r\nx\r\n.\r\n");
}

// Words of at most 75 characters, each carrying whole characters of the code
// page: every word's Base64 must be that of the input from the previous cut to
// one of the known character boundaries.
TEST(MailEncodedWords, CutOnlyBetweenCharactersOfTheCodePage) {
  struct {
    unsigned code_page;
    const char* charset;
    std::vector<std::string> characters;  // one character each, cycled
  } cases[] = {
      {1252, "windows-1252", {"\xE9", "a", "\xFC"}},
      {28591, "iso-8859-1", {"\xE9"}},
      // Trail bytes in the ASCII range ("\x83\x41") must stay with their lead byte.
      {932, "shift_jis", {"\x82\xA0", "\x83\x41", "\x88\x9F", "-", "\xE0\x40"}},
      {936, "gb2312", {"\xC4\xE3", "\xBA\xC3", "!"}},
      {949, "ks_c_5601-1987", {"\xB0\xA1", "\xC7\xD1", " "}},
      {950, "big5", {"\xA4\xA4", "\xA5\x40", "\xE5\x7E"}},
      {65001, "utf-8", {"\xC3\xA9", "\xE2\x82\xAC", "\xF0\x9F\x98\x80", "a"}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.charset);
    // One byte ahead of the characters puts a cut at every byte offset somewhere.
    std::string text = "x";
    std::vector<size_t> boundaries = {0, 1};
    for (size_t i = 0; i < 120; ++i) {
      text += c.characters[i % c.characters.size()];
      boundaries.push_back(text.size());
    }
    const std::string words = EncodeWords(text, c.code_page);
    const std::string prefix = "=?" + std::string(c.charset) + "?B?";
    size_t start = 0, consumed = 0, count = 0;
    while (start < words.size()) {
      size_t end = words.find("\r\n ", start);
      const bool last = end == std::string::npos;
      if (last) end = words.size();
      const std::string word = words.substr(start, end - start);
      ASSERT_TRUE(word.starts_with(prefix) && word.ends_with("?=")) << word;
      EXPECT_LE(word.size(), 75u) << word;
      if (!last) {
        EXPECT_GE(word.size(), 68u) << "words are filled: " << word;
      }
      const std::string base64 = word.substr(prefix.size(), word.size() - prefix.size() - 2);
      size_t cut = 0;
      for (size_t b : boundaries) {
        if (b > consumed && Base64Encode(text.substr(consumed, b - consumed)) == base64) cut = b;
      }
      ASSERT_NE(cut, 0u) << "word " << count << " ends inside a character";
      consumed = cut;
      ++count;
      start = last ? end : end + 3;
    }
    EXPECT_EQ(consumed, text.size());
    EXPECT_GT(count, 2u);
  }
}

TEST(MailEncodedWords, CharacterLengthsOfTheCodePages) {
  struct {
    unsigned code_page;
    std::string text;
    size_t length;
  } cases[] = {
      {932, "\xA0\x40", 1},         // half-width katakana: one byte
      {932, "\x82", 1},              // a lead byte at the end stands alone
      {1252, "\x82\xA0", 1},         // single-byte code page
      {65001, "\xF4\x8F\xBF\xBF", 4},
      {65001, "\xE2\x82", 1},        // truncated sequence
      {65001, "\xC0\x80", 1},        // overlong form: no lead byte
      {65001, "\xE2\x28\xA1", 1},    // a non-continuation byte breaks the sequence
      {65001, "\x80", 1},
      {1252, "", 0},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(CharacterLength(c.text, c.code_page), c.length) << c.code_page << " " << c.text.size();
  }
  EXPECT_FALSE(NeedsEncodedWords("plain ASCII ~"));
  EXPECT_TRUE(NeedsEncodedWords("tab\there"));
  EXPECT_EQ(CodePageCharset(1251), "windows-1251");
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
