// The settings load over a registry tree built from the fuzzer's bytes: real
// value names under the product key, Main and the step subkeys, with kinds,
// lengths and contents of the fuzzer's choice, then a save and a second load.
// Properties: the load neither writes nor creates keys; a value stored with the
// kind the save writes comes back unchanged (nothing stored is lost); a second
// load and save of the saved tree change nothing.
#include <map>
#include <set>
#include <vector>

#include "app/memory_registry.h"
#include "app/settings_store.h"
#include "app/settings_table.h"
#include "fuzz/fuzz_support.h"

using namespace tarnwick;

namespace {

using Tree = std::map<std::pair<std::string, std::string>, RegistryValue>;

Tree Dump(const MemoryRegistry& registry) {
  Tree tree;
  for (const std::string& path : registry.KeyPaths())
    for (const std::string& name : registry.ValueNames(path))
      tree[{MemoryRegistry::Normalise(path), MemoryRegistry::Lower(name)}] = *registry.Get(path, name);
  return tree;
}

std::vector<std::string> AllNames() {
  std::vector<std::string> names;
  for (const SettingValue& row : SettingValues()) names.push_back(row.name);
  for (const StepValue& row : StepValues()) names.push_back(row.name);
  names.push_back("NotifyMethod");
  names.push_back("NOTIFCNT");  // names ignore letter case
  names.push_back("unknown");
  return names;
}

const std::vector<std::string>& Names() {
  static const std::vector<std::string> names = AllNames();
  return names;
}

std::string KeyPathFor(uint8_t selector) {
  switch (selector % 10) {
    case 4:
      return kMainKey;
    case 5:
      return std::string(kProductKey) + "\\Other";
    case 6:
    case 7:
    case 8:
    case 9:
      return NotifKeyPath(selector % 10 - 5);  // Notif1 .. Notif4
    default:
      return kProductKey;
  }
}

// The kind the save writes for `name` (the first row of that name decides).
ValueKind KindOf(const std::string& name) {
  for (const SettingValue& row : SettingValues())
    if (row.name == name) return row.kind;
  for (const StepValue& row : StepValues())
    if (row.name == name) return row.kind;
  if (name == "NotifyMethod") return ValueKind::kByte;
  return ValueKind::kInteger;
}

// Whether `value` is stored as the save stores a value of `kind`, so that a load
// and a save must give it back unchanged.
bool RightKind(ValueKind kind, const RegistryValue& value) {
  switch (kind) {
    case ValueKind::kText:
      return value.type == kRegSz && !value.data.empty() &&
             value.data.find('\0') == value.data.size() - 1;
    case ValueKind::kInteger:
      return AsDword(value).has_value();
    case ValueKind::kBoolean:
      return AsDword(value) == 0 || AsDword(value) == 1;
    case ValueKind::kByte:
      return AsDword(value) && *AsDword(value) >= 0 && *AsDword(value) <= 255;
    case ValueKind::kReal:
      return AsDouble(value).has_value();
    default:
      return false;  // values the save derives (version, counts, lists)
  }
}

RegistryValue MakeValue(fuzz::Input& in, const std::string& name) {
  const uint8_t kind = in.Byte();
  switch (kind % 8) {
    case 0: {  // the right kind, random contents
      switch (KindOf(name)) {
        case ValueKind::kText: {
          std::string text = in.Bytes(in.Byte() % 24);
          for (char& c : text)
            if (c == '\0') c = 'x';
          return RegText(text);
        }
        case ValueKind::kBoolean:
          return RegDword(in.Byte() & 1);
        case ValueKind::kByte:
        case ValueKind::kWeekdayCount:
          return RegDword(in.Byte() % 10);
        case ValueKind::kReal:
        case ValueKind::kVersion: {
          std::string bytes = in.Bytes(8);
          bytes.resize(8, '\0');
          return {kRegBinary, bytes};
        }
        default:
          return RegDword(static_cast<int32_t>(in.U32()));
      }
    }
    case 1:
      return {kRegSz, in.Bytes(in.Byte() % 40)};
    case 2:
      return {kRegExpandSz, in.Bytes(in.Byte() % 40)};
    case 3:
      return {kRegBinary, in.Bytes(in.Byte() % 16)};
    case 4:
      return {kRegDword, in.Bytes(in.Byte() % 6)};
    case 5:
      return {5u + (kind >> 3), in.Bytes(in.Byte() % 8)};  // kinds the settings never use
    case 6:
      return RegDword(static_cast<int8_t>(in.Byte()));
    default:
      return RegDouble(static_cast<int8_t>(in.Byte()) / 7.0);
  }
}

// The values the load must give back unchanged, with their paths.
std::vector<std::pair<std::string, std::string>> Protected(const MemoryRegistry& registry,
                                                           const Settings& loaded) {
  std::vector<std::pair<std::string, std::string>> keep;
  auto check = [&](const std::string& path, const char* name, ValueKind kind) {
    const auto value = registry.Get(path, name);
    if (value && RightKind(kind, *value)) keep.emplace_back(path, name);
  };
  for (const SettingValue& row : SettingValues())
    check(row.key == StoredKey::kMain ? kMainKey : kProductKey, row.name, row.kind);

  // Layouts before 1.01 stored no per-step counts: a load of one reads them as
  // 0, whatever a stray value says.
  const auto version = registry.Get(kProductKey, "version");
  const bool old_layout = version && AsDouble(*version) && !(*AsDouble(*version) >= 1.01);
  for (size_t n = 1; n <= loaded.notifs.size(); ++n) {
    const std::string path = NotifKeyPath(static_cast<int>(n));
    const auto method = registry.Get(path, "NotifyMethod");
    if (!method || !RightKind(ValueKind::kByte, *method)) continue;
    keep.emplace_back(path, "NotifyMethod");
    for (const StepValue& row : StepValues()) {
      if (row.step_kind != *AsDword(*method) || !row.read_back) continue;
      if (row.needs_counts && old_layout) continue;
      check(path, row.name, row.kind);
    }
  }
  return keep;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  fuzz::Input in(data, size);
  MemoryRegistry registry;
  while (!in.Empty()) {
    const std::string path = KeyPathFor(in.Byte());
    const std::string& name = Names()[in.Byte() % Names().size()];
    registry.Set(path, name, MakeValue(in, name));
  }
  const Tree stored = Dump(registry);

  Settings first;
  SetDefaultSettings(first);
  LoadSettings(first, registry);
  FUZZ_CHECK(Dump(registry) == stored);  // a load only reads
  const auto keep = Protected(registry, first);

  // A count that the stored steps bear out is the number of steps loaded.
  const auto count = AsDword(registry.Get(kProductKey, "Notifcnt").value_or(RegistryValue{}));
  if (count && *count >= 0 && *count <= kMaxStoredSteps) {
    bool all = true;
    for (int32_t n = 1; n <= *count && all; ++n) all = registry.HasKey(NotifKeyPath(n));
    if (all) FUZZ_CHECK(first.notifs.size() == static_cast<size_t>(*count));
  }
  FUZZ_CHECK(first.notifs.size() <= static_cast<size_t>(kMaxStoredSteps));
  FUZZ_CHECK(first.weekdays.size() <= 7);

  SaveSettings(first, registry);
  for (const auto& [path, name] : keep)
    FUZZ_CHECK(registry.Get(path, name) == stored.at({MemoryRegistry::Normalise(path),
                                                      MemoryRegistry::Lower(name)}));

  const Tree saved = Dump(registry);
  Settings second;
  SetDefaultSettings(second);
  FUZZ_CHECK(LoadSettings(second, registry).complete());
  SaveSettings(second, registry);
  FUZZ_CHECK(Dump(registry) == saved);
  return 0;
}
