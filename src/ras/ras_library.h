#pragma once
// Lazy loading of the RAS library: nothing is linked at load time, so the
// program starts on a machine without dial-up networking and fails only when a
// RAS operation is used. Every RAS function is looked up by name when called.
#include <string>

namespace tarnwick {

inline constexpr const char* kRasLibraryName = "rasapi32.dll";
inline constexpr const char* kRasFallbackLibraryName = "rnaph.dll";

// How libraries are loaded and searched (the Win32 one loads from System32 only).
class LibraryLoader {
 public:
  virtual ~LibraryLoader() = default;
  // nullptr when the library cannot be loaded.
  virtual void* Load(const std::string& name) = 0;
  // nullptr when the library has no such export.
  virtual void* Find(void* library, const std::string& function) = 0;
  virtual void Release(void* library) = 0;
};

class RasLibrary {
 public:
  explicit RasLibrary(LibraryLoader& loader) : loader_(loader) {}
  ~RasLibrary();
  RasLibrary(const RasLibrary&) = delete;
  RasLibrary& operator=(const RasLibrary&) = delete;

  // The address of `function`; throws Error "Error opening rasapi.dll",
  // "Error opening rnaph.dll" or "Function <name> not found!". A failed first
  // load, or a function missing from both libraries, leaves nothing chosen, so
  // the next call tries again from rasapi32.dll.
  void* GetRasProc(const std::string& function);

  bool Loaded() const { return loaded_; }
  bool UsingFallback() const { return fallback_; }

 private:
  LibraryLoader& loader_;
  void* primary_ = nullptr;  // rasapi32.dll once loaded
  void* library_ = nullptr;  // the library chosen: primary_ or the fallback
  bool loaded_ = false;
  bool fallback_ = false;
};

}  // namespace tarnwick
