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

}  // namespace

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
  reader_ = std::make_unique<LineReader>(*control_, clock_);
  Expect(ReadReply(*reader_, kReplyTimeoutMs), {220});
  Reply reply = Command("user " + user);
  if (reply.code == 331) {
    reply = Command("pass " + password);
    if (reply.code != 230) throw Error(Masked(reply.Text(), password));
  }
  Expect(reply, {230});
  Expect(Command("type I"), {200});
  Expect(Command("syst"), {200, 215, 500});
}

void FtpClient::ChangeDir(const std::string& directory) {
  CheckLineSafe(directory, "FTP path");
  if (!Connected()) throw Error("Not connected.");
  Expect(Command("CWD " + directory), {250});
}

void FtpClient::Store(std::string_view data, const std::string& name) {
  CheckLineSafe(name, "FTP path");
  if (!Connected()) throw Error("Not connected.");
  // Active mode: the server connects back to the address it already reaches us on.
  const std::unique_ptr<Listener> listener = network_.Listen(control_->LocalAddress());
  Expect(Command("PORT " + PortArgument(control_->LocalAddress(), listener->Port())), {200});
  Expect(Command(name.empty() ? std::string("STOU ") : "STOR " + name), {125, 150});
  {
    const std::unique_ptr<Stream> transfer =
        AcceptFrom(*listener, control_->PeerAddress(), clock_);
    transfer->Write(data);
    transfer->Close();
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
