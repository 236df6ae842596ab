#include "net/smtp_client.h"

namespace tarnwick::net {

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
  stream_ = network_.Connect(host_, kSmtpPort, kConnectTimeoutMs);
  reader_ = std::make_unique<LineReader>(*stream_, clock_);
  Expect(ReadReply(*reader_, kReplyTimeoutMs), {220});
  if (Command("ehlo " + local_host_).code == 250) return;
  Expect(Command("Helo " + local_host_), {250});
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
