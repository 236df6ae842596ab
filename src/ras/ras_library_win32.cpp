// The process-wide RAS library: loaded from System32 only, never from the
// program's folder or the current directory.
#include <windows.h>

#include "ras/dialup.h"
#include "ras/ras_library.h"

namespace tarnwick {
namespace {

class System32Loader : public LibraryLoader {
 public:
  void* Load(const std::string& name) override {
    return LoadLibraryExA(name.c_str(), nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);
  }
  void* Find(void* library, const std::string& function) override {
    return reinterpret_cast<void*>(GetProcAddress(static_cast<HMODULE>(library), function.c_str()));
  }
  void Release(void* library) override { FreeLibrary(static_cast<HMODULE>(library)); }
};

}  // namespace

void* GetRasProc(const std::string& function) {
  // Used on the user-interface thread only, like every RAS operation.
  static System32Loader loader;
  static RasLibrary library(loader);
  return library.GetRasProc(function);
}

}  // namespace tarnwick
