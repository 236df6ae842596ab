#pragma once
// The registry as the settings code sees it: one root (HKEY_LOCAL_MACHINE or
// HKEY_CURRENT_USER), keys opened by backslash-separated paths below it, values
// as raw bytes with their registry type. Implemented over the Win32 registry and
// in memory for tests.
#include <cstdint>
#include <memory>
#include <optional>
#include <string>

namespace tarnwick {

// Registry value types, numbered as the platform numbers them.
enum RegType : uint32_t {
  kRegNone = 0,
  kRegSz = 1,
  kRegExpandSz = 2,
  kRegBinary = 3,
  kRegDword = 4,
};

// Platform error codes the registry code reports or checks for.
enum RegError : uint32_t {
  kRegOk = 0,
  kRegFileNotFound = 2,
  kRegAccessDenied = 5,
  kRegCantWrite = 1013,
};

struct RegistryValue {
  uint32_t type = kRegNone;
  std::string data;  // the value's bytes exactly as stored
  bool operator==(const RegistryValue&) const = default;
};

class RegistryKey {
 public:
  virtual ~RegistryKey() = default;
  // Empty when the value does not exist (or cannot be read).
  virtual std::optional<RegistryValue> Read(const std::string& name) = 0;
  // Returns 0 or the platform error code.
  virtual uint32_t Write(const std::string& name, const RegistryValue& value) = 0;
  // Returns 0, kRegFileNotFound when there is no such value, or another error code.
  virtual uint32_t Delete(const std::string& name) = 0;
};

enum class RegAccess {
  kAll,        // KEY_ALL_ACCESS
  kRead,       // KEY_READ
  kWrite,      // KEY_WRITE
  kReadWrite,  // KEY_READ | KEY_WRITE
};

class RegistryStore {
 public:
  virtual ~RegistryStore() = default;
  // Opens `path` below the root; with `create` a missing key (and its parents) is
  // created. On failure returns null and, when `error` is given, the error code.
  virtual std::unique_ptr<RegistryKey> Open(const std::string& path, bool create, RegAccess access,
                                            uint32_t* error = nullptr) = 0;
  // Removes `path` with its values and every key below it. Returns 0 or the
  // platform error code (kRegFileNotFound when there is no such key).
  virtual uint32_t DeleteTree(const std::string& path) = 0;
};

// Typed views of the raw bytes.
RegistryValue RegText(const std::string& text, uint32_t type = kRegSz);
RegistryValue RegDword(int32_t value);
RegistryValue RegDouble(double value);
std::optional<int32_t> AsDword(const RegistryValue& value);
std::optional<double> AsDouble(const RegistryValue& value);
// REG_SZ / REG_EXPAND_SZ bytes without the terminating NUL (and anything after it).
std::optional<std::string> AsText(const RegistryValue& value);

}  // namespace tarnwick
