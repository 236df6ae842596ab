#pragma once
// Simple MAPI as the mail component uses it, free of the platform: the five
// calls of a send, with their flags and result codes. The Win32 adapter
// (mapi_win32.h) maps them onto the functions of the system's mapi32 library.
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace tarnwick {

using MapiSession = uintptr_t;

// Flags.
inline constexpr uint32_t kMapiLogonUi = 0x1;           // MAPI_LOGON_UI
inline constexpr uint32_t kMapiNewSession = 0x2;        // MAPI_NEW_SESSION
inline constexpr uint32_t kMapiDialog = 0x8;            // MAPI_DIALOG
inline constexpr uint32_t kMapiReceiptRequested = 0x2;  // MAPI_RECEIPT_REQUESTED
inline constexpr uint32_t kMapiForceDownload = 0x1000;  // MAPI_FORCE_DOWNLOAD

// Results.
inline constexpr uint32_t kMapiSuccess = 0;
inline constexpr uint32_t kMapiUserAbort = 1;
inline constexpr uint32_t kMapiLogonFailure = 3;
inline constexpr uint32_t kMapiTooManyRecipients = 10;
inline constexpr uint32_t kMapiUnknownRecipient = 14;
inline constexpr uint32_t kMapiAmbiguousRecipient = 21;

// Recipient classes.
enum MapiRecipientClass : uint32_t { kMapiTo = 1, kMapiCc = 2, kMapiBcc = 3 };

// One recipient as resolution returns it and as the message carries it. An
// entry identifier that is empty is passed as none.
struct MapiRecipient {
  uint32_t recipient_class = kMapiTo;
  std::string name;
  std::string address;
  std::vector<uint8_t> entry_id;
  bool operator==(const MapiRecipient&) const = default;
};

struct MapiMail {
  std::string subject;  // none when empty
  std::string note_text;
  std::vector<MapiRecipient> recipients;
  uint32_t flags = 0;  // MAPI_RECEIPT_REQUESTED
};

class SimpleMapi {
 public:
  virtual ~SimpleMapi() = default;
  // MAPILogon without a parent window; an empty profile or password is passed as none.
  virtual uint32_t Logon(const std::string& profile, const std::string& password, uint32_t flags,
                         MapiSession& session) = 0;
  // MAPIResolveName. The adapter copies the answer out of MAPI's buffer and
  // releases that buffer with MAPIFreeBuffer before it returns.
  virtual uint32_t ResolveName(MapiSession session, const std::string& name, uint32_t flags,
                               MapiRecipient& resolved) = 0;
  virtual uint32_t SendMail(MapiSession session, const MapiMail& mail, uint32_t flags) = 0;
  virtual uint32_t Logoff(MapiSession session) = 0;
};

// Whether the system says a mail system is set up, before anything is loaded: on
// Windows above 3.51 the "MAPI" value of HKLM\SOFTWARE\Microsoft\Windows
// Messaging Subsystem is exactly "1"; on older ones the "MAPI" entry of the
// profile's "Mail" section is not 0.
bool MapiConfigured(uint32_t major, uint32_t minor,
                    const std::optional<std::string>& messaging_value,
                    const std::function<int()>& profile_entry);

inline constexpr const char* kMapiUnavailable = "MAPI services are not available on this system";
inline constexpr const char* kMapiProcMissing = "GetProcAddress for MAPI.DLL function(s) failed";

}  // namespace tarnwick
