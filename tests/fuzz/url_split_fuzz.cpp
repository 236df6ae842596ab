// URL splitting: the parts put back together give the URL (up to the "/" the
// split adds in front of a path and an empty port after a bare ':'), and each
// part holds none of the separators that end it.
#include <vector>

#include "fuzz/fuzz_support.h"
#include "net/url_split.h"

using namespace tarnwick;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  fuzz::Input in(data, size);
  const std::string url = in.Rest();
  const net::UrlParts p = net::SplitUrl(url);

  FUZZ_CHECK(!p.path.empty() && p.path.front() == '/' && p.path.back() == '/');
  FUZZ_CHECK(p.document.find_first_of("/#") == std::string::npos);
  FUZZ_CHECK(p.host.find_first_of("/:") == std::string::npos);
  FUZZ_CHECK(p.protocol.find("://") == std::string::npos);

  const bool scheme = url.find("://") != std::string::npos;
  // An empty bookmark may have had its '#' or not.
  std::vector<std::string> tails = {p.document + "#" + p.bookmark};
  if (p.bookmark.empty()) tails.push_back(p.document);
  bool matches = false;
  for (const std::string& path : {p.path, p.path.substr(1)}) {
    for (const char* colon : {"", ":"}) {
      std::string head;
      if (scheme) head = p.protocol + "://" + p.host + (p.port.empty() ? colon : ":" + p.port);
      for (const std::string& tail : tails)
        if (head + path + tail == url) matches = true;
    }
  }
  FUZZ_CHECK(matches);
  if (!scheme) FUZZ_CHECK(p.protocol.empty() && p.host.empty() && p.port.empty());

  if (net::IsDottedIPv4(url)) {
    int fields = 0;
    for (size_t at = 0; at <= url.size(); ++fields) {
      const size_t dot = std::min(url.find('.', at), url.size());
      const std::string field = url.substr(at, dot - at);
      FUZZ_CHECK(!field.empty() && field.size() <= 3 &&
                 field.find_first_not_of("0123456789") == std::string::npos &&
                 std::stoi(field) <= 255);
      at = dot + 1;
    }
    FUZZ_CHECK(fields == 4);
  }
  return 0;
}
