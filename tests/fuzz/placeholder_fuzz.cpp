// Placeholder replacement against a plain model: the first-only form, and the
// repeated form, which must agree with searching from the start after every
// replacement and leave no placeholder behind unless the address forms them.
#include <algorithm>

#include "fuzz/fuzz_support.h"
#include "notify/placeholder.h"

using namespace tarnwick;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  fuzz::Input in(data, size);
  const std::string address = in.Bytes(in.Byte() % 32);
  const std::string text = in.Rest();

  std::string first = text;
  if (size_t at = first.find(kIpPlaceholder); at != std::string::npos)
    first.replace(at, kIpPlaceholder.size(), address);
  FUZZ_CHECK(ReplaceFirstPlaceholder(text, address) == first);

  const std::string all = ReplaceAllPlaceholders(text, address);
  if (address.find(kIpPlaceholder) != std::string::npos) {
    // Inserted literally: each placeholder of the text gives one copy.
    size_t n = 0;
    for (size_t at = text.find(kIpPlaceholder); at != std::string::npos;
         at = text.find(kIpPlaceholder, at + kIpPlaceholder.size()))
      ++n;
    FUZZ_CHECK(all.size() == text.size() + n * address.size() - n * kIpPlaceholder.size());
    return 0;
  }
  std::string model = text;
  for (size_t budget = text.size() + 1; budget-- > 0;) {
    const size_t at = model.find(kIpPlaceholder);
    if (at == std::string::npos) break;
    model.replace(at, kIpPlaceholder.size(), address);
  }
  FUZZ_CHECK(all == model);
  // Without its brackets an address cannot keep a placeholder alive: every
  // replacement uses up one '<' of the text.
  if (address.find_first_of("<>") == std::string::npos)
    FUZZ_CHECK(all.find(kIpPlaceholder) == std::string::npos);
  return 0;
}
