#include "app/registry_win32.h"

#include <vector>

namespace tarnwick {
namespace {

class Win32Key : public RegistryKey {
 public:
  explicit Win32Key(HKEY key) : key_(key) {}
  ~Win32Key() override { RegCloseKey(key_); }
  Win32Key(const Win32Key&) = delete;
  Win32Key& operator=(const Win32Key&) = delete;

  std::optional<RegistryValue> Read(const std::string& name) override {
    // Ask for the size first: values are read whole, whatever their length.
    for (int attempt = 0; attempt < 4; ++attempt) {
      DWORD type = 0, size = 0;
      if (RegQueryValueExA(key_, name.c_str(), nullptr, &type, nullptr, &size) != ERROR_SUCCESS) {
        return std::nullopt;
      }
      std::string data(size, '\0');
      const LONG rc = RegQueryValueExA(key_, name.c_str(), nullptr, &type,
                                       reinterpret_cast<BYTE*>(data.data()), &size);
      if (rc == ERROR_MORE_DATA) continue;  // grew in between
      if (rc != ERROR_SUCCESS) return std::nullopt;
      data.resize(size);
      return RegistryValue{type, data};
    }
    return std::nullopt;
  }

  uint32_t Write(const std::string& name, const RegistryValue& value) override {
    return static_cast<uint32_t>(RegSetValueExA(key_, name.c_str(), 0, value.type,
                                                reinterpret_cast<const BYTE*>(value.data.data()),
                                                static_cast<DWORD>(value.data.size())));
  }

  uint32_t Delete(const std::string& name) override {
    return static_cast<uint32_t>(RegDeleteValueA(key_, name.c_str()));
  }

 private:
  HKEY key_;
};

}  // namespace

namespace {

// The path below the root, without the leading separators the settings use.
std::string Relative(const std::string& path) {
  const size_t start = path.find_first_not_of('\\');
  return start == std::string::npos ? std::string() : path.substr(start);
}

}  // namespace

uint32_t Win32Registry::DeleteTree(const std::string& path) {
  const std::string relative = Relative(path);
  // Never the root itself.
  if (relative.empty()) return ERROR_INVALID_PARAMETER;
  return static_cast<uint32_t>(RegDeleteTreeA(root_, relative.c_str()));
}

std::unique_ptr<RegistryKey> Win32Registry::Open(const std::string& path, bool create,
                                                 RegAccess access, uint32_t* error) {
  const std::string relative = Relative(path);
  REGSAM sam = KEY_ALL_ACCESS;
  switch (access) {
    case RegAccess::kAll: sam = KEY_ALL_ACCESS; break;
    case RegAccess::kRead: sam = KEY_READ; break;
    case RegAccess::kWrite: sam = KEY_WRITE; break;
    case RegAccess::kReadWrite: sam = KEY_READ | KEY_WRITE; break;
  }
  HKEY key = nullptr;
  LONG rc;
  if (create) {
    rc = RegCreateKeyExA(root_, relative.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE, sam,
                         nullptr, &key, nullptr);
  } else {
    rc = RegOpenKeyExA(root_, relative.c_str(), 0, sam, &key);
  }
  if (error) *error = static_cast<uint32_t>(rc);
  if (rc != ERROR_SUCCESS) return nullptr;
  return std::make_unique<Win32Key>(key);
}

}  // namespace tarnwick
