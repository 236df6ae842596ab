// TryStrToInt against the C library: an optional sign, then decimal digits
// within 32 bits signed, or '$' and hexadecimal digits within 32 bits (the bit
// pattern, so $FFFFFFFF is -1); everything else is refused.
#include <cerrno>
#include <cstdlib>

#include "app/text_utils.h"
#include "fuzz/fuzz_support.h"

using namespace tarnwick;

namespace {

std::optional<int32_t> Model(const std::string& text) {
  size_t at = 0;
  const bool negative = !text.empty() && text[0] == '-';
  if (!text.empty() && (text[0] == '-' || text[0] == '+')) at = 1;
  const bool hex = at < text.size() && text[at] == '$';
  if (hex) ++at;
  const std::string digits = text.substr(at);
  const char* allowed = hex ? "0123456789abcdefABCDEF" : "0123456789";
  if (digits.empty() || digits.find_first_not_of(allowed) != std::string::npos) return std::nullopt;
  errno = 0;
  const unsigned long long magnitude = std::strtoull(digits.c_str(), nullptr, hex ? 16 : 10);
  if (errno == ERANGE || magnitude > 0xFFFFFFFFull) return std::nullopt;
  if (hex) {
    const uint32_t bits = static_cast<uint32_t>(magnitude);
    return static_cast<int32_t>(negative ? 0u - bits : bits);
  }
  const long long value = negative ? -static_cast<long long>(magnitude) : static_cast<long long>(magnitude);
  if (value < INT32_MIN || value > INT32_MAX) return std::nullopt;
  return static_cast<int32_t>(value);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  fuzz::Input in(data, size);
  const std::string text = in.Bytes(64);
  FUZZ_CHECK(TryStrToInt(text) == Model(text));
  return 0;
}
