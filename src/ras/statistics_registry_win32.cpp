#include "ras/statistics_registry_win32.h"

#include <windows.h>

namespace tarnwick {

namespace {

class Win32Key : public StatsRegistryKey {
 public:
  explicit Win32Key(HKEY key) : key_(key) {}
  ~Win32Key() override { RegCloseKey(key_); }
  Win32Key(const Win32Key&) = delete;
  Win32Key& operator=(const Win32Key&) = delete;

  std::optional<std::string> Read(const std::string& name) override {
    // Ask for the size first and read with exactly that; retry a few times if
    // the value grows in between.
    for (int attempt = 0; attempt < 4; ++attempt) {
      DWORD size = 0;
      if (RegQueryValueExA(key_, name.c_str(), nullptr, nullptr, nullptr, &size) != ERROR_SUCCESS)
        return std::nullopt;
      std::string data(size, '\0');
      DWORD got = size;
      LONG rc = RegQueryValueExA(key_, name.c_str(), nullptr, nullptr,
                                 reinterpret_cast<BYTE*>(data.data()), &got);
      if (rc == ERROR_MORE_DATA) continue;
      if (rc != ERROR_SUCCESS) return std::nullopt;
      data.resize(got < size ? got : size);
      return data;
    }
    return std::nullopt;
  }

  bool HasValue(const std::string& name) override {
    return RegQueryValueExA(key_, name.c_str(), nullptr, nullptr, nullptr, nullptr) ==
           ERROR_SUCCESS;
  }

  std::vector<std::string> SubkeyNames() override {
    std::vector<std::string> names;
    for (DWORD index = 0;; ++index) {
      char name[256];
      DWORD length = sizeof name;
      LONG rc = RegEnumKeyExA(key_, index, name, &length, nullptr, nullptr, nullptr, nullptr);
      if (rc == ERROR_MORE_DATA) continue;
      if (rc != ERROR_SUCCESS) break;
      names.emplace_back(name, length);
    }
    return names;
  }

 private:
  HKEY key_;
};

}  // namespace

std::unique_ptr<StatsRegistryKey> Win32StatsRegistry::Open(StatsRoot root,
                                                           const std::string& path) {
  HKEY base = root == StatsRoot::kDynData ? HKEY_DYN_DATA : HKEY_LOCAL_MACHINE;
  HKEY key = nullptr;
  if (RegOpenKeyExA(base, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) return nullptr;
  return std::make_unique<Win32Key>(key);
}

}  // namespace tarnwick
