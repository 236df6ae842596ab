// TDialUp's RAS operations. Every RAS function is looked up by name on each
// call (GetRasProc), so a machine without RAS fails only when one is used.
#include <algorithm>
#include <cstring>
#include <vector>

#include "ras/dialup.h"
#include "ras/dialup_internal_win32.h"
#include "ras/ras_state_text.h"

namespace tarnwick {
namespace {

// The RAS function `name` with the signature <ras.h> declares for it.
#define RAS_FUNCTION(name) (reinterpret_cast<decltype(&::name)>(GetRasProc(#name)))

HRASCONN ToRasConn(RasHandle handle) {
  return reinterpret_cast<HRASCONN>(handle);
}
RasHandle FromRasConn(HRASCONN handle) {
  return reinterpret_cast<RasHandle>(handle);
}

template <size_t N>
void CopyText(char (&target)[N], const std::string& text) {
  const size_t n = std::min(text.size(), N - 1);
  std::memcpy(target, text.data(), n);
  target[n] = '\0';
}

// Dispatches the thread's pending messages; a WM_QUIT is put back for the
// message loop that owns it.
void DefaultPump() {
  MSG msg;
  while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
    if (msg.message == WM_QUIT) {
      PostQuitMessage(static_cast<int>(msg.wParam));
      return;
    }
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
  }
}

// Zeroes a record that held a password once it is no longer needed.
struct WipeDialParams {
  RASDIALPARAMSA& params;
  ~WipeDialParams() { SecureZeroMemory(&params, sizeof(params)); }
};

}  // namespace

std::string TDialUp::ErrorText(int code) {
  // RAS texts fit in 256 characters; the program shows at most 100.
  char text[256] = {};
  if (RAS_FUNCTION(RasGetErrorStringA)(static_cast<UINT>(code), text, sizeof(text)) != 0) {
    return {};
  }
  std::string result(text);
  if (result.size() > static_cast<size_t>(kRasErrorTextMax)) result.resize(kRasErrorTextMax);
  return result;
}

std::string TDialUp::StatusText(int state, int error) {
  return error != 0 ? ErrorText(error) : StateText(text_base_, state);
}

int TDialUp::ReadDialParams(RASDIALPARAMSA& params, BOOL& password_saved) {
  std::memset(&params, 0, sizeof(params));
  params.dwSize = sizeof(params);
  CopyText(params.szEntryName, Entry);
  password_saved = FALSE;
  return static_cast<int>(RAS_FUNCTION(RasGetEntryDialParamsA)(nullptr, &params, &password_saved));
}

int TDialUp::Dial() {
  // RAS wants the handle of a previous attempt released first.
  HangUp();
  if (dial_guard_ && dial_guard_()) return ERROR_CANCELLED;
  RASDIALPARAMSA params;
  WipeDialParams wipe{params};
  BOOL password_saved = FALSE;
  int result = ReadDialParams(params, password_saved);
  if (result != 0) {
    if (OnError) OnError(*this, result, "GetEntryDialParams failed");
    return result;
  }
  ConnHandle = 0;
  HRASCONN handle = nullptr;
  auto ras_dial = RAS_FUNCTION(RasDialA);
  if (DialMode == dmSync) {
    if (OnDialing) OnDialing(*this);
    result = static_cast<int>(ras_dial(nullptr, nullptr, &params, 0, nullptr, &handle));
    ConnHandle = FromRasConn(handle);
    if (result == 0) {
      if (OnConnect) OnConnect(*this);
    } else {
      if (handle != nullptr) HangUpConn(FromRasConn(handle));
      const std::string text = ErrorText(result);
      if (OnNotConnected) OnNotConnected(*this, result, text);
    }
    return result;
  }
  BecomeCurrentDialer();
  if (OnDialing) OnDialing(*this);
  result = static_cast<int>(
      ras_dial(nullptr, nullptr, &params, 0, reinterpret_cast<LPVOID>(&RasDialNotifier), &handle));
  ConnHandle = FromRasConn(handle);
  if (result != 0) {
    const std::string text = ErrorText(result);
    if (OnError) OnError(*this, result, text);
  }
  return result;
}

int TDialUp::HangUpConn(RasHandle handle) {
  const int result = static_cast<int>(RAS_FUNCTION(RasHangUpA)(ToRasConn(handle)));
  if (result != 0) return result;
  // RAS releases the connection in the background; the port must be free
  // before it is dialed again. Bounded, with the program's messages processed.
  const ULONGLONG deadline = GetTickCount64() + static_cast<ULONGLONG>(hang_up_wait_.count());
  for (;;) {
    RASCONNSTATUSA status{};
    status.dwSize = sizeof(status);
    if (RAS_FUNCTION(RasGetConnectStatusA)(ToRasConn(handle), &status) == ERROR_INVALID_HANDLE) {
      break;
    }
    if (GetTickCount64() >= deadline) break;
    MsgWaitForMultipleObjects(0, nullptr, FALSE, 5, QS_ALLINPUT);
    if (pump_) {
      pump_();
    } else {
      DefaultPump();
    }
  }
  return result;
}

int TDialUp::GetEntries() {
  entries_.clear();
  std::vector<RASENTRYNAMEA> names(kRasEnumCapacity);
  names[0].dwSize = sizeof(RASENTRYNAMEA);
  DWORD bytes = static_cast<DWORD>(names.size() * sizeof(RASENTRYNAMEA));
  DWORD count = 0;
  const int result = static_cast<int>(
      RAS_FUNCTION(RasEnumEntriesA)(nullptr, nullptr, names.data(), &bytes, &count));
  if (result != 0) return result;
  count = std::min<DWORD>(count, kRasEnumCapacity);
  for (DWORD i = 0; i < count; ++i) {
    entries_.emplace_back(names[i].szEntryName);
    if (OnEntryGet) OnEntryGet(*this, names[i].szEntryName);
  }
  return 0;
}

int TDialUp::GetConnections(int& count) {
  count = 0;
  std::vector<RASCONNA> connections(kRasEnumCapacity);
  connections[0].dwSize = sizeof(RASCONNA);
  DWORD bytes = static_cast<DWORD>(connections.size() * sizeof(RASCONNA));
  DWORD found = 0;
  const int result =
      static_cast<int>(RAS_FUNCTION(RasEnumConnectionsA)(connections.data(), &bytes, &found));
  if (result != 0) return result;
  found = std::min<DWORD>(found, kRasEnumCapacity);
  count = static_cast<int>(found);
  auto get_status = RAS_FUNCTION(RasGetConnectStatusA);
  for (DWORD i = 0; i < found; ++i) {
    const RASCONNA& conn = connections[i];
    RASCONNSTATUSA status{};
    status.dwSize = sizeof(status);
    // A connection that vanished since the enumeration reports why instead of
    // passing for a fresh "Opening port".
    const DWORD status_result = get_status(conn.hrasconn, &status);
    if (status_result != 0) status.dwError = status_result;
    const std::string text =
        StatusText(static_cast<int>(status.rasconnstate), static_cast<int>(status.dwError));
    if (OnActiveConnection) {
      OnActiveConnection(*this, FromRasConn(conn.hrasconn), status, text, conn.szEntryName,
                         conn.szDeviceType, conn.szDeviceName);
    }
  }
  return 0;
}

int TDialUp::SetEntryUserName(const std::string& user_name) {
  RASDIALPARAMSA params;
  WipeDialParams wipe{params};
  BOOL password_saved = FALSE;
  const int result = ReadDialParams(params, password_saved);
  if (result != 0) return result;
  CopyText(params.szUserName, user_name);
  return static_cast<int>(RAS_FUNCTION(RasSetEntryDialParamsA)(nullptr, &params, FALSE));
}

int TDialUp::SetEntryPassword(const std::string& password) {
  RASDIALPARAMSA params;
  WipeDialParams wipe{params};
  BOOL password_saved = FALSE;
  const int result = ReadDialParams(params, password_saved);
  if (result != 0) return result;
  CopyText(params.szPassword, password);
  return static_cast<int>(RAS_FUNCTION(RasSetEntryDialParamsA)(nullptr, &params, FALSE));
}

int TDialUp::GetEntryUserName(std::string& user_name) {
  RASDIALPARAMSA params;
  WipeDialParams wipe{params};
  BOOL password_saved = FALSE;
  const int result = ReadDialParams(params, password_saved);
  if (result == 0) user_name = params.szUserName;
  return result;
}

int TDialUp::GetEntryPassword(std::string& password) {
  RASDIALPARAMSA params;
  WipeDialParams wipe{params};
  BOOL password_saved = FALSE;
  const int result = ReadDialParams(params, password_saved);
  if (result == 0) password = password_saved ? std::string(params.szPassword) : std::string();
  return result;
}

int TDialUp::GetIPAddresses(RasHandle handle) {
  client_ip_.clear();
  server_ip_.clear();
  if (handle == 0) return 0;
  RASPPPIPA projection{};
  projection.dwSize = sizeof(projection);
  DWORD bytes = sizeof(projection);
  const int result = static_cast<int>(
      RAS_FUNCTION(RasGetProjectionInfoA)(ToRasConn(handle), RASP_PppIp, &projection, &bytes));
  if (result == 0) {
    client_ip_ = projection.szIpAddress;
    server_ip_ = projection.szServerIpAddress;
  }
  return result;
}

void TDialUp::SetStatistics(std::unique_ptr<DialUpStatistics> statistics) {
  statistics_ = std::move(statistics);
}

bool TDialUp::InitStatistics(bool start, bool find_adapter, const std::string& device_name) {
  return statistics_ && statistics_->InitStatistics(*this, start, find_adapter, device_name);
}

bool TDialUp::GetStatistics() {
  return statistics_ && statistics_->GetStatistics(*this);
}

}  // namespace tarnwick
