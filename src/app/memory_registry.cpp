#include "app/memory_registry.h"

#include <algorithm>

#include "app/text_utils.h"

namespace tarnwick {

class MemoryRegistry::KeyHandle : public RegistryKey {
 public:
  KeyHandle(MemoryRegistry& store, std::string key) : store_(store), key_(std::move(key)) {}

  std::optional<RegistryValue> Read(const std::string& name) override {
    store_.log.push_back("read " + name);
    return store_.Get(key_, name);
  }

  uint32_t Write(const std::string& name, const RegistryValue& value) override {
    store_.log.push_back("write " + name);
    if (store_.failing_writes_.count(Lower(name))) return kRegAccessDenied;
    store_.Set(key_, name, value);
    return kRegOk;
  }

  uint32_t Delete(const std::string& name) override {
    store_.log.push_back("delete " + name);
    auto& values = store_.keys_.at(key_).values;
    return values.erase(Lower(name)) ? kRegOk : kRegFileNotFound;
  }

 private:
  MemoryRegistry& store_;
  std::string key_;  // normalised path
};

std::string MemoryRegistry::Lower(std::string text) { return ToLowerAscii(std::move(text)); }

// Drops leading, trailing and doubled separators; keeps the letter case.
static std::string CleanPath(const std::string& path) {
  std::string out;
  for (char c : path) {
    if (c == '\\' && (out.empty() || out.back() == '\\')) continue;
    out.push_back(c);
  }
  if (!out.empty() && out.back() == '\\') out.pop_back();
  return out;
}

std::string MemoryRegistry::Normalise(const std::string& path) { return Lower(CleanPath(path)); }

bool MemoryRegistry::Denied(const std::string& normalised) const {
  for (const auto& denied : denied_) {
    if (normalised == denied || normalised.starts_with(denied + "\\")) return true;
  }
  return false;
}

void MemoryRegistry::CreateWithParents(const std::string& path) {
  const std::string normalised_path = CleanPath(path);
  size_t start = 0;
  while (start <= normalised_path.size()) {
    size_t end = normalised_path.find('\\', start);
    if (end == std::string::npos) end = normalised_path.size();
    const std::string prefix = normalised_path.substr(0, end);
    auto [it, inserted] = keys_.try_emplace(Lower(prefix));
    if (inserted) it->second.path = prefix;
    start = end + 1;
  }
}

std::unique_ptr<RegistryKey> MemoryRegistry::Open(const std::string& path, bool create,
                                                  RegAccess /*access*/, uint32_t* error) {
  log.push_back("open " + path);
  const std::string key = Normalise(path);
  uint32_t code = kRegOk;
  if (Denied(key)) {
    code = kRegAccessDenied;
  } else if (!keys_.count(key)) {
    if (create) {
      CreateWithParents(path);
    } else {
      code = kRegFileNotFound;
    }
  }
  if (error) *error = code;
  if (code != kRegOk) return nullptr;
  return std::make_unique<KeyHandle>(*this, key);
}

uint32_t MemoryRegistry::DeleteTree(const std::string& path) {
  log.push_back("delete tree " + path);
  const std::string key = Normalise(path);
  if (key.empty()) return kRegAccessDenied;
  if (Denied(key)) return kRegAccessDenied;
  if (!keys_.count(key)) return kRegFileNotFound;
  std::erase_if(keys_, [&](const auto& entry) {
    return entry.first == key || entry.first.starts_with(key + "\\");
  });
  return kRegOk;
}

bool MemoryRegistry::HasKey(const std::string& path) const { return keys_.count(Normalise(path)); }

std::optional<RegistryValue> MemoryRegistry::Get(const std::string& path,
                                                 const std::string& name) const {
  auto key = keys_.find(Normalise(path));
  if (key == keys_.end()) return std::nullopt;
  auto value = key->second.values.find(Lower(name));
  if (value == key->second.values.end()) return std::nullopt;
  return value->second.value;
}

void MemoryRegistry::Set(const std::string& path, const std::string& name,
                         const RegistryValue& value) {
  CreateWithParents(path);
  auto& values = keys_[Normalise(path)].values;
  auto [it, inserted] = values.try_emplace(Lower(name));
  if (inserted) it->second = {name, value, next_order_++};
  it->second.value = value;
}

void MemoryRegistry::Remove(const std::string& path, const std::string& name) {
  auto key = keys_.find(Normalise(path));
  if (key != keys_.end()) key->second.values.erase(Lower(name));
}

std::vector<std::string> MemoryRegistry::ValueNames(const std::string& path) const {
  std::vector<const Entry*> entries;
  auto key = keys_.find(Normalise(path));
  if (key == keys_.end()) return {};
  for (const auto& [lower, entry] : key->second.values) entries.push_back(&entry);
  std::sort(entries.begin(), entries.end(),
            [](const Entry* a, const Entry* b) { return a->order < b->order; });
  std::vector<std::string> names;
  for (const Entry* entry : entries) names.push_back(entry->name);
  return names;
}

std::vector<std::string> MemoryRegistry::KeyPaths() const {
  std::vector<std::string> paths;
  for (const auto& [lower, key] : keys_) paths.push_back(key.path);
  return paths;
}

}  // namespace tarnwick
