#pragma once
// FTP client of the upload step: image type, one file per store; active mode
// unless passive is chosen, plain text unless explicit TLS (AUTH TLS) is.
// Each operation completes or throws Error with the server's reply text or a
// socket error text; the password never appears in an error.
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "net/line_reader.h"
#include "net/transport.h"

namespace tarnwick::net {

struct FtpOptions {
  // EPSV, else PASV; the data connection always goes to the control
  // connection's peer, whatever address a PASV reply names.
  bool passive = false;
  // AUTH TLS before the login, PBSZ 0 and PROT P after it, and every data
  // connection in TLS (resuming the control connection's session).
  bool tls = false;
};

// The port of a 229 reply: "... (|||port|)" with any delimiter in place of "|".
uint16_t ParseEpsvPort(const std::string& text);
// The port of a 227 reply: the last two of the six numbers "h1,h2,h3,h4,p1,p2".
uint16_t ParsePasvPort(const std::string& text);

class FtpClient {
 public:
  explicit FtpClient(Network& network, Clock clock = SteadyClock());
  ~FtpClient();

  void SetOptions(FtpOptions options) { options_ = options; }

  bool Connected() const { return control_ != nullptr; }

  // Connects and logs in: "user", "pass" after 331, "type I", "syst". An empty
  // `host` is refused before connecting.
  void Connect(const std::string& host, uint16_t port, const std::string& user,
               const std::string& password);

  // One "CWD" with the whole directory text.
  void ChangeDir(const std::string& directory);

  // "PORT" on the control connection's local address, "STOR name" ("STOU " when
  // `name` is empty), then sends `data` over the connection the server opens;
  // connections from other addresses are closed unused.
  void Store(std::string_view data, const std::string& name);

  // Sends "Quit" without waiting for a reply and closes; does nothing when not
  // connected. Never throws.
  void Quit();

 private:
  Reply Command(const std::string& line);
  std::unique_ptr<Stream> OpenPassive();

  Network& network_;
  FtpOptions options_;
  std::string host_;
  Clock clock_;
  std::unique_ptr<Stream> control_;
  std::unique_ptr<LineReader> reader_;
};

// "PORT" argument: the four address bytes and the port's high and low bytes.
std::string PortArgument(const std::string& dotted_address, uint16_t port);

}  // namespace tarnwick::net
