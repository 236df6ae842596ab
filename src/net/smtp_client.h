#pragma once
// SMTP client of the e-mail steps: port 25, no authentication. Operations are
// connect (greeting and hello), send and disconnect ("Quit"); each completes or
// throws Error with the server's reply text or a socket error text.
#include <cstdint>
#include <memory>
#include <string>

#include "net/line_reader.h"
#include "net/mail_message.h"
#include "net/transport.h"

namespace tarnwick::net {

inline constexpr uint16_t kSmtpPort = 25;

class SmtpClient {
 public:
  // `local_host` is the name given in the hello.
  SmtpClient(Network& network, std::string local_host, Clock clock = SteadyClock());
  ~SmtpClient();

  void SetHost(std::string host) { host_ = std::move(host); }
  bool Connected() const { return stream_ != nullptr; }

  // Connects and says hello ("ehlo", then "Helo" when refused). Throws Error
  // without connecting when no host is set, and Error("Already connected.")
  // while a connection is open. A refused greeting or
  // hello leaves the connection open: Disconnect closes it.
  void Connect();

  // "Rset", the envelope, "Data" and the message; returns the server's reply
  // to the message. The connection stays open when this fails.
  Reply Send(const MailMessage& message);

  // Sends "Quit" without reading a reply and closes; does nothing when not
  // connected. Never throws.
  void Disconnect();

 private:
  Reply Command(const std::string& line);

  Network& network_;
  std::string local_host_;
  Clock clock_;
  std::string host_;
  std::unique_ptr<Stream> stream_;
  std::unique_ptr<LineReader> reader_;
};

}  // namespace tarnwick::net
