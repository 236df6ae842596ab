#pragma once
// Network over Windows Sockets. Every wait (connect, send, receive, accept) is
// cut into slices of at most 100 ms with `pump` called between them, so that the
// window keeps processing its messages while a client waits for a server.
#include <functional>
#include <string>

#include "net/resolver_win32.h"
#include "net/tls_win32.h"
#include "net/transport.h"

namespace tarnwick::net {

class WinsockNetwork : public Network {
 public:
  // `pump` processes pending window messages; `abandon`, when given, ends a wait
  // early with an error when it returns true (the program is quitting). Host
  // names are looked up by `lookup` off this thread.
  explicit WinsockNetwork(std::function<void()> pump, std::function<bool()> abandon = {},
                          HostLookup lookup = SystemHostLookup());
  ~WinsockNetwork() override;
  WinsockNetwork(const WinsockNetwork&) = delete;
  WinsockNetwork& operator=(const WinsockNetwork&) = delete;

  std::unique_ptr<Stream> Connect(const std::string& host, uint16_t port, int timeout_ms) override;
  std::unique_ptr<Listener> Listen(const std::string& local_address) override;
  std::unique_ptr<Stream> Secure(std::unique_ptr<Stream> plain, const std::string& host) override;

  // The machine's host name, for the SMTP hello.
  std::string LocalHostName() const;

 private:
  std::function<void()> pump_;
  std::function<bool()> abandon_;
  Resolver resolver_;
  SchannelTls tls_;
  bool started_ = false;
};

// The system's ANSI code page, for encoded mail headers.
unsigned SystemCodePage();

}  // namespace tarnwick::net
