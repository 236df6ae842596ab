#pragma once
// An in-memory registry root for tests: case-insensitive key paths and value
// names like the real one, keys that refuse access, values whose writes fail, and
// a log of every open, read, write and delete in the order they happened.
#include <map>
#include <set>
#include <string>
#include <vector>

#include "app/registry.h"

namespace tarnwick {

class MemoryRegistry : public RegistryStore {
 public:
  std::unique_ptr<RegistryKey> Open(const std::string& path, bool create, RegAccess access,
                                    uint32_t* error = nullptr) override;
  uint32_t DeleteTree(const std::string& path) override;

  // Direct access for setting up and checking trees (not logged).
  bool HasKey(const std::string& path) const;
  std::optional<RegistryValue> Get(const std::string& path, const std::string& name) const;
  void Set(const std::string& path, const std::string& name, const RegistryValue& value);
  void Remove(const std::string& path, const std::string& name);
  // Value names of a key in the order they were first written.
  std::vector<std::string> ValueNames(const std::string& path) const;
  std::vector<std::string> KeyPaths() const;

  // Fault injection: opening this key (or one below it) fails with access denied.
  void DenyKey(const std::string& path) { denied_.insert(Normalise(path)); }
  // Writing this value name (in any key) fails.
  void FailWritesOf(const std::string& name) { failing_writes_.insert(Lower(name)); }

  // "open <path>", "read <name>", "write <name>", "delete <name>", "delete tree <path>".
  std::vector<std::string> log;

  static std::string Normalise(const std::string& path);
  static std::string Lower(std::string text);

 private:
  struct Entry {
    std::string name;
    RegistryValue value;
    size_t order = 0;
  };
  struct Key {
    std::string path;  // as first created, for listing
    std::map<std::string, Entry> values;
  };
  class KeyHandle;

  bool Denied(const std::string& normalised) const;
  void CreateWithParents(const std::string& path);

  std::map<std::string, Key> keys_;
  std::set<std::string> denied_;
  std::set<std::string> failing_writes_;
  size_t next_order_ = 0;
};

}  // namespace tarnwick
