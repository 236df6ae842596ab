#include "net/ftp_client.h"

#include "app/text_utils.h"

namespace tarnwick::net {
namespace {

std::string Masked(std::string text, const std::string& secret) {
  if (secret.empty()) return text;
  for (size_t at = text.find(secret); at != std::string::npos; at = text.find(secret, at + 5)) {
    text.replace(at, secret.size(), "*****");
  }
  return text;
}

// The server's data connection. Anyone may connect to the announced port
// first: only a connection from the server's own address carries the file;
// others are closed and the wait goes on, within its one time limit.
std::unique_ptr<Stream> AcceptFrom(Listener& listener, const std::string& server,
                                   const Clock& clock) {
  const int64_t deadline = clock() + kDataAcceptTimeoutMs;
  for (;;) {
    const int64_t left = deadline - clock();
    if (left <= 0) throw TimedOutError();
    std::unique_ptr<Stream> data = listener.Accept(static_cast<int>(left));
    if (data->PeerAddress() == server) return data;
    data->Close();
  }
}

Error Malformed(const std::string& text) {
  return Error("Malformed passive reply from server: " + text);
}

}  // namespace

uint16_t ParseEpsvPort(const std::string& text) {
  const size_t open = text.find('(');
  const size_t close = text.find(')', open == std::string::npos ? 0 : open);
  if (open == std::string::npos || close == std::string::npos || close - open < 6) {
    throw Malformed(text);
  }
  const std::string inside = text.substr(open + 1, close - open - 1);
  const char d = inside[0];
  // "|||port|": three delimiters, the digits, one more.
  if (inside.size() < 5 || inside[1] != d || inside[2] != d || inside.back() != d) {
    throw Malformed(text);
  }
  const std::string digits = inside.substr(3, inside.size() - 4);
  const auto port = digits.find_first_not_of("0123456789") == std::string::npos && digits.size() <= 5
                        ? TryStrToInt(digits)
                        : std::nullopt;
  if (!port || *port < 1 || *port > 65535) throw Malformed(text);
  return static_cast<uint16_t>(*port);
}

uint16_t ParsePasvPort(const std::string& text) {
  // "Entering Passive Mode (h1,h2,h3,h4,p1,p2)"; some servers leave out the brackets.
  const size_t bracket = text.find('(');
  size_t at = text.find_first_of("0123456789", bracket == std::string::npos ? 0 : bracket);
  int values[6] = {};
  for (int i = 0; i < 6; ++i) {
    if (at == std::string::npos || at >= text.size()) throw Malformed(text);
    const size_t end = text.find_first_not_of("0123456789", at);
    const std::string digits = text.substr(at, end - at);
    const auto value = !digits.empty() && digits.size() <= 3 ? TryStrToInt(digits) : std::nullopt;
    if (!value || *value > 255) throw Malformed(text);
    values[i] = *value;
    if (i < 5) {
      if (end == std::string::npos || text[end] != ',') throw Malformed(text);
      at = end + 1;
    }
  }
  const int port = values[4] * 256 + values[5];
  if (port < 1) throw Malformed(text);
  return static_cast<uint16_t>(port);
}

std::string PortArgument(const std::string& dotted_address, uint16_t port) {
  std::string out;
  int parts = 0;
  size_t start = 0;
  for (;;) {
    const size_t dot = dotted_address.find('.', start);
    const auto value = TryStrToInt(dotted_address.substr(start, dot - start));
    if (!value || *value < 0 || *value > 255 || dotted_address[start] == '$') break;
    out += std::to_string(*value) + ",";
    ++parts;
    if (dot == std::string::npos) break;
    start = dot + 1;
  }
  if (parts != 4) throw Error("No IPv4 address for the data connection: " + dotted_address);
  return out + std::to_string(port >> 8) + "," + std::to_string(port & 0xFF);
}

FtpClient::FtpClient(Network& network, Clock clock) : network_(network), clock_(std::move(clock)) {}

FtpClient::~FtpClient() {
  Quit();
}

Reply FtpClient::Command(const std::string& line) {
  control_->Write(line + "\r\n");
  return ReadReply(*reader_, kReplyTimeoutMs);
}

void FtpClient::Connect(const std::string& host, uint16_t port, const std::string& user,
                        const std::string& password) {
  CheckLineSafe(user, "FTP user name");
  CheckLineSafe(password, "FTP password");
  // The system's lookup takes an empty name for this machine; it is a missing setting.
  if (host.empty()) throw Error("No FTP server name is set.");
  if (Connected()) throw Error("Already connected.");
  control_ = network_.Connect(host, port, kConnectTimeoutMs);
  host_ = host;
  reader_ = std::make_unique<LineReader>(*control_, clock_);
  Expect(ReadReply(*reader_, kReplyTimeoutMs), {220});
  if (options_.tls) {
    Expect(Command("AUTH TLS"), {234});
    // A new reader: nothing sent in plain text after 234 counts.
    reader_.reset();
    control_ = network_.Secure(std::move(control_), host_);
    reader_ = std::make_unique<LineReader>(*control_, clock_);
  }
  Reply reply = Command("user " + user);
  if (reply.code == 331) {
    reply = Command("pass " + password);
    if (reply.code != 230) throw Error(Masked(reply.Text(), password));
  }
  Expect(reply, {230});
  if (options_.tls) {
    Expect(Command("PBSZ 0"), {200});
    Expect(Command("PROT P"), {200});
  }
  Expect(Command("type I"), {200});
  Expect(Command("syst"), {200, 215, 500});
}

void FtpClient::ChangeDir(const std::string& directory) {
  CheckLineSafe(directory, "FTP path");
  if (!Connected()) throw Error("Not connected.");
  Expect(Command("CWD " + directory), {250});
}

std::unique_ptr<Stream> FtpClient::OpenPassive() {
  Reply reply = Command("EPSV");
  uint16_t port = 0;
  if (reply.code == 229) {
    port = ParseEpsvPort(reply.Text());
  } else {
    // Servers without EPSV refuse it (500, 502); PASV is the older way.
    reply = Command("PASV");
    Expect(reply, {227});
    port = ParsePasvPort(reply.Text());
  }
  // The address in a PASV reply is never used: a server behind NAT names its
  // private one, and a hostile one could aim us at a third party.
  return network_.Connect(control_->PeerAddress(), port, kConnectTimeoutMs);
}

void FtpClient::Store(std::string_view data, const std::string& name) {
  CheckLineSafe(name, "FTP path");
  if (!Connected()) throw Error("Not connected.");
  std::unique_ptr<Stream> transfer;
  std::unique_ptr<Listener> listener;
  if (options_.passive) {
    transfer = OpenPassive();
  } else {
    // Active mode: the server connects back to the address it already reaches us on.
    listener = network_.Listen(control_->LocalAddress());
    Expect(Command("PORT " + PortArgument(control_->LocalAddress(), listener->Port())), {200});
  }
  Expect(Command(name.empty() ? std::string("STOU ") : "STOR " + name), {125, 150});
  {
    if (!transfer) transfer = AcceptFrom(*listener, control_->PeerAddress(), clock_);
    // The client end of the TLS handshake, in active mode too.
    if (options_.tls) transfer = network_.Secure(std::move(transfer), host_);
    transfer->Write(data);
    transfer->Close();
    transfer.reset();
  }
  const Reply done = ReadReply(*reader_, kReplyTimeoutMs);
  if (done.code == 426) {
    // Some servers report the closing of the data connection as 426, then 226.
    if (ReadReply(*reader_, kReplyTimeoutMs).code != 226) throw Error(done.Text());
    return;
  }
  Expect(done, {225, 226, 250});
}

void FtpClient::Quit() {
  if (!Connected()) return;
  try {
    control_->Write("Quit\r\n");
  } catch (const Error&) {
    // Nothing more to say to a server that has gone away.
  }
  control_->Close();
  reader_.reset();
  control_.reset();
}

}  // namespace tarnwick::net
