// SplitList against a plain model: split at every ';', trim bytes 0..32 (as
// unsigned bytes: 0x80 and above are text) around each entry, append.
#include <vector>

#include "app/text_utils.h"
#include "fuzz/fuzz_support.h"

using namespace tarnwick;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  fuzz::Input in(data, size);
  const std::string text = in.Rest();
  std::vector<std::string> model = {"kept"};
  size_t start = 0;
  for (;;) {
    const size_t end = std::min(text.find(';', start), text.size());
    size_t a = start, b = end;
    while (a < b && static_cast<unsigned char>(text[a]) <= 32) ++a;
    while (b > a && static_cast<unsigned char>(text[b - 1]) <= 32) --b;
    model.push_back(text.substr(a, b - a));
    if (end == text.size()) break;
    start = end + 1;
  }
  std::vector<std::string> list = {"kept"};
  int count = -1;
  SplitList(text, list, count);
  FUZZ_CHECK(list == model);
  FUZZ_CHECK(count == static_cast<int>(model.size()) - 1);
  return 0;
}
