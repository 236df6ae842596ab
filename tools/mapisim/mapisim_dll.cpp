// The simulated Simple MAPI: a mapi32.dll that records every logon, resolution,
// buffer release and message handed over to an event log and plays the results
// its control file scripts. See README.md.
#include <windows.h>
// After windows.h, whose types it uses.
#include <mapi.h>

#include <cstdio>
#include <cstring>
#include <fstream>
#include <map>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "mapisim_model.h"

namespace mapisim {
namespace {

constexpr char kDefaultControl[] = "C:\\mapisim\\control.txt";
constexpr char kDefaultLog[] = "C:\\mapisim\\events.log";
constexpr uintptr_t kSessionBase = 0x5E550000;
constexpr uint32_t kNotSupported = 26;
// Entry identifiers: this tag, then the number of the resolution that issued it.
constexpr char kIdTag[4] = {'M', 'S', 'I', 'M'};

std::string EnvOr(const char* name, const char* fallback) {
  char value[MAX_PATH] = {};
  const DWORD n = GetEnvironmentVariableA(name, value, sizeof(value));
  return (n > 0 && n < sizeof(value)) ? std::string(value) : std::string(fallback);
}

std::string Hex(uintptr_t value) {
  char text[32];
  std::snprintf(text, sizeof(text), "0x%llx", static_cast<unsigned long long>(value));
  return text;
}

std::string QuotedOrNone(const char* text) {
  return text ? Quoted(text) : "none";
}

class Service {
 public:
  static Service& Instance() {
    static Service service;
    return service;
  }

  void Refresh();
  void Log(const std::string& line);

  const Config& config() const { return config_; }
  bool TakeLogonRefusal() {
    if (config_.logon_refusals < 0) return true;
    if (refused_ >= config_.logon_refusals) return false;
    ++refused_;
    return true;
  }
  uintptr_t OpenSession() {
    const uintptr_t session = kSessionBase + ++session_count_;
    sessions_.insert(session);
    return session;
  }
  bool CloseSession(uintptr_t session) { return sessions_.erase(session) != 0; }
  // Session 0 is MAPI's implicit logon.
  bool KnownSession(uintptr_t session) const {
    return session == 0 || sessions_.count(session) != 0;
  }

  lpMapiRecipDesc NewRecipient(const Person& person);
  bool FreeBuffer(void* buffer);
  // The resolution that issued an entry identifier, or -1 when none did.
  int IssuedBy(const void* id, ULONG size) const;

 private:
  std::string loaded_path_;
  FILETIME loaded_time_{};
  ULONGLONG loaded_size_ = ~0ull;
  Config config_;
  int refused_ = 0;
  int session_count_ = 0;
  std::set<uintptr_t> sessions_;
  std::set<void*> buffers_;
  int issued_ = 0;
};

void Service::Log(const std::string& line) {
  std::ofstream out(EnvOr("MAPISIM_LOG", kDefaultLog), std::ios::binary | std::ios::app);
  out << line << "\r\n";
}

void Service::Refresh() {
  const std::string path = EnvOr("MAPISIM_CONTROL", kDefaultControl);
  WIN32_FILE_ATTRIBUTE_DATA data{};
  FILETIME time{};
  ULONGLONG size = ~0ull - 1;
  if (GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data)) {
    time = data.ftLastWriteTime;
    size = (static_cast<ULONGLONG>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
  }
  if (path == loaded_path_ && size == loaded_size_ && CompareFileTime(&time, &loaded_time_) == 0)
    return;
  loaded_path_ = path;
  loaded_time_ = time;
  loaded_size_ = size;
  std::ifstream in(path, std::ios::binary);
  std::stringstream text;
  if (in) text << in.rdbuf();
  std::vector<std::string> problems;
  config_ = ParseControl(text.str(), problems);
  // A new control file is a new scenario: refusals and entry identifiers count afresh.
  refused_ = 0;
  issued_ = 0;
  Log("load control=" + Quoted(path) + " problems=" + std::to_string(problems.size()));
  for (const std::string& problem : problems) Log("problem " + Quoted(problem));
}

// One block, as MAPI hands it out: the record, then its strings and identifier.
lpMapiRecipDesc Service::NewRecipient(const Person& person) {
  const size_t size = sizeof(MapiRecipDesc) + person.name.size() + 1 + person.address.size() + 1 +
                      sizeof(kIdTag) + sizeof(int);
  auto* block = static_cast<char*>(HeapAlloc(GetProcessHeap(), HEAP_ZERO_MEMORY, size));
  if (!block) return nullptr;
  auto* recipient = reinterpret_cast<lpMapiRecipDesc>(block);
  char* name = block + sizeof(MapiRecipDesc);
  char* address = name + person.name.size() + 1;
  char* id = address + person.address.size() + 1;
  std::memcpy(name, person.name.c_str(), person.name.size() + 1);
  std::memcpy(address, person.address.c_str(), person.address.size() + 1);
  const int number = ++issued_;
  std::memcpy(id, kIdTag, sizeof(kIdTag));
  std::memcpy(id + sizeof(kIdTag), &number, sizeof(number));
  recipient->ulRecipClass = MAPI_TO;
  recipient->lpszName = name;
  recipient->lpszAddress = person.address.empty() ? nullptr : address;
  recipient->ulEIDSize = sizeof(kIdTag) + sizeof(int);
  recipient->lpEntryID = id;
  buffers_.insert(block);
  return recipient;
}

bool Service::FreeBuffer(void* buffer) {
  if (buffers_.erase(buffer) == 0) return false;
  HeapFree(GetProcessHeap(), 0, buffer);
  return true;
}

int Service::IssuedBy(const void* id, ULONG size) const {
  int number = 0;
  if (!id || size != sizeof(kIdTag) + sizeof(number)) return -1;
  if (std::memcmp(id, kIdTag, sizeof(kIdTag)) != 0) return -1;
  std::memcpy(&number, static_cast<const char*>(id) + sizeof(kIdTag), sizeof(number));
  return number >= 1 && number <= issued_ ? number : -1;
}

std::string IdText(int number) {
  return number < 0 ? "none" : "MSIM#" + std::to_string(number);
}

}  // namespace
}  // namespace mapisim

using mapisim::Hex;
using mapisim::Quoted;
using mapisim::QuotedOrNone;
using mapisim::Service;

extern "C" {

ULONG WINAPI MAPILogon(ULONG_PTR, LPSTR profile, LPSTR password, FLAGS flags, ULONG,
                       LPLHANDLE session) {
  Service& s = Service::Instance();
  s.Refresh();
  ULONG result = SUCCESS_SUCCESS;
  std::string opened;
  if (!session) {
    result = MAPI_E_FAILURE;
  } else if (s.TakeLogonRefusal()) {
    result = s.config().logon_refusal_code;
    *session = 0;
  } else {
    *session = s.OpenSession();
    opened = " session=" + Hex(*session);
  }
  s.Log("MAPILogon profile=" + QuotedOrNone(profile) +
        " password=" + std::string(password ? "set" : "none") + " flags=" + Hex(flags) +
        " result=" + std::to_string(result) + opened);
  return result;
}

ULONG WINAPI MAPILogoff(LHANDLE session, ULONG_PTR, FLAGS, ULONG) {
  Service& s = Service::Instance();
  s.Refresh();
  const ULONG result = s.CloseSession(session) ? SUCCESS_SUCCESS : MAPI_E_INVALID_SESSION;
  s.Log("MAPILogoff session=" + Hex(session) + " result=" + std::to_string(result));
  return result;
}

ULONG WINAPI MAPIResolveName(LHANDLE session, ULONG_PTR, LPSTR name, FLAGS flags, ULONG,
                             lpMapiRecipDesc* recipient) {
  Service& s = Service::Instance();
  s.Refresh();
  std::string line = "MAPIResolveName session=" + Hex(session) + " input=" + QuotedOrNone(name) +
                     " flags=" + Hex(flags);
  ULONG result = SUCCESS_SUCCESS;
  if (!name || !recipient) {
    result = MAPI_E_FAILURE;
  } else if (!s.KnownSession(session)) {
    result = MAPI_E_INVALID_SESSION;
  } else {
    const mapisim::Resolution r = mapisim::Resolve(s.config(), name, flags);
    result = r.result;
    *recipient = nullptr;
    if (result == SUCCESS_SUCCESS) {
      *recipient = s.NewRecipient(r.person);
      if (!*recipient) {
        result = MAPI_E_INSUFFICIENT_MEMORY;
      } else {
        line +=
            " buffer=" + Hex(reinterpret_cast<uintptr_t>(*recipient)) +
            " name=" + Quoted(r.person.name) + " address=" + Quoted(r.person.address) +
            " eid=" + mapisim::IdText(s.IssuedBy((*recipient)->lpEntryID, (*recipient)->ulEIDSize));
      }
    }
  }
  s.Log(line + " result=" + std::to_string(result));
  return result;
}

ULONG WINAPI MAPIFreeBuffer(LPVOID buffer) {
  Service& s = Service::Instance();
  const bool known = s.FreeBuffer(buffer);
  s.Log("MAPIFreeBuffer buffer=" + Hex(reinterpret_cast<uintptr_t>(buffer)) +
        " result=" + std::to_string(known ? SUCCESS_SUCCESS : MAPI_E_FAILURE));
  if (!known) s.Log("problem " + Quoted("MAPIFreeBuffer: not a buffer of this library"));
  return known ? SUCCESS_SUCCESS : MAPI_E_FAILURE;
}

ULONG WINAPI MAPISendMail(LHANDLE session, ULONG_PTR, lpMapiMessage message, FLAGS flags, ULONG) {
  Service& s = Service::Instance();
  s.Refresh();
  ULONG result = SUCCESS_SUCCESS;
  std::vector<std::string> recipients;
  if (!message || (message->nRecipCount > 0 && !message->lpRecips)) {
    result = MAPI_E_FAILURE;
  } else if (!s.KnownSession(session)) {
    result = MAPI_E_INVALID_SESSION;
  } else {
    for (ULONG i = 0; i < message->nRecipCount; ++i) {
      const MapiRecipDesc& r = message->lpRecips[i];
      const int issued = s.IssuedBy(r.lpEntryID, r.ulEIDSize);
      recipients.push_back("recipient class=" + std::to_string(r.ulRecipClass) + " name=" +
                           QuotedOrNone(r.lpszName) + " address=" + QuotedOrNone(r.lpszAddress) +
                           " eid=" + mapisim::IdText(issued));
      if (result != SUCCESS_SUCCESS) continue;
      if (r.ulRecipClass < MAPI_TO || r.ulRecipClass > MAPI_BCC) {
        result = MAPI_E_BAD_RECIPTYPE;
      } else if ((!r.lpszName || !*r.lpszName) && (!r.lpszAddress || !*r.lpszAddress)) {
        result = MAPI_E_INVALID_RECIPS;
      } else if (r.ulEIDSize != 0 && issued < 0) {
        result = MAPI_E_INVALID_RECIPS;  // an identifier this library never handed out
      }
    }
    // Without recipients only the compose window can send: the user adds them there.
    if (result == SUCCESS_SUCCESS && message->nRecipCount == 0 && !(flags & MAPI_DIALOG))
      result = MAPI_E_INVALID_RECIPS;
    if (result == SUCCESS_SUCCESS)
      result = s.config().send_cancel ? MAPI_USER_ABORT : s.config().send_result;
  }
  std::string line = "MAPISendMail session=" + Hex(session) + " flags=" + Hex(flags) +
                     " result=" + std::to_string(result);
  if (message) {
    line += " subject=" + QuotedOrNone(message->lpszSubject) +
            " body=" + QuotedOrNone(message->lpszNoteText) +
            " receipt=" + std::string(message->flFlags & MAPI_RECEIPT_REQUESTED ? "yes" : "no") +
            " recipients=" + std::to_string(message->nRecipCount) +
            " attachments=" + std::to_string(message->nFileCount);
  }
  s.Log(line);
  for (const std::string& recipient : recipients) s.Log(recipient);
  return result;
}

// The rest of Simple MAPI: present, as a mail system's library has them, and
// refused, since the program only sends.
ULONG WINAPI MAPIFindNext(LHANDLE, ULONG_PTR, LPSTR, LPSTR, FLAGS, ULONG, LPSTR) {
  Service::Instance().Log("MAPIFindNext result=26");
  return mapisim::kNotSupported;
}
ULONG WINAPI MAPIReadMail(LHANDLE, ULONG_PTR, LPSTR, FLAGS, ULONG, lpMapiMessage*) {
  Service::Instance().Log("MAPIReadMail result=26");
  return mapisim::kNotSupported;
}
ULONG WINAPI MAPISaveMail(LHANDLE, ULONG_PTR, lpMapiMessage, FLAGS, ULONG, LPSTR) {
  Service::Instance().Log("MAPISaveMail result=26");
  return mapisim::kNotSupported;
}
ULONG WINAPI MAPIDeleteMail(LHANDLE, ULONG_PTR, LPSTR, FLAGS, ULONG) {
  Service::Instance().Log("MAPIDeleteMail result=26");
  return mapisim::kNotSupported;
}
ULONG WINAPI MAPIAddress(LHANDLE, ULONG_PTR, LPSTR, ULONG, LPSTR, ULONG, lpMapiRecipDesc, FLAGS,
                         ULONG, LPULONG, lpMapiRecipDesc*) {
  Service::Instance().Log("MAPIAddress result=26");
  return mapisim::kNotSupported;
}
ULONG WINAPI MAPIDetails(LHANDLE, ULONG_PTR, lpMapiRecipDesc, FLAGS, ULONG) {
  Service::Instance().Log("MAPIDetails result=26");
  return mapisim::kNotSupported;
}
ULONG WINAPI MAPISendDocuments(ULONG_PTR, LPSTR, LPSTR, LPSTR, ULONG) {
  Service::Instance().Log("MAPISendDocuments result=26");
  return mapisim::kNotSupported;
}

}  // extern "C"
