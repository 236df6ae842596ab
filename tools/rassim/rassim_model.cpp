#include "rassim_model.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cstdlib>

namespace rassim {
namespace {

struct ErrorEntry {
  int code;
  const char* text;
};

constexpr std::array<ErrorEntry, 23> kErrorTexts = {{
    {600, "An operation is pending."},
    {602, "The port is already open."},
    {603, "The caller's buffer is too small."},
    {608, "The device does not exist."},
    {610, "The caller's buffer is not valid."},
    {619,
     "A connection to the remote computer could not be established, so the port used for "
     "this connection was closed."},
    {621, "The system could not open the phone book file."},
    {623, "The system could not find the phone book entry for this connection."},
    {629, "The connection was closed by the remote computer."},
    {631, "The port was disconnected by the user."},
    {632, "The structure size is incorrect."},
    {633, "The modem is already in use or is not configured for dialing out."},
    {651, "The modem (or other connecting device) has reported an error."},
    {668, "The connection was terminated."},
    {676, "The phone line is busy."},
    {678, "There was no answer."},
    {680, "There was no dial tone."},
    {691, "Access was denied because the username and/or password was invalid on the domain."},
    {718,
     "The connection was terminated because the remote computer did not respond in a "
     "timely manner."},
    {720,
     "The connection attempt failed because your computer and the remote computer could "
     "not agree on PPP control protocols."},
    {730, "The computer has not completed protocol configuration."},
    {731, "The protocol is not configured."},
    {756, "This connection is already being dialed."},
}};

std::string_view Trim(std::string_view s) {
  while (!s.empty() && static_cast<unsigned char>(s.front()) <= ' ') s.remove_prefix(1);
  while (!s.empty() && static_cast<unsigned char>(s.back()) <= ' ') s.remove_suffix(1);
  return s;
}

// Splits off the first word.
std::string_view NextWord(std::string_view& rest) {
  rest = Trim(rest);
  const size_t end = std::min(rest.find_first_of(" \t"), rest.size());
  std::string_view word = rest.substr(0, end);
  rest = Trim(rest.substr(end));
  return word;
}

std::optional<long long> ParseNumber(std::string_view text) {
  long long value = 0;
  const auto [ptr, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (ec != std::errc() || ptr != text.data() + text.size()) return std::nullopt;
  return value;
}

std::optional<bool> ParseYesNo(std::string_view text) {
  if (text == "yes" || text == "1" || text == "true") return true;
  if (text == "no" || text == "0" || text == "false") return false;
  return std::nullopt;
}

// "connect" | "fail <error> at <state>" | "silent at <state>"
std::optional<Outcome> ParseOutcome(std::string_view rest) {
  const std::string_view kind = NextWord(rest);
  Outcome outcome;
  if (kind == "connect") return rest.empty() ? std::optional(outcome) : std::nullopt;
  if (kind == "fail") {
    const auto error = ParseNumber(NextWord(rest));
    if (!error || *error <= 0 || NextWord(rest) != "at") return std::nullopt;
    const auto state = ParseNumber(NextWord(rest));
    if (!state || !rest.empty()) return std::nullopt;
    outcome.kind = Outcome::kFail;
    outcome.error = static_cast<int>(*error);
    outcome.at_state = static_cast<int>(*state);
    return outcome;
  }
  if (kind == "silent") {
    if (NextWord(rest) != "at") return std::nullopt;
    const auto state = ParseNumber(NextWord(rest));
    if (!state || !rest.empty()) return std::nullopt;
    outcome.kind = Outcome::kSilent;
    outcome.at_state = static_cast<int>(*state);
    return outcome;
  }
  return std::nullopt;
}

}  // namespace

const EntryConfig* Config::Find(std::string_view name) const {
  for (const EntryConfig& entry : entries) {
    if (entry.name == name) return &entry;
  }
  return nullptr;
}

Config ParseControl(std::string_view text, std::vector<std::string>& problems) {
  Config config;
  EntryConfig* current = nullptr;
  int line_number = 0;
  while (!text.empty()) {
    const size_t eol = std::min(text.find('\n'), text.size());
    std::string_view line = text.substr(0, eol);
    text.remove_prefix(std::min(eol + 1, text.size()));
    ++line_number;
    line = Trim(line);
    if (line.empty() || line.front() == '#') continue;
    std::string_view rest = line;
    const std::string_view key = NextWord(rest);
    const std::string value(rest);
    auto problem = [&](const char* why) {
      problems.push_back("line " + std::to_string(line_number) + ": " + why + ": " +
                         std::string(line));
    };
    auto number = [&](long long min, long long max) -> std::optional<long long> {
      const auto n = ParseNumber(rest);
      if (!n || *n < min || *n > max) {
        problem("bad number");
        return std::nullopt;
      }
      return n;
    };
    auto in_entry = [&]() {
      if (current == nullptr) problem("no entry before this line");
      return current != nullptr;
    };

    if (key == "entry") {
      if (value.empty()) {
        problem("entry without a name");
        current = nullptr;
        continue;
      }
      config.entries.push_back(EntryConfig{});
      current = &config.entries.back();
      current->name = value;
    } else if (key == "entries") {
      // "entries <count> <prefix>": <prefix> 1 .. <prefix> <count>
      const auto count = ParseNumber(NextWord(rest));
      if (!count || *count < 0 || *count > 10000 || rest.empty()) {
        problem("expected: entries <count> <name prefix>");
        continue;
      }
      for (long long i = 1; i <= *count; ++i) {
        EntryConfig entry;
        entry.name = std::string(rest) + " " + std::to_string(i);
        config.entries.push_back(entry);
      }
      current = nullptr;
    } else if (key == "user") {
      if (in_entry()) current->user = value;
    } else if (key == "password") {
      if (in_entry()) {
        current->password = value;
        current->password_saved = true;
      }
    } else if (key == "password-saved") {
      const auto yes = ParseYesNo(value);
      if (!yes) {
        problem("expected yes or no");
      } else if (in_entry()) {
        current->password_saved = *yes;
      }
    } else if (key == "domain") {
      if (in_entry()) current->domain = value;
    } else if (key == "phone") {
      if (in_entry()) current->phone = value;
    } else if (key == "device") {
      const std::string type(NextWord(rest));
      if (type.empty() || rest.empty()) {
        problem("expected: device <type> <name>");
      } else if (in_entry()) {
        current->device_type = type;
        current->device_name = std::string(rest);
      }
    } else if (key == "outcome") {
      const auto outcome = ParseOutcome(rest);
      if (!outcome) {
        problem("expected: outcome connect | fail <error> at <state> | silent at <state>");
      } else if (in_entry()) {
        current->outcome = *outcome;
      }
    } else if (key == "step-delay") {
      if (auto n = number(0, 60000)) config.step_delay_ms = static_cast<int>(*n);
    } else if (key == "hangup-delay") {
      if (value == "never") {
        config.hangup_never = true;
      } else if (auto n = number(0, 60000)) {
        config.hangup_delay_ms = static_cast<int>(*n);
        config.hangup_never = false;
      }
    } else if (key == "client-ip") {
      config.client_ip = value;
    } else if (key == "server-ip") {
      config.server_ip = value;
    } else if (key == "rates") {
      const auto xmit = ParseNumber(NextWord(rest));
      const auto recv = ParseNumber(NextWord(rest));
      if (!xmit || !recv || *xmit < 0 || *recv < 0 || !rest.empty()) {
        problem("expected: rates <sent per second> <received per second>");
      } else {
        config.rate_xmit = static_cast<uint32_t>(*xmit);
        config.rate_recv = static_cast<uint32_t>(*recv);
      }
    } else if (key == "speed") {
      if (auto n = number(0, 0xFFFFFFFFll)) config.speed = static_cast<uint32_t>(*n);
    } else if (key == "log-passwords") {
      if (auto yes = ParseYesNo(value)) {
        config.log_passwords = *yes;
      } else {
        problem("expected yes or no");
      }
    } else if (key == "states") {
      std::vector<int> states;
      bool ok = true;
      while (!rest.empty()) {
        const auto state = ParseNumber(NextWord(rest));
        if (!state) ok = false;
        if (state) states.push_back(static_cast<int>(*state));
      }
      if (ok) {
        config.states = states;
      } else {
        problem("expected state numbers");
      }
    } else if (key == "error-text") {
      const auto code = ParseNumber(NextWord(rest));
      if (!code || rest.empty()) {
        problem("expected: error-text <code> <text>");
      } else {
        config.error_texts.emplace_back(static_cast<int>(*code), std::string(rest));
      }
    } else if (key == "connected" || key == "drop") {
      if (value.empty()) {
        problem("expected an entry name");
      } else {
        config.actions.push_back(Action{key == "drop" ? Action::kDrop : Action::kConnect, value});
      }
    } else {
      problem("unknown keyword");
    }
  }
  return config;
}

std::vector<Step> DialSteps(const Config& config, const Outcome& outcome) {
  std::vector<Step> steps;
  for (int state : config.states) {
    steps.push_back({state, 0});
    if (outcome.kind != Outcome::kConnect && state == outcome.at_state) {
      if (outcome.kind == Outcome::kFail) steps.push_back({state, outcome.error});
      return steps;
    }
  }
  if (outcome.kind == Outcome::kConnect) {
    steps.push_back({kStateConnected, 0});
  } else {
    // A state outside the progress list: the dial reaches it last.
    steps.push_back({outcome.at_state, 0});
    if (outcome.kind == Outcome::kFail) steps.push_back({outcome.at_state, outcome.error});
  }
  return steps;
}

std::string ClientAddress(const std::string& pattern, int serial) {
  const size_t at = pattern.find("{n}");
  if (at == std::string::npos) return pattern;
  const int host = 2 + (std::max(serial, 1) - 1) % 253;
  return pattern.substr(0, at) + std::to_string(host) + pattern.substr(at + 3);
}

Counters CountersAfter(const Config& config, uint64_t elapsed_ms) {
  Counters counters;
  counters.bytes_xmit = static_cast<uint32_t>(config.rate_xmit * elapsed_ms / 1000);
  counters.bytes_recv = static_cast<uint32_t>(config.rate_recv * elapsed_ms / 1000);
  return counters;
}

std::optional<std::string> RasErrorText(const Config& config, int code) {
  for (auto it = config.error_texts.rbegin(); it != config.error_texts.rend(); ++it) {
    if (it->first == code) return it->second;
  }
  for (const ErrorEntry& entry : kErrorTexts) {
    if (entry.code == code) return std::string(entry.text);
  }
  return std::nullopt;
}

}  // namespace rassim
