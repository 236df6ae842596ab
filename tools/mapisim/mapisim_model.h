#pragma once
// The simulated mail system's configuration and rules, free of Win32. The DLL
// (mapisim_dll.cpp) applies them and writes the event log.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace mapisim {

// Simple MAPI results the simulator gives.
inline constexpr uint32_t kSuccess = 0;
inline constexpr uint32_t kUserAbort = 1;
inline constexpr uint32_t kFailure = 2;
inline constexpr uint32_t kLogonFailure = 3;
inline constexpr uint32_t kUnknownRecipient = 14;
inline constexpr uint32_t kBadRecipType = 15;
inline constexpr uint32_t kInvalidSession = 19;
inline constexpr uint32_t kAmbiguousRecipient = 21;
inline constexpr uint32_t kInvalidRecips = 25;

inline constexpr uint32_t kDialogFlag = 0x8;   // MAPI_DIALOG
inline constexpr uint32_t kLogonUiFlag = 0x1;  // MAPI_LOGON_UI

struct Person {
  std::string name;     // display name
  std::string address;  // e.g. SMTP:joe@example.com
  bool operator==(const Person&) const = default;
};

// How a name resolves without MAPI_DIALOG.
enum class Lookup { kFound, kNotFound, kAmbiguous };

struct Rule {
  std::string input;  // the name as handed to MAPIResolveName (any letter case)
  Lookup lookup = Lookup::kFound;
  Person person;  // kFound: the answer
};

struct Config {
  // Logons refused before one is accepted; -1 refuses all of them.
  int logon_refusals = 0;
  uint32_t logon_refusal_code = kLogonFailure;
  std::vector<Rule> rules;
  Lookup unknown = Lookup::kFound;  // names no rule mentions
  std::optional<Person> pick;       // the user's choice in MAPI's pick dialog
  bool send_cancel = false;         // the user cancels (also the compose window)
  uint32_t send_result = kSuccess;
};

// Parses the control file; unreadable lines are described in `problems`.
Config ParseControl(std::string_view text, std::vector<std::string>& problems);

// The answer to MAPIResolveName of `name` with `flags`: the result and, on
// success, the person. A name without a rule resolves as the "unknown" line
// says, found as itself (address "SMTP:" + name). With MAPI_DIALOG a name
// that is not found or ambiguous gets the pick, or the user cancels.
struct Resolution {
  uint32_t result = kSuccess;
  Person person;
};
Resolution Resolve(const Config& config, const std::string& name, uint32_t flags);

// A value for the event log: quoted, with \\ \" \r \n \t and other control
// bytes as \xHH, so one event stays on one line.
std::string Quoted(std::string_view value);

}  // namespace mapisim
