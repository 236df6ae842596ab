#include "app/com_win32.h"

#include <objbase.h>

namespace tarnwick {

ComApartment::ComApartment()
    : result_(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE)) {}

ComApartment::~ComApartment() {
  // Each successful start (S_FALSE too) is paired with one end.
  if (SUCCEEDED(result_)) CoUninitialize();
}

}  // namespace tarnwick
