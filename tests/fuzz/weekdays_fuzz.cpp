// The stored weekday list (a count and a text such as "2,4,6") decoded by the
// settings load: at most seven days, each a digit, the count honoured when it
// is a possible one, and what the save writes reads back the same.
#include "app/memory_registry.h"
#include "app/settings_store.h"
#include "fuzz/fuzz_support.h"

using namespace tarnwick;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  fuzz::Input in(data, size);
  const int32_t count = static_cast<int8_t>(in.Byte());
  const std::string text = in.Rest();
  MemoryRegistry registry;
  registry.Set(kProductKey, "schedwdaynum", RegDword(count));
  registry.Set(kProductKey, "scheddays", RegText(text.substr(0, text.find('\0'))));

  Settings first;
  SetDefaultSettings(first);
  LoadSettings(first, registry);
  FUZZ_CHECK(first.weekdays.size() <= 7);
  if (count >= 0 && count <= 7) FUZZ_CHECK(first.weekdays.size() == static_cast<size_t>(count));
  for (int32_t day : first.weekdays) FUZZ_CHECK(day >= 0 && day <= 9);

  SaveSettings(first, registry);
  Settings second;
  SetDefaultSettings(second);
  LoadSettings(second, registry);
  FUZZ_CHECK(second.weekdays == first.weekdays);
  return 0;
}
