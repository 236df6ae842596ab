#pragma once
// COM on the user-interface thread for the life of the program. The shell may
// hand a launched program or document to an extension that needs COM, and
// fails silently without it. Apartment-threaded, as the shell expects; OLE1
// DDE off, which would otherwise answer DDE broadcasts through this thread.
#include <windows.h>

namespace tarnwick {

class ComApartment {
 public:
  ComApartment();
  ~ComApartment();
  ComApartment(const ComApartment&) = delete;
  ComApartment& operator=(const ComApartment&) = delete;

  // False when COM could not be started here (the thread keeps another model).
  bool started() const { return SUCCEEDED(result_); }
  HRESULT result() const { return result_; }

 private:
  HRESULT result_;
};

}  // namespace tarnwick
