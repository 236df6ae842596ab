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

std::string EncodeWords(std::string_view text, unsigned code_page) {
  const std::string prefix = "=?" + CodePageCharset(code_page) + "?B?";
  const size_t overhead = prefix.size() + 2;
  // Whole groups of 3 bytes per word keep each word's Base64 within 75 characters.
  size_t capacity = overhead < 75 ? (75 - overhead) / 4 * 3 : 3;
  if (capacity == 0) capacity = 3;
  std::string out;
  do {
    size_t take = 0;
    while (take < text.size()) {
      const size_t length = CharacterLength(text.substr(take), code_page);
      // A word carries at least one character, however long.
      if (take > 0 && take + length > capacity) break;
      take += length;
    }
    if (!out.empty()) out += "\r\n ";
    out += prefix + Base64Encode(text.substr(0, take)) + "?=";
    text.remove_prefix(take);
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

bool IsLeadByte(unsigned code_page, unsigned char byte) {
  switch (code_page) {
    case 932:
      return (byte >= 0x81 && byte <= 0x9F) || (byte >= 0xE0 && byte <= 0xFC);
    case 936:
    case 949:
    case 950:
      return byte >= 0x81 && byte <= 0xFE;
    default:
      return false;
  }
}

size_t CharacterLength(std::string_view text, unsigned code_page) {
  if (text.empty()) return 0;
  const auto lead = static_cast<unsigned char>(text[0]);
  size_t length = 1;
  if (code_page == 65001) {
    if (lead >= 0xC2 && lead <= 0xDF) {
      length = 2;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
      length = 3;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
      length = 4;
    }
    if (length > text.size()) return 1;
    for (size_t i = 1; i < length; ++i) {
      const auto next = static_cast<unsigned char>(text[i]);
      if (next < 0x80 || next > 0xBF) return 1;
    }
    return length;
  }
  // A lead byte at the very end has no trail byte: it stands alone.
  return IsLeadByte(code_page, lead) && text.size() >= 2 ? 2 : 1;
}

}  // namespace tarnwick::net
