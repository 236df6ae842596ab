#pragma once
// The registry store over one predefined Win32 root key.
#include <windows.h>

#include "app/registry.h"

namespace tarnwick {

class Win32Registry : public RegistryStore {
 public:
  explicit Win32Registry(HKEY root) : root_(root) {}
  std::unique_ptr<RegistryKey> Open(const std::string& path, bool create, RegAccess access,
                                    uint32_t* error = nullptr) override;
  uint32_t DeleteTree(const std::string& path) override;
  HKEY root() const { return root_; }

 private:
  HKEY root_;
};

}  // namespace tarnwick
