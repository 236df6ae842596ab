#pragma once
// The simulated RAS service's configuration and rules, free of Win32 so that
// they are unit-tested natively. The DLL (rassim_dll.cpp) applies them.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace rassim {

// RAS connection states used by the simulator.
inline constexpr int kStateOpenPort = 0;
inline constexpr int kStateConnected = 0x2000;

// What a dial of an entry does.
struct Outcome {
  enum Kind { kConnect, kFail, kSilent };
  Kind kind = kConnect;
  int error = 0;     // kFail: the RAS error reported
  int at_state = 0;  // kFail/kSilent: the state where the dial fails or stops answering
  bool operator==(const Outcome&) const = default;
};

struct EntryConfig {
  std::string name;
  std::string user;
  std::string password;
  std::string domain;
  std::string phone;
  bool password_saved = false;
  std::string device_type = "modem";
  std::string device_name = "Simulated Modem";
  Outcome outcome;
};

struct Action {
  enum Kind { kConnect, kDrop };
  Kind kind = kConnect;
  std::string entry;
};

struct Config {
  std::vector<EntryConfig> entries;
  int step_delay_ms = 20;
  int hangup_delay_ms = 10;
  bool hangup_never = false;
  std::string client_ip = "10.64.0.{n}";
  std::string server_ip = "10.64.0.1";
  uint32_t rate_xmit = 1200;  // bytes per second while connected
  uint32_t rate_recv = 4800;
  uint32_t speed = 53333;  // bits per second
  bool log_passwords = false;
  // Progress states of a successful dial, in order, before "Connected".
  std::vector<int> states = {0, 1, 2, 3, 4, 5, 6, 10, 14, 18};
  std::vector<Action> actions;
  // Texts added or replaced by the control file ("error-text <code> <text>").
  std::vector<std::pair<int, std::string>> error_texts;

  const EntryConfig* Find(std::string_view name) const;
};

// Parses the control file. Lines it cannot read are skipped and described in
// `problems` (line number and reason) so that a typo is visible in the log.
Config ParseControl(std::string_view text, std::vector<std::string>& problems);

// The notifications of one dial, in order: (state, error) pairs.
struct Step {
  int state = 0;
  int error = 0;
  bool operator==(const Step&) const = default;
};
std::vector<Step> DialSteps(const Config& config, const Outcome& outcome);

// The client address of connection number `serial`: "{n}" in the pattern is
// replaced by the serial (kept within 2..254 so that it stays an address).
std::string ClientAddress(const std::string& pattern, int serial);

// Counters of a connection that has been up for `elapsed_ms`.
struct Counters {
  uint32_t bytes_xmit = 0;
  uint32_t bytes_recv = 0;
};
Counters CountersAfter(const Config& config, uint64_t elapsed_ms);

// The system's message for a RAS error the simulator knows (its own table plus
// the control file's texts); nullopt for other codes.
std::optional<std::string> RasErrorText(const Config& config, int code);

}  // namespace rassim
