#include "app/shell_win32.h"

#include <windows.h>
#include <shellapi.h>

#include "app/message_box.h"

namespace tarnwick {
namespace {

OSVERSIONINFOA VersionInfo() {
  OSVERSIONINFOA info{};
  info.dwOSVersionInfoSize = sizeof info;  // 148 bytes
  GetVersionExA(&info);
  return info;
}

}  // namespace

int OpenDocument(const std::string& target) {
  const auto result = reinterpret_cast<INT_PTR>(
      ShellExecuteA(GetDesktopWindow(), "open", target.c_str(), nullptr, nullptr, SW_SHOWNORMAL));
  if (result > 32) return 0;
  ShowMessageBox({"Error starting player program.", kApplicationTitle, BoxIcon::Question,
                  BoxButtons::Ok, std::nullopt});
  return -1;
}

void TrimWorkingSet() {
  HANDLE process = OpenProcess(PROCESS_ALL_ACCESS, FALSE, GetCurrentProcessId());
  if (!process) return;
  SetProcessWorkingSetSize(process, static_cast<SIZE_T>(-1), static_cast<SIZE_T>(-1));
  CloseHandle(process);
}

bool IsWindowsNT() { return VersionInfo().dwPlatformId == VER_PLATFORM_WIN32_NT; }

bool IsWindows2000OrLater() {
  const OSVERSIONINFOA info = VersionInfo();
  return info.dwPlatformId == VER_PLATFORM_WIN32_NT && info.dwMajorVersion >= 5;
}

std::string ExecutablePath() {
  std::string path(MAX_PATH, '\0');
  for (;;) {
    const DWORD length = GetModuleFileNameA(nullptr, path.data(), static_cast<DWORD>(path.size()));
    if (length < path.size()) {
      path.resize(length);
      return path;
    }
    path.resize(path.size() * 2);
  }
}

}  // namespace tarnwick
