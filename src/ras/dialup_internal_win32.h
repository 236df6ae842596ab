#pragma once
// Shared between the files of TDialUp's Win32 implementation.
#include <windows.h>
// <ras.h> after <windows.h>.
#include <ras.h>

namespace tarnwick {

// The notifier handed to RasDialA (type 0); reports to the current dialer.
void WINAPI RasDialNotifier(UINT message, RASCONNSTATE state, DWORD error);

}  // namespace tarnwick
