#include "mapisim_model.h"

#include <cctype>
#include <cstdio>
#include <cstdlib>

namespace mapisim {
namespace {

std::string Trim(std::string_view text) {
  size_t begin = 0, end = text.size();
  while (begin < end && std::isspace(static_cast<unsigned char>(text[begin]))) ++begin;
  while (end > begin && std::isspace(static_cast<unsigned char>(text[end - 1]))) --end;
  return std::string(text.substr(begin, end - begin));
}

std::string Lower(std::string text) {
  for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return text;
}

// "a | b | c" -> {"a", "b", "c"}.
std::vector<std::string> Fields(std::string_view text) {
  std::vector<std::string> fields;
  for (;;) {
    const size_t bar = text.find('|');
    fields.push_back(Trim(text.substr(0, bar)));
    if (bar == std::string_view::npos) return fields;
    text.remove_prefix(bar + 1);
  }
}

std::optional<uint32_t> Number(const std::string& text) {
  if (text.empty()) return std::nullopt;
  char* end = nullptr;
  const unsigned long value = std::strtoul(text.c_str(), &end, 0);
  if (*end != '\0') return std::nullopt;
  return static_cast<uint32_t>(value);
}

std::optional<Lookup> LookupOf(const std::string& word) {
  if (word == "found") return Lookup::kFound;
  if (word == "not-found") return Lookup::kNotFound;
  if (word == "ambiguous") return Lookup::kAmbiguous;
  return std::nullopt;
}

// Reads one directive; returns the reason when it cannot.
std::string ParseLine(const std::string& keyword, const std::string& rest, Config& config) {
  const std::vector<std::string> fields = Fields(rest);
  if (keyword == "logon") {
    if (rest == "accept") {
      config.logon_refusals = 0;
    } else if (rest == "refuse always") {
      config.logon_refusals = -1;
    } else if (rest.rfind("refuse ", 0) == 0 && Number(rest.substr(7))) {
      config.logon_refusals = static_cast<int>(*Number(rest.substr(7)));
    } else {
      return "logon: accept, refuse <n> or refuse always";
    }
  } else if (keyword == "logon-result") {
    if (!Number(rest)) return "logon-result: a number";
    config.logon_refusal_code = *Number(rest);
  } else if (keyword == "address") {
    // "address <display name> | <type>:<address>": found by the name, by the
    // address with its type and by the address alone.
    if (fields.size() != 2 || fields[0].empty()) return "address: <name> | <address>";
    const Person person{fields[0], fields[1]};
    config.rules.push_back({fields[0], Lookup::kFound, person});
    config.rules.push_back({fields[1], Lookup::kFound, person});
    const size_t colon = fields[1].find(':');
    if (colon != std::string::npos)
      config.rules.push_back({fields[1].substr(colon + 1), Lookup::kFound, person});
  } else if (keyword == "resolve") {
    if (fields.size() != 3 || fields[0].empty()) return "resolve: <input> | <name> | <address>";
    config.rules.push_back({fields[0], Lookup::kFound, {fields[1], fields[2]}});
  } else if (keyword == "not-found" || keyword == "ambiguous") {
    if (rest.empty()) return keyword + ": a name";
    config.rules.push_back({rest, *LookupOf(keyword), {}});
  } else if (keyword == "unknown") {
    if (!LookupOf(rest)) return "unknown: found, not-found or ambiguous";
    config.unknown = *LookupOf(rest);
  } else if (keyword == "pick") {
    if (fields.size() != 2) return "pick: <name> | <address>";
    config.pick = Person{fields[0], fields[1]};
  } else if (keyword == "send") {
    if (rest == "accept") {
      config.send_result = kSuccess;
      config.send_cancel = false;
    } else if (rest == "cancel") {
      config.send_cancel = true;
    } else if (rest.rfind("fail ", 0) == 0 && Number(rest.substr(5))) {
      config.send_result = *Number(rest.substr(5));
    } else {
      return "send: accept, cancel or fail <code>";
    }
  } else {
    return "unknown keyword: " + keyword;
  }
  return {};
}

}  // namespace

Config ParseControl(std::string_view text, std::vector<std::string>& problems) {
  Config config;
  int number = 0;
  while (!text.empty()) {
    const size_t eol = text.find('\n');
    const std::string line = Trim(text.substr(0, eol));
    text.remove_prefix(eol == std::string_view::npos ? text.size() : eol + 1);
    ++number;
    if (line.empty() || line[0] == '#') continue;
    const size_t space = line.find(' ');
    const std::string keyword = line.substr(0, space);
    const std::string rest = space == std::string::npos ? "" : Trim(line.substr(space + 1));
    const std::string problem = ParseLine(keyword, rest, config);
    if (!problem.empty()) problems.push_back("line " + std::to_string(number) + ": " + problem);
  }
  return config;
}

Resolution Resolve(const Config& config, const std::string& name, uint32_t flags) {
  Lookup lookup = config.unknown;
  Person person{name, "SMTP:" + name};
  for (const Rule& rule : config.rules) {
    if (Lower(rule.input) == Lower(name)) {
      lookup = rule.lookup;
      person = rule.person;
      break;
    }
  }
  if (lookup == Lookup::kFound) return {kSuccess, person};
  if (!(flags & kDialogFlag)) {
    return {lookup == Lookup::kNotFound ? kUnknownRecipient : kAmbiguousRecipient, {}};
  }
  if (!config.pick) return {kUserAbort, {}};
  return {kSuccess, *config.pick};
}

std::string Quoted(std::string_view value) {
  std::string out = "\"";
  for (unsigned char c : value) {
    switch (c) {
      case '\\':
        out += "\\\\";
        break;
      case '"':
        out += "\\\"";
        break;
      case '\r':
        out += "\\r";
        break;
      case '\n':
        out += "\\n";
        break;
      case '\t':
        out += "\\t";
        break;
      default:
        if (c < 0x20 || c == 0x7F) {
          char hex[8];
          std::snprintf(hex, sizeof hex, "\\x%02X", c);
          out += hex;
        } else {
          out += static_cast<char>(c);
        }
    }
  }
  return out + "\"";
}

}  // namespace mapisim
