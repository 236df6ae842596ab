#include "notify/shell_launcher_win32.h"

#include <shellapi.h>
#include <windows.h>

namespace tarnwick {

void Win32ShellLauncher::Open(const std::string& file, const std::string& parameters) {
  ShellExecuteA(GetDesktopWindow(), "open", file.c_str(), parameters.c_str(), nullptr,
                SW_SHOWNORMAL);
}

}  // namespace tarnwick
