#include "net/mail_message.h"

#include "net/line_reader.h"
#include "net/rfc2047.h"

namespace tarnwick::net {
namespace {

std::string_view Trim(std::string_view text) {
  while (!text.empty() && static_cast<unsigned char>(text.front()) <= 32) text.remove_prefix(1);
  while (!text.empty() && static_cast<unsigned char>(text.back()) <= 32) text.remove_suffix(1);
  return text;
}

std::string StripQuotes(std::string_view name) {
  name = Trim(name);
  while (name.size() >= 2 && ((name.front() == '"' && name.back() == '"') ||
                              (name.front() == '\'' && name.back() == '\''))) {
    name = name.substr(1, name.size() - 2);
  }
  return std::string(name);
}

Recipient ParsePiece(std::string_view piece) {
  Recipient r;
  if (piece.back() == '>') {
    const size_t lt = piece.find('<');
    if (lt != std::string_view::npos) {
      r.address = Trim(piece.substr(lt + 1, piece.size() - lt - 2));
      r.name = StripQuotes(piece.substr(0, lt));
      return r;
    }
  } else if (piece.back() == ')') {
    const size_t lp = piece.find('(');
    if (lp != std::string_view::npos) {
      r.name = StripQuotes(piece.substr(lp + 1, piece.size() - lp - 2));
      r.address = Trim(piece.substr(0, lp));
      return r;
    }
  }
  r.address = piece;
  return r;
}

std::string QuoteName(std::string_view name) {
  std::string out = "\"";
  for (char c : name) {
    if (c == '\\' || c == '"') out += '\\';
    out += c;
  }
  return out + "\"";
}

void AddHeader(std::string& out, const char* name, const std::string& value) {
  if (!value.empty()) out += std::string(name) + ": " + value + "\r\n";
}

}  // namespace

std::vector<Recipient> ParseRecipients(std::string_view text) {
  std::vector<Recipient> result;
  bool quoted = false;
  size_t start = 0;
  for (size_t i = 0; i <= text.size(); ++i) {
    if (i < text.size() && text[i] == '"') quoted = !quoted;
    if (i == text.size() || (text[i] == ',' && !quoted)) {
      const std::string_view piece = Trim(text.substr(start, i - start));
      if (!piece.empty()) result.push_back(ParsePiece(piece));
      start = i + 1;
    }
  }
  return result;
}

std::vector<std::string> SplitBodyLines(std::string_view text) {
  std::vector<std::string> lines;
  size_t start = 0;
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] != '\r' && text[i] != '\n') continue;
    lines.emplace_back(text.substr(start, i - start));
    if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
    start = i + 1;
  }
  if (start < text.size()) lines.emplace_back(text.substr(start));
  return lines;
}

void CheckMessage(const MailMessage& message) {
  CheckLineSafe(message.from, "sender address");
  CheckLineSafe(message.subject, "subject");
  for (const Recipient& r : message.to) {
    CheckLineSafe(r.address, "recipient address");
    CheckLineSafe(r.name, "recipient name");
  }
}

std::string FormatRecipient(const Recipient& recipient, unsigned code_page) {
  if (recipient.name.empty()) return recipient.address;
  const std::string name = NeedsEncodedWords(recipient.name) ? EncodeWords(recipient.name, code_page)
                                                             : QuoteName(recipient.name);
  return name + " <" + recipient.address + ">";
}

std::string ComposeMessage(const MailMessage& message) {
  CheckMessage(message);
  std::string to;
  for (const Recipient& r : message.to) {
    if (!to.empty()) to += ", ";
    to += FormatRecipient(r, message.code_page);
  }
  const std::string subject = NeedsEncodedWords(message.subject)
                                  ? EncodeWords(message.subject, message.code_page)
                                  : message.subject;
  std::string out;
  AddHeader(out, "From", message.from);
  AddHeader(out, "Subject", subject);
  AddHeader(out, "To", to);
  AddHeader(out, "Date", message.date);
  AddHeader(out, "X-Priority", "3");
  out += "\r\n";
  for (const std::string& line : message.body) {
    // A body line can never end the data early: a leading "." is doubled.
    if (!line.empty() && line.front() == '.') out += '.';
    out += line + "\r\n";
  }
  out += ".\r\n";
  return out;
}

}  // namespace tarnwick::net
