#include "app/waits_win32.h"

#include <windows.h>

#include "app/message_loop_win32.h"

namespace tarnwick {

void Win32PumpingSleeper::Sleep(int ms) { ::Sleep(ms > 0 ? static_cast<DWORD>(ms) : 0); }

void Win32PumpingSleeper::ProcessMessages() { tarnwick::ProcessMessages(); }

bool Win32PumpingSleeper::Quitting() const { return tarnwick::Quitting(); }

uint64_t Win32Clock::NowMs() const { return GetTickCount64(); }

}  // namespace tarnwick
