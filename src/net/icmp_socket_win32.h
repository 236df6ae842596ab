#pragma once
// Winsock raw ICMP sockets for IcmpClient. Opening one needs administrator
// rights (a raw socket); the wait for the answer is cut into slices of at most
// 100 ms with `pump` (the window's message processing) between them.
#include <functional>
#include <memory>
#include <string>

#include "net/icmp_client.h"
#include "net/resolver_win32.h"
#include "net/transport.h"

namespace tarnwick::net {

class WinsockIcmpNetwork : public IcmpNetwork {
 public:
  // `quitting`, when set, ends a receive wait early (as a time-out) and a name
  // lookup with an error. Names are looked up by `lookup` off this thread, for
  // at most `lookup_timeout_ms`.
  explicit WinsockIcmpNetwork(std::function<void()> pump, std::function<bool()> quitting = nullptr,
                              HostLookup lookup = SystemHostLookup(),
                              int lookup_timeout_ms = kConnectTimeoutMs);
  ~WinsockIcmpNetwork() override;
  WinsockIcmpNetwork(const WinsockIcmpNetwork&) = delete;
  WinsockIcmpNetwork& operator=(const WinsockIcmpNetwork&) = delete;

  std::unique_ptr<IcmpSocket> OpenRawSocket(int ttl) override;
  std::string ResolveHost(const std::string& name) override;
  uint32_t TickCount() override;
  uint32_t ProcessId() override;

 private:
  std::function<void()> pump_;
  std::function<bool()> quitting_;
  Resolver resolver_;
  int lookup_timeout_ms_;
  bool started_ = false;
};

}  // namespace tarnwick::net
