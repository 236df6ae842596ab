#include "app/activity_log_win32.h"

#include <windows.h>
#include <shlobj.h>

#include <memory>
#include <type_traits>

namespace tarnwick {
namespace {

struct FileCloser {
  void operator()(HANDLE handle) const { CloseHandle(handle); }
};
using UniqueFile = std::unique_ptr<std::remove_pointer_t<HANDLE>, FileCloser>;

// Opened for appending only, for one line: a viewer may read, write or delete
// the file between two lines, and a rotation can move it.
UniqueFile OpenForAppend(const std::string& path) {
  HANDLE handle = CreateFileA(path.c_str(), FILE_APPEND_DATA,
                              FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                              OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  return UniqueFile(handle == INVALID_HANDLE_VALUE ? nullptr : handle);
}

std::string ParentFolder(const std::string& path) {
  const size_t slash = path.find_last_of("\\/");
  return slash == std::string::npos ? std::string() : path.substr(0, slash);
}

int64_t FileTimeUnits(const SYSTEMTIME& time) {
  FILETIME file_time;
  SystemTimeToFileTime(&time, &file_time);
  return (static_cast<int64_t>(file_time.dwHighDateTime) << 32) | file_time.dwLowDateTime;
}

}  // namespace

std::optional<uint64_t> Win32LogFiles::Size(const std::string& path) {
  WIN32_FILE_ATTRIBUTE_DATA data;
  if (!GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data)) return std::nullopt;
  return (static_cast<uint64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
}

bool Win32LogFiles::Append(const std::string& path, const std::string& text) {
  UniqueFile file = OpenForAppend(path);
  if (!file && GetLastError() == ERROR_PATH_NOT_FOUND) {
    // The default folder does not exist before the first line; one level only,
    // a chosen file's folder is the user's to make.
    CreateDirectoryA(ParentFolder(path).c_str(), nullptr);
    file = OpenForAppend(path);
  }
  if (!file) return false;
  DWORD written = 0;
  if (!WriteFile(file.get(), text.data(), static_cast<DWORD>(text.size()), &written, nullptr) ||
      written != text.size()) {
    return false;
  }
  return FlushFileBuffers(file.get()) != 0;
}

bool Win32LogFiles::Replace(const std::string& from, const std::string& to) {
  return MoveFileExA(from.c_str(), to.c_str(), MOVEFILE_REPLACE_EXISTING) != 0;
}

LocalTime Win32WallClock::Now() const {
  SYSTEMTIME utc, local;
  GetSystemTime(&utc);
  // The offset in force at this instant, daylight saving included.
  if (!SystemTimeToTzSpecificLocalTime(nullptr, &utc, &local)) local = utc;
  const int64_t minutes = (FileTimeUnits(local) - FileTimeUnits(utc)) / (10'000'000LL * 60);
  return {local.wYear,   local.wMonth,  local.wDay, local.wHour, local.wMinute, local.wSecond,
          static_cast<int>(minutes)};
}

std::string DefaultLogPath() {
  char folder[MAX_PATH];
  if (SHGetFolderPathA(nullptr, CSIDL_LOCAL_APPDATA, nullptr, SHGFP_TYPE_CURRENT, folder) != S_OK) {
    return {};
  }
  return std::string(folder) + "\\Tarnwick\\Tarnwick.log";
}

}  // namespace tarnwick
