#include "notify/mapi_win32.h"

#include <windows.h>
// After windows.h, whose types it uses.
#include <mapi.h>

#include <optional>

#include "app/error.h"
#include "ras/platform_info_win32.h"

namespace tarnwick {
namespace {

constexpr const char* kMessagingKey = "SOFTWARE\\Microsoft\\Windows Messaging Subsystem";

struct LibraryDeleter {
  void operator()(HMODULE module) const { FreeLibrary(module); }
};
using Library = std::unique_ptr<std::remove_pointer_t<HMODULE>, LibraryDeleter>;

// The "MAPI" value of the messaging key, when it is a string.
std::optional<std::string> MessagingValue() {
  HKEY key = nullptr;
  if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, kMessagingKey, 0, KEY_QUERY_VALUE, &key) != ERROR_SUCCESS)
    return std::nullopt;
  std::optional<std::string> value;
  DWORD type = 0, size = 0;
  if (RegQueryValueExA(key, "MAPI", nullptr, &type, nullptr, &size) == ERROR_SUCCESS &&
      (type == REG_SZ || type == REG_EXPAND_SZ)) {
    std::string data(size, '\0');
    if (RegQueryValueExA(key, "MAPI", nullptr, &type, reinterpret_cast<BYTE*>(data.data()),
                         &size) == ERROR_SUCCESS) {
      data.resize(std::min<size_t>(size, data.size()));
      value = data.substr(0, data.find('\0'));
    }
  }
  RegCloseKey(key);
  return value;
}

template <typename F>
F Proc(HMODULE module, const char* name) {
  return reinterpret_cast<F>(reinterpret_cast<void*>(GetProcAddress(module, name)));
}

LPSTR Text(const std::string& text) {
  return const_cast<LPSTR>(text.c_str());
}
LPSTR TextOrNone(const std::string& text) {
  return text.empty() ? nullptr : Text(text);
}

}  // namespace

class Win32Mapi : public SimpleMapi {
 public:
  explicit Win32Mapi(Library library) : library_(std::move(library)) {
    HMODULE m = library_.get();
    logon_ = Proc<LPMAPILOGON>(m, "MAPILogon");
    logoff_ = Proc<LPMAPILOGOFF>(m, "MAPILogoff");
    send_mail_ = Proc<LPMAPISENDMAIL>(m, "MAPISendMail");
    resolve_name_ = Proc<LPMAPIRESOLVENAME>(m, "MAPIResolveName");
    free_buffer_ = Proc<LPMAPIFREEBUFFER>(m, "MAPIFreeBuffer");
    // Sending does not call these, but a library without them is not a mail system.
    const bool others = GetProcAddress(m, "MAPIFindNext") && GetProcAddress(m, "MAPIReadMail") &&
                        GetProcAddress(m, "MAPIDeleteMail") && GetProcAddress(m, "MAPIAddress") &&
                        GetProcAddress(m, "MAPISaveMail");
    if (!logon_ || !logoff_ || !send_mail_ || !resolve_name_ || !free_buffer_ || !others)
      throw Error(kMapiProcMissing);
  }

  uint32_t Logon(const std::string& profile, const std::string& password, uint32_t flags,
                 MapiSession& session) override {
    LHANDLE handle = 0;
    const ULONG result = logon_(0, TextOrNone(profile), TextOrNone(password), flags, 0, &handle);
    session = result == SUCCESS_SUCCESS ? handle : 0;
    return result;
  }

  uint32_t ResolveName(MapiSession session, const std::string& name, uint32_t flags,
                       MapiRecipient& resolved) override {
    lpMapiRecipDesc found = nullptr;
    const ULONG result = resolve_name_(session, 0, Text(name), flags, 0, &found);
    if (!found) return result == SUCCESS_SUCCESS ? MAPI_E_FAILURE : result;
    if (result == SUCCESS_SUCCESS) {
      resolved.recipient_class = found->ulRecipClass;
      resolved.name = found->lpszName ? found->lpszName : "";
      resolved.address = found->lpszAddress ? found->lpszAddress : "";
      const auto* id = static_cast<const uint8_t*>(found->lpEntryID);
      resolved.entry_id.assign(id, id ? id + found->ulEIDSize : id);
    }
    // The entry holds its own copies now.
    free_buffer_(found);
    return result;
  }

  uint32_t SendMail(MapiSession session, const MapiMail& mail, uint32_t flags) override {
    std::vector<MapiRecipDesc> recipients;
    recipients.reserve(mail.recipients.size());
    for (const MapiRecipient& r : mail.recipients) {
      MapiRecipDesc d{};
      d.ulRecipClass = r.recipient_class;
      d.lpszName = Text(r.name);
      d.lpszAddress = TextOrNone(r.address);
      d.ulEIDSize = static_cast<ULONG>(r.entry_id.size());
      d.lpEntryID = r.entry_id.empty() ? nullptr : const_cast<uint8_t*>(r.entry_id.data());
      recipients.push_back(d);
    }
    MapiMessage message{};
    message.lpszSubject = TextOrNone(mail.subject);
    message.lpszNoteText = Text(mail.note_text);
    message.flFlags = mail.flags;
    message.nRecipCount = static_cast<ULONG>(recipients.size());
    message.lpRecips = recipients.empty() ? nullptr : recipients.data();
    return send_mail_(session, 0, &message, flags, 0);
  }

  uint32_t Logoff(MapiSession session) override { return logoff_(session, 0, 0, 0); }

 private:
  Library library_;
  LPMAPILOGON logon_ = nullptr;
  LPMAPILOGOFF logoff_ = nullptr;
  LPMAPISENDMAIL send_mail_ = nullptr;
  LPMAPIRESOLVENAME resolve_name_ = nullptr;
  LPMAPIFREEBUFFER free_buffer_ = nullptr;
};

std::unique_ptr<SimpleMapi> LoadMapiLibrary(const std::vector<std::string>& names) {
  Library library;
  // A missing or broken mail library must not stop the program with a system box.
  const UINT previous = SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX);
  for (const std::string& name : names) {
    library.reset(LoadLibraryExA(name.c_str(), nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32));
    if (library) break;
  }
  SetErrorMode(previous);
  if (!library) return nullptr;
  return std::make_unique<Win32Mapi>(std::move(library));
}

std::unique_ptr<SimpleMapi> LoadSystemMapi(const PlatformInfo& platform) {
  const bool configured = MapiConfigured(platform.major, platform.minor, MessagingValue(), [] {
    return static_cast<int>(GetProfileIntA("Mail", "MAPI", 0));
  });
  if (!configured) return nullptr;
  return LoadMapiLibrary({"mapi32", "mapi32.dll"});
}

SimpleMapi* SystemMapi() {
  struct Probe {
    std::unique_ptr<SimpleMapi> mapi;
    std::string error;
  };
  static Probe probe = [] {
    Probe p;
    try {
      p.mapi = LoadSystemMapi(QuerySystemPlatform());
    } catch (const Error& e) {
      p.error = e.what();
    }
    return p;
  }();
  if (!probe.error.empty()) throw Error(probe.error);
  return probe.mapi.get();
}

}  // namespace tarnwick
