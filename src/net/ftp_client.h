#pragma once
// FTP client of the upload step: active mode, image type, one file per store.
// Each operation completes or throws Error with the server's reply text or a
// socket error text; the password never appears in an error.
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "net/line_reader.h"
#include "net/transport.h"

namespace tarnwick::net {

class FtpClient {
 public:
  explicit FtpClient(Network& network, Clock clock = SteadyClock());
  ~FtpClient();

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

  Network& network_;
  Clock clock_;
  std::unique_ptr<Stream> control_;
  std::unique_ptr<LineReader> reader_;
};

// "PORT" argument: the four address bytes and the port's high and low bytes.
std::string PortArgument(const std::string& dotted_address, uint16_t port);

}  // namespace tarnwick::net
