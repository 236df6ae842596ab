// RFC 2047 encoding read back by a decoder written here: the folded words are
// each "=?charset?B?...?=" of at most 75 characters, decode to the text, and
// start and end on character boundaries of the code page.
#include <iterator>
#include <optional>
#include <vector>

#include "fuzz/fuzz_support.h"
#include "net/rfc2047.h"

using namespace tarnwick;

namespace {

constexpr unsigned kCodePages[] = {1252, 1250, 874, 932, 936, 949, 950, 20127, 28591, 65001};

std::optional<std::string> DecodeBase64(std::string_view text) {
  static const std::string alphabet =
      "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
  if (text.size() % 4 != 0) return std::nullopt;
  std::string out;
  for (size_t i = 0; i < text.size(); i += 4) {
    uint32_t group = 0;
    int pad = 0;
    for (size_t k = 0; k < 4; ++k) {
      const char c = text[i + k];
      size_t v = 0;
      if (c == '=' && i + 4 == text.size() && k >= 2) {
        ++pad;
      } else if (pad || (v = alphabet.find(c)) == std::string::npos) {
        return std::nullopt;
      }
      group = group << 6 | static_cast<uint32_t>(v);
    }
    out += static_cast<char>(group >> 16);
    if (pad < 2) out += static_cast<char>(group >> 8 & 0xFF);
    if (pad < 1) out += static_cast<char>(group & 0xFF);
  }
  return out;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  fuzz::Input in(data, size);
  const unsigned code_page = kCodePages[in.Byte() % std::size(kCodePages)];
  const std::string text = in.Rest();
  const std::string encoded = net::EncodeWords(text, code_page);
  const std::string prefix = "=?" + net::CodePageCharset(code_page) + "?B?";

  std::string decoded;
  size_t words = 0;
  for (size_t at = 0;; ++words) {
    const size_t fold = encoded.find("\r\n ", at);
    const std::string word = encoded.substr(at, fold == std::string::npos ? fold : fold - at);
    FUZZ_CHECK(word.size() <= 75);
    FUZZ_CHECK(word.starts_with(prefix) && word.ends_with("?="));
    const auto bytes = DecodeBase64(std::string_view(word).substr(prefix.size(), word.size() - prefix.size() - 2));
    FUZZ_CHECK(bytes.has_value());
    FUZZ_CHECK(!bytes->empty() || text.empty());
    FUZZ_CHECK(decoded.size() + bytes->size() <= text.size());
    // The word ends where a character of the text, walked from its start, ends.
    size_t boundary = 0;
    while (boundary < decoded.size() + bytes->size())
      boundary += net::CharacterLength(std::string_view(text).substr(boundary), code_page);
    FUZZ_CHECK(boundary == decoded.size() + bytes->size());
    decoded += *bytes;
    if (fold == std::string::npos) break;
    at = fold + 3;
  }
  FUZZ_CHECK(decoded == text);
  return 0;
}
