// The exports of the simulated rasapi32.dll. Each checks its arguments the way
// RAS documents (null pointers 87, record sizes 632, buffers 603 with the size
// needed) before it answers from the service's state.
#include <windows.h>
// <ras.h> after <windows.h>.
#include <ras.h>
#include <raserror.h>

#include <cstring>
#include <string>

#include "rassim_dial.h"
#include "rassim_service.h"
#include "rassim_sizes.h"

using rassim::Connection;
using rassim::Quoted;
using rassim::Service;

namespace {

// Not every <raserror.h> defines it.
constexpr DWORD kErrorProjectionNotComplete = 730;

template <size_t N>
void CopyText(char (&target)[N], const std::string& text) {
  const size_t n = std::min(text.size(), N - 1);
  std::memcpy(target, text.data(), n);
  target[n] = '\0';
}

Connection* FindValid(Service& service, HRASCONN handle) {
  return service.Find(reinterpret_cast<uintptr_t>(handle));
}

}  // namespace

extern "C" {

DWORD APIENTRY RasEnumEntriesA(LPCSTR reserved, LPCSTR phonebook, LPRASENTRYNAMEA entries,
                               LPDWORD bytes, LPDWORD count) {
  Service& service = Service::Instance();
  auto lock = service.Lock();
  service.Refresh();
  if (reserved != nullptr || bytes == nullptr || count == nullptr) return ERROR_INVALID_PARAMETER;
  if (phonebook != nullptr && phonebook[0] != '\0') return ERROR_CANNOT_OPEN_PHONEBOOK;
  const auto& list = service.config().entries;
  DWORD record = sizeof(RASENTRYNAMEA);
  if (entries != nullptr) {
    if (!rassim::IsEntryNameSize(entries->dwSize)) return ERROR_INVALID_SIZE;
    record = entries->dwSize;
  }
  const DWORD needed = record * static_cast<DWORD>(list.size());
  *count = static_cast<DWORD>(list.size());
  if (entries == nullptr || *bytes < needed) {
    if (list.empty()) {
      *bytes = 0;
      return 0;
    }
    *bytes = needed;
    return ERROR_BUFFER_TOO_SMALL;
  }
  auto* out = reinterpret_cast<BYTE*>(entries);
  for (const auto& entry : list) {
    auto* name = reinterpret_cast<RASENTRYNAMEA*>(out);
    std::memset(out, 0, record);
    name->dwSize = record;
    CopyText(name->szEntryName, entry.name);
    out += record;
  }
  *bytes = needed;
  return 0;
}

DWORD APIENTRY RasEnumConnectionsA(LPRASCONNA connections, LPDWORD bytes, LPDWORD count) {
  Service& service = Service::Instance();
  auto lock = service.Lock();
  service.Refresh();
  if (bytes == nullptr || count == nullptr) return ERROR_INVALID_PARAMETER;
  DWORD record = sizeof(RASCONNA);
  if (connections != nullptr) {
    if (!rassim::IsConnSize(connections->dwSize)) return ERROR_INVALID_SIZE;
    record = connections->dwSize;
  }
  DWORD listed = 0;
  for (const Connection& connection : service.connections()) listed += connection.Listed();
  const DWORD needed = record * listed;
  *count = listed;
  if (connections == nullptr || *bytes < needed) {
    if (listed == 0) {
      *bytes = 0;
      return 0;
    }
    *bytes = needed;
    return ERROR_BUFFER_TOO_SMALL;
  }
  auto* out = reinterpret_cast<BYTE*>(connections);
  for (const Connection& connection : service.connections()) {
    if (!connection.Listed()) continue;
    // Work on a full record and copy the part the caller's version has.
    RASCONNA full{};
    full.dwSize = record;
    full.hrasconn = reinterpret_cast<HRASCONN>(connection.handle);
    CopyText(full.szEntryName, connection.entry);
    CopyText(full.szDeviceType, connection.device_type);
    CopyText(full.szDeviceName, connection.device_name);
    std::memcpy(out, &full, record);
    out += record;
  }
  *bytes = needed;
  return 0;
}

DWORD APIENTRY RasGetConnectStatusA(HRASCONN handle, LPRASCONNSTATUSA status) {
  Service& service = Service::Instance();
  auto lock = service.Lock();
  service.Refresh();
  if (status == nullptr) return ERROR_INVALID_PARAMETER;
  if (!rassim::IsConnStatusSize(status->dwSize)) return ERROR_INVALID_SIZE;
  const Connection* connection = FindValid(service, handle);
  if (connection == nullptr) return ERROR_INVALID_HANDLE;
  RASCONNSTATUSA full{};
  full.dwSize = status->dwSize;
  full.rasconnstate = static_cast<RASCONNSTATE>(connection->state);
  full.dwError = static_cast<DWORD>(connection->error);
  CopyText(full.szDeviceType, connection->device_type);
  CopyText(full.szDeviceName, connection->device_name);
  // The old record ends in padding where the phone number starts.
  if (status->dwSize == sizeof(full)) CopyText(full.szPhoneNumber, connection->phone);
  std::memcpy(status, &full, status->dwSize);
  return 0;
}

DWORD APIENTRY RasDialA(LPRASDIALEXTENSIONS extensions, LPCSTR phonebook, LPRASDIALPARAMSA params,
                        DWORD notifier_type, LPVOID notifier, LPHRASCONN handle) {
  return rassim::Dial(extensions, phonebook, params, notifier_type, notifier, handle);
}

DWORD APIENTRY RasHangUpA(HRASCONN handle) {
  Service& service = Service::Instance();
  auto lock = service.Lock();
  service.Refresh();
  Connection* connection = FindValid(service, handle);
  const DWORD result = connection == nullptr ? ERROR_INVALID_HANDLE : 0;
  if (connection != nullptr) service.HangUp(*connection);
  service.Log("RasHangUpA handle=" + rassim::HandleText(reinterpret_cast<uintptr_t>(handle)) +
              " result=" + std::to_string(result));
  return result;
}

DWORD APIENTRY RasGetErrorStringA(UINT code, LPSTR text, DWORD size) {
  Service& service = Service::Instance();
  auto lock = service.Lock();
  service.Refresh();
  if (text == nullptr) return ERROR_INVALID_PARAMETER;
  const auto message = rassim::RasErrorText(service.config(), static_cast<int>(code));
  if (!message) return ERROR_INVALID_PARAMETER;
  if (message->size() + 1 > size) return ERROR_INSUFFICIENT_BUFFER;
  std::memcpy(text, message->c_str(), message->size() + 1);
  return 0;
}

DWORD APIENTRY RasGetProjectionInfoA(HRASCONN handle, RASPROJECTION projection, LPVOID buffer,
                                     LPDWORD bytes) {
  Service& service = Service::Instance();
  auto lock = service.Lock();
  service.Refresh();
  if (buffer == nullptr || bytes == nullptr) return ERROR_INVALID_PARAMETER;
  const Connection* connection = FindValid(service, handle);
  if (connection == nullptr) return ERROR_INVALID_HANDLE;
  if (connection->phase != rassim::Phase::kConnected) return kErrorProjectionNotComplete;
  if (projection != RASP_PppIp) return ERROR_PROTOCOL_NOT_CONFIGURED;
  auto* ip = static_cast<RASPPPIPA*>(buffer);
  if (!rassim::IsPppIpSize(ip->dwSize)) return ERROR_INVALID_SIZE;
  if (*bytes < ip->dwSize) {
    *bytes = ip->dwSize;
    return ERROR_BUFFER_TOO_SMALL;
  }
  RASPPPIPA full{};
  full.dwSize = ip->dwSize;
  CopyText(full.szIpAddress, connection->client_ip);
  CopyText(full.szServerIpAddress, service.config().server_ip);
  std::memcpy(ip, &full, ip->dwSize);
  *bytes = ip->dwSize;
  return 0;
}

DWORD APIENTRY RasGetEntryDialParamsA(LPCSTR phonebook, LPRASDIALPARAMSA params,
                                      LPBOOL password_saved) {
  Service& service = Service::Instance();
  auto lock = service.Lock();
  service.Refresh();
  if (params == nullptr || password_saved == nullptr) return ERROR_INVALID_PARAMETER;
  if (!rassim::IsDialParamsSize(params->dwSize)) return ERROR_INVALID_SIZE;
  if (phonebook != nullptr && phonebook[0] != '\0') return ERROR_CANNOT_OPEN_PHONEBOOK;
  const rassim::EntryConfig* entry = service.FindEntry(params->szEntryName);
  if (entry == nullptr) return ERROR_CANNOT_FIND_PHONEBOOK_ENTRY;
  CopyText(params->szPhoneNumber, entry->phone);
  params->szCallbackNumber[0] = '\0';
  CopyText(params->szUserName, entry->user);
  CopyText(params->szPassword, entry->password_saved ? entry->password : std::string());
  CopyText(params->szDomain, entry->domain);
  *password_saved = entry->password_saved ? TRUE : FALSE;
  return 0;
}

DWORD APIENTRY RasSetEntryDialParamsA(LPCSTR phonebook, LPRASDIALPARAMSA params,
                                      BOOL remove_password) {
  Service& service = Service::Instance();
  auto lock = service.Lock();
  service.Refresh();
  if (params == nullptr) return ERROR_INVALID_PARAMETER;
  if (!rassim::IsDialParamsSize(params->dwSize)) return ERROR_INVALID_SIZE;
  if (phonebook != nullptr && phonebook[0] != '\0') return ERROR_CANNOT_OPEN_PHONEBOOK;
  rassim::EntryConfig* entry = service.FindEntry(params->szEntryName);
  if (entry == nullptr) {
    service.Log("RasSetEntryDialParamsA entry=" + Quoted(params->szEntryName) + " result=623");
    return ERROR_CANNOT_FIND_PHONEBOOK_ENTRY;
  }
  entry->user = params->szUserName;
  entry->domain = params->szDomain;
  if (remove_password) {
    entry->password.clear();
    entry->password_saved = false;
  } else {
    entry->password = params->szPassword;
    entry->password_saved = true;
  }
  service.Log("RasSetEntryDialParamsA entry=" + Quoted(entry->name) +
              " user=" + Quoted(entry->user) + " password=" +
              (remove_password ? std::string("removed") : service.PasswordForLog(entry->password)) +
              " result=0");
  return 0;
}

DWORD APIENTRY RasGetConnectionStatistics(HRASCONN handle, RAS_STATS* statistics) {
  Service& service = Service::Instance();
  auto lock = service.Lock();
  service.Refresh();
  if (statistics == nullptr) return ERROR_INVALID_PARAMETER;
  if (statistics->dwSize != sizeof(RAS_STATS)) return ERROR_INVALID_SIZE;
  const Connection* connection = FindValid(service, handle);
  if (connection == nullptr) return ERROR_INVALID_HANDLE;
  std::memset(statistics, 0, sizeof(RAS_STATS));
  statistics->dwSize = sizeof(RAS_STATS);
  if (connection->phase == rassim::Phase::kConnected) {
    const ULONGLONG elapsed = GetTickCount64() - connection->connected_at;
    const rassim::Counters counters = rassim::CountersAfter(service.config(), elapsed);
    statistics->dwBytesXmited = counters.bytes_xmit;
    statistics->dwBytesRcved = counters.bytes_recv;
    // Frames of about 500 bytes.
    statistics->dwFramesXmited = counters.bytes_xmit / 500;
    statistics->dwFramesRcved = counters.bytes_recv / 500;
    statistics->dwBps = service.config().speed;
    statistics->dwConnectDuration = static_cast<DWORD>(elapsed);
  }
  return 0;
}

}  // extern "C"
