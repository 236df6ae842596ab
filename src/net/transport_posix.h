#pragma once
// Network over POSIX sockets (IPv4), for native interoperation tests. Waits use
// poll() with the caller's time-out; nothing here processes window messages.
#include <string>

#include "net/transport.h"

namespace tarnwick::net {

class PosixNetwork : public Network {
 public:
  std::unique_ptr<Stream> Connect(const std::string& host, uint16_t port, int timeout_ms) override;
  std::unique_ptr<Listener> Listen(const std::string& local_address) override;

  // The machine's host name, for the SMTP hello.
  static std::string LocalHostName();
};

}  // namespace tarnwick::net
