#pragma once
// SMTP client of the e-mail steps. Operations are connect (greeting, hello and,
// when chosen, TLS and sign-in), send and disconnect ("Quit"); each completes or
// throws Error with the server's reply text or a socket error text. With the
// default options (port 25, no TLS, no user) the conversation is the plain one
// of old.
#include <cstdint>
#include <memory>
#include <string>

#include "net/line_reader.h"
#include "net/mail_message.h"
#include "net/transport.h"

namespace tarnwick::net {

inline constexpr uint16_t kSmtpPort = 25;

enum class SmtpSecurity : int32_t {
  kNone = 0,      // plain text throughout
  kStartTls = 1,  // STARTTLS after the hello; refused when the server does not offer it
  kTls = 2,       // TLS from the first byte (submission on port 465)
};

struct SmtpOptions {
  uint16_t port = kSmtpPort;
  SmtpSecurity security = SmtpSecurity::kNone;
  std::string user;  // empty: no sign-in
  std::string password;
};

// What an EHLO reply offers, as far as this client cares.
struct SmtpCapabilities {
  bool starttls = false;
  bool auth_plain = false;
  bool auth_login = false;
};
// Reads the keywords of a 250 reply to EHLO (its first line is the greeting).
SmtpCapabilities ParseEhloReply(const Reply& reply);

class SmtpClient {
 public:
  // `local_host` is the name given in the hello.
  SmtpClient(Network& network, std::string local_host, Clock clock = SteadyClock());
  ~SmtpClient();

  void SetHost(std::string host) { host_ = std::move(host); }
  void SetOptions(SmtpOptions options) { options_ = std::move(options); }
  bool Connected() const { return stream_ != nullptr; }

  // Connects and says hello ("ehlo", then "Helo" when refused and nothing more
  // than the hello is needed), then STARTTLS and a second "ehlo", and signs in
  // with AUTH PLAIN or LOGIN, as the options ask. Throws Error without
  // connecting when no host is set, and Error("Already connected.") while a
  // connection is open. A refused greeting, hello or sign-in leaves the
  // connection open: Disconnect closes it. The password never appears in an error.
  void Connect();

  // "Rset", the envelope, "Data" and the message; returns the server's reply
  // to the message. The connection stays open when this fails.
  Reply Send(const MailMessage& message);

  // Sends "Quit" without reading a reply and closes; does nothing when not
  // connected. Never throws.
  void Disconnect();

 private:
  Reply Command(const std::string& line);
  SmtpCapabilities Hello(bool allow_helo);
  void StartTls();
  void SignIn(const SmtpCapabilities& offered);

  Network& network_;
  std::string local_host_;
  Clock clock_;
  std::string host_;
  SmtpOptions options_;
  std::unique_ptr<Stream> stream_;
  std::unique_ptr<LineReader> reader_;
};

}  // namespace tarnwick::net
