#include "net/smtp_client.h"

#include <cctype>
#include <vector>

#include "net/base64.h"

namespace tarnwick::net {
namespace {

std::string Upper(std::string text) {
  for (char& c : text) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return text;
}

// The words of a line, split at white space. Not a string stream: its locale
// machinery would add half a megabyte to the program.
std::vector<std::string> Words(const std::string& line) {
  std::vector<std::string> words;
  std::string word;
  for (const char c : line) {
    if (std::isspace(static_cast<unsigned char>(c))) {
      if (!word.empty()) words.push_back(std::move(word));
      word.clear();
    } else {
      word += c;
    }
  }
  if (!word.empty()) words.push_back(std::move(word));
  return words;
}

}  // namespace

SmtpCapabilities ParseEhloReply(const Reply& reply) {
  SmtpCapabilities offered;
  for (size_t i = 1; i < reply.lines.size(); ++i) {
    std::vector<std::string> words = Words(Upper(reply.lines[i]));
    if (words.empty()) continue;
    const std::string& keyword = words[0];
    if (keyword == "STARTTLS") offered.starttls = true;
    // "AUTH=" is how some older servers still announce the same list.
    if (keyword != "AUTH" && keyword.rfind("AUTH=", 0) != 0) continue;
    words[0] = keyword.size() > 5 ? keyword.substr(5) : std::string();  // "AUTH=X" → "X"
    for (const std::string& mechanism : words) {
      if (mechanism == "PLAIN") offered.auth_plain = true;
      if (mechanism == "LOGIN") offered.auth_login = true;
    }
  }
  return offered;
}

SmtpClient::SmtpClient(Network& network, std::string local_host, Clock clock)
    : network_(network), local_host_(std::move(local_host)), clock_(std::move(clock)) {
  // The name goes into a command line: anything that could break it is dropped.
  if (local_host_.empty() ||
      local_host_.find_first_of(std::string("\r\n\0 ", 4)) != std::string::npos) {
    local_host_ = "localhost";
  }
}

SmtpClient::~SmtpClient() {
  Disconnect();
}

Reply SmtpClient::Command(const std::string& line) {
  stream_->Write(line + "\r\n");
  return ReadReply(*reader_, kReplyTimeoutMs);
}

void SmtpClient::Connect() {
  // The system's lookup takes an empty name for this machine; it is a missing setting.
  if (host_.empty()) throw Error("No SMTP server name is set.");
  if (Connected()) throw Error("Already connected.");
  const bool sign_in = !options_.user.empty();
  if (sign_in) {
    CheckLineSafe(options_.user, "user name");
    // A password goes over an encrypted connection only.
    if (options_.security == SmtpSecurity::kNone) {
      throw Error("The SMTP password is sent only over TLS: choose STARTTLS or TLS.");
    }
  }
  stream_ = network_.Connect(host_, options_.port, kConnectTimeoutMs);
  if (options_.security == SmtpSecurity::kTls) {
    stream_ = network_.Secure(std::move(stream_), host_);
  }
  reader_ = std::make_unique<LineReader>(*stream_, clock_);
  Expect(ReadReply(*reader_, kReplyTimeoutMs), {220});
  SmtpCapabilities offered =
      Hello(options_.security != SmtpSecurity::kStartTls && !sign_in);
  if (options_.security == SmtpSecurity::kStartTls) {
    if (!offered.starttls) {
      throw Error("The SMTP server does not offer STARTTLS; nothing was sent.");
    }
    StartTls();
    offered = Hello(false);
  }
  if (sign_in) SignIn(offered);
}

SmtpCapabilities SmtpClient::Hello(bool allow_helo) {
  const Reply reply = Command("ehlo " + local_host_);
  if (reply.code == 250) return ParseEhloReply(reply);
  // Without EHLO there are no extensions: fine only when none is needed.
  if (!allow_helo) throw Error(reply.Text());
  Expect(Command("Helo " + local_host_), {250});
  return {};
}

void SmtpClient::StartTls() {
  Expect(Command("STARTTLS"), {220});
  // A new reader: whatever the server sent in plain text after its 220 must not
  // be read as if it came through TLS.
  reader_.reset();
  // The plain stream is handed over: a refused handshake leaves none behind.
  stream_ = network_.Secure(std::move(stream_), host_);
  reader_ = std::make_unique<LineReader>(*stream_, clock_);
}

void SmtpClient::SignIn(const SmtpCapabilities& offered) {
  const auto refused = [](const Reply& reply) {
    return Error("The SMTP server refused the sign-in: " + reply.Text());
  };
  if (offered.auth_plain) {
    const std::string token('\0' + options_.user + '\0' + options_.password);
    const Reply reply = Command("AUTH PLAIN " + Base64Encode(token));
    if (reply.code != 235) throw refused(reply);
    return;
  }
  if (offered.auth_login) {
    Reply reply = Command("AUTH LOGIN");
    if (reply.code == 334) reply = Command(Base64Encode(options_.user));
    if (reply.code == 334) reply = Command(Base64Encode(options_.password));
    if (reply.code != 235) throw refused(reply);
    return;
  }
  throw Error("The SMTP server offers no sign-in this program knows (PLAIN or LOGIN).");
}

Reply SmtpClient::Send(const MailMessage& message) {
  if (!Connected()) throw Error("Not connected.");
  // Composed first: a refused header value stops the send before any byte goes out.
  const std::string data = ComposeMessage(message);
  Command("Rset");
  Expect(Command("Mail from:<" + message.from + ">"), {250});
  // 251: the user is not local and the server forwards the mail; a success too.
  for (const Recipient& r : message.to) {
    Expect(Command("RCPT to:<" + r.address + ">"), {250, 251});
  }
  Expect(Command("Data"), {354});
  stream_->Write(data);
  Reply accepted = ReadReply(*reader_, kReplyTimeoutMs);
  Expect(accepted, {250});
  return accepted;
}

void SmtpClient::Disconnect() {
  if (!Connected()) return;
  try {
    stream_->Write("Quit\r\n");
  } catch (const Error&) {
    // The connection may already be gone; closing is all that is left to do.
  }
  stream_->Close();
  reader_.reset();
  stream_.reset();
}

}  // namespace tarnwick::net
