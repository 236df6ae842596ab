#include "ras/ras_library.h"

#include "app/error.h"

namespace tarnwick {
namespace {

[[noreturn]] void ThrowNotFound(const std::string& function) {
  throw Error("Function " + function + " not found!");
}

}  // namespace

RasLibrary::~RasLibrary() {
  // The main library stays loaded for the life of the process; only the
  // fallback is given back.
  if (fallback_ && library_ != nullptr) loader_.Release(library_);
}

void* RasLibrary::GetRasProc(const std::string& function) {
  if (loaded_) {
    void* proc = loader_.Find(library_, function);
    if (proc == nullptr) ThrowNotFound(function);
    return proc;
  }
  if (library_ == nullptr) {
    library_ = loader_.Load(kRasLibraryName);
    if (library_ == nullptr) throw Error("Error opening rasapi.dll");
  }
  if (void* proc = loader_.Find(library_, function)) {
    loaded_ = true;
    return proc;
  }
  // A system whose RAS library lacks the function: the older library has it.
  void* fallback = loader_.Load(kRasFallbackLibraryName);
  if (fallback == nullptr) throw Error("Error opening rnaph.dll");
  library_ = fallback;
  void* proc = loader_.Find(library_, function);
  if (proc == nullptr) ThrowNotFound(function);
  loaded_ = true;
  fallback_ = true;
  return proc;
}

}  // namespace tarnwick
