#include "notify/shell_launcher_win32.h"

#include <windows.h>
// After windows.h, whose definitions it needs.
#include <shellapi.h>

namespace tarnwick {

void Win32ShellLauncher::Open(const std::string& file, const std::string& parameters) {
  ShellExecuteA(GetDesktopWindow(), "open", file.c_str(), parameters.c_str(), nullptr,
                SW_SHOWNORMAL);
}

}  // namespace tarnwick
