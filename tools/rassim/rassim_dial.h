#pragma once
// RasDialA of the simulated service: validation, then the progress steps either
// on a thread of its own (asynchronous, reported through the caller's notifier)
// or in the calling thread (no notifier).
#include <windows.h>
// <ras.h> after <windows.h>.
#include <ras.h>

namespace rassim {

DWORD Dial(LPRASDIALEXTENSIONS extensions, LPCSTR phonebook, LPRASDIALPARAMSA params,
           DWORD notifier_type, LPVOID notifier, LPHRASCONN handle);

}  // namespace rassim
