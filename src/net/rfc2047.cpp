#include "net/rfc2047.h"

#include "net/base64.h"

namespace tarnwick::net {

bool NeedsEncodedWords(std::string_view text) {
  for (char c : text) {
    const auto b = static_cast<unsigned char>(c);
    if (b < 32 || b > 126) return true;
  }
  return false;
}

std::string EncodeWords(std::string_view text, const std::string& charset) {
  const std::string prefix = "=?" + charset + "?B?";
  const size_t overhead = prefix.size() + 2;
  // Whole groups of 3 bytes per word keep each word's Base64 unpadded but the last.
  size_t chunk = overhead < 75 ? (75 - overhead) / 4 * 3 : 3;
  if (chunk == 0) chunk = 3;
  std::string out;
  do {
    if (!out.empty()) out += "\r\n ";
    const std::string_view piece = text.substr(0, chunk);
    out += prefix + Base64Encode(piece) + "?=";
    text.remove_prefix(piece.size());
  } while (!text.empty());
  return out;
}

std::string CodePageCharset(unsigned code_page) {
  switch (code_page) {
    case 874:
      return "windows-874";
    case 932:
      return "shift_jis";
    case 936:
      return "gb2312";
    case 949:
      return "ks_c_5601-1987";
    case 950:
      return "big5";
    case 20127:
      return "us-ascii";
    case 28591:
      return "iso-8859-1";
    case 65001:
      return "utf-8";
    default:
      return "windows-" + std::to_string(code_page);
  }
}

}  // namespace tarnwick::net
