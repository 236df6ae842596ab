#pragma once
// The plain-text message of an e-mail step: recipients parsed out of the "To"
// text, and the bytes written after "Data" (headers, empty line, body, ".").
#include <string>
#include <string_view>
#include <vector>

namespace tarnwick::net {

struct Recipient {
  std::string name;  // display name, may be empty
  std::string address;
  bool operator==(const Recipient&) const = default;
};

// Splits at commas outside double quotes; each trimmed, non-empty piece is one
// recipient: "Name <addr>", "addr (Name)" or a bare address. Quotes around a
// display name are removed.
std::vector<Recipient> ParseRecipients(std::string_view text);

// Body text split into lines at CR LF, CR or LF; a final line break adds no
// empty line.
std::vector<std::string> SplitBodyLines(std::string_view text);

struct MailMessage {
  std::string from;
  std::vector<Recipient> to;
  std::string subject;
  std::vector<std::string> body;
  std::string date;     // the Date header's value, set when the message is sent
  unsigned code_page = 1252;  // of encoded words: the system's ANSI code page
};

// Throws Error when the sender, a recipient or the subject holds a CR, LF or NUL:
// such text would inject protocol or header lines.
void CheckMessage(const MailMessage& message);

// One "To" entry: bare address, or "%s <%s>" with the name quoted or encoded.
std::string FormatRecipient(const Recipient& recipient, unsigned code_page);

// Everything sent after "Data" up to and including the line ".".
std::string ComposeMessage(const MailMessage& message);

}  // namespace tarnwick::net
