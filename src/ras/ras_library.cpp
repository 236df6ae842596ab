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
  if (primary_ == nullptr) {
    primary_ = loader_.Load(kRasLibraryName);
    if (primary_ == nullptr) throw Error("Error opening rasapi.dll");
  }
  if (void* proc = loader_.Find(primary_, function)) {
    library_ = primary_;
    loaded_ = true;
    return proc;
  }
  // A system whose RAS library lacks the function: the older library has it.
  void* fallback = loader_.Load(kRasFallbackLibraryName);
  if (fallback == nullptr) throw Error("Error opening rnaph.dll");
  void* proc = loader_.Find(fallback, function);
  if (proc == nullptr) {
    // Neither has it: nothing is chosen, and the next call starts again from
    // the main library (kept loaded) instead of from this one.
    loader_.Release(fallback);
    ThrowNotFound(function);
  }
  library_ = fallback;
  loaded_ = true;
  fallback_ = true;
  return proc;
}

}  // namespace tarnwick
