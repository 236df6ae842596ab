#pragma once
// Splitting of the web addresses that the keep-alive fetch is given.
#include <string>
#include <string_view>

namespace tarnwick::net {

struct UrlParts {
  std::string protocol;  // text before "://"; empty when the URL has none
  std::string host;      // empty when the URL has no "://"
  std::string port;      // as written after "host:"; empty when none is named
  std::string path;      // always begins (and ends) with "/"
  std::string document;  // after the last "/", without the "#" fragment
  std::string bookmark;  // the fragment, without "#"
};

// Without "://" the whole text up to its last "/" is the path and the rest the
// document. With "://" the text up to the next "/" is host[:port], then path and
// document as above. A missing leading "/" of the path is added.
UrlParts SplitUrl(std::string_view url);

// True for four dot-separated decimal numbers 0..255 ("10.0.0.1").
bool IsDottedIPv4(std::string_view text);

}  // namespace tarnwick::net
