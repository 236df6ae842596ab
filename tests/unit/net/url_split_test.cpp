#include "net/url_split.h"

#include <gtest/gtest.h>

namespace tarnwick::net {
namespace {

TEST(SplitUrl, Table) {
  struct {
    const char* url;
    UrlParts want;
  } cases[] = {
      {"http://host/", {"http", "host", "", "/", "", ""}},
      {"http://host", {"http", "host", "", "/", "", ""}},
      {"http://Host:8080/a/b/c.html#frag", {"http", "Host", "8080", "/a/b/", "c.html", "frag"}},
      {"http://host/dir/?q=/x", {"http", "host", "", "/dir/?q=/", "x", ""}},
      {"http://host:/x", {"http", "host", "", "/", "x", ""}},
      {"ftp://h/file", {"ftp", "h", "", "/", "file", ""}},
      {"host/page.html", {"", "", "", "/host/", "page.html", ""}},  // no "://": no host
      {"page.html", {"", "", "", "/", "page.html", ""}},
      {"", {"", "", "", "/", "", ""}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.url);
    UrlParts got = SplitUrl(c.url);
    EXPECT_EQ(got.protocol, c.want.protocol);
    EXPECT_EQ(got.host, c.want.host);
    EXPECT_EQ(got.port, c.want.port);
    EXPECT_EQ(got.path, c.want.path);
    EXPECT_EQ(got.document, c.want.document);
    EXPECT_EQ(got.bookmark, c.want.bookmark);
  }
}

TEST(IsDottedIPv4, AcceptsOnlyFourOctets) {
  for (const char* yes : {"127.0.0.1", "0.0.0.0", "255.255.255.255", "010.1.1.1"})
    EXPECT_TRUE(IsDottedIPv4(yes)) << yes;
  for (const char* no : {"", "1.2.3", "1.2.3.4.5", "256.1.1.1", "1.2.3.4.", "a.b.c.d", "1..2.3",
                         "1.2.3.1234", " 1.2.3.4", "host"})
    EXPECT_FALSE(IsDottedIPv4(no)) << no;
}

}  // namespace
}  // namespace tarnwick::net
