#include "net/url_split.h"

namespace tarnwick::net {

UrlParts SplitUrl(std::string_view url) {
  UrlParts parts;
  std::string_view rest = url;
  if (size_t scheme_end = rest.find("://"); scheme_end != std::string_view::npos) {
    parts.protocol = rest.substr(0, scheme_end);
    rest.remove_prefix(scheme_end + 3);
    size_t host_end = rest.find('/');
    std::string_view authority = rest.substr(0, host_end);
    rest = host_end == std::string_view::npos ? std::string_view() : rest.substr(host_end);
    if (size_t colon = authority.find(':'); colon != std::string_view::npos) {
      parts.port = authority.substr(colon + 1);
      authority = authority.substr(0, colon);
    }
    parts.host = authority;
  }
  size_t last_slash = rest.rfind('/');
  if (last_slash == std::string_view::npos) {
    parts.document = rest;
  } else {
    parts.path = rest.substr(0, last_slash + 1);
    parts.document = rest.substr(last_slash + 1);
  }
  if (parts.path.empty() || parts.path.front() != '/') parts.path.insert(0, "/");
  if (size_t hash = parts.document.find('#'); hash != std::string::npos) {
    parts.bookmark = parts.document.substr(hash + 1);
    parts.document.erase(hash);
  }
  return parts;
}

bool IsDottedIPv4(std::string_view text) {
  int fields = 0;
  while (true) {
    size_t digits = 0;
    int value = 0;
    while (digits < text.size() && text[digits] >= '0' && text[digits] <= '9') {
      value = value * 10 + (text[digits] - '0');
      if (++digits > 3) return false;
    }
    if (digits == 0 || value > 255) return false;
    text.remove_prefix(digits);
    if (++fields == 4) return text.empty();
    if (text.empty() || text.front() != '.') return false;
    text.remove_prefix(1);
  }
}

}  // namespace tarnwick::net
