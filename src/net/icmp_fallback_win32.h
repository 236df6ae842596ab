#pragma once
// Echo requests without the right to raw sockets. On current Windows only an
// elevated process may open a raw ICMP socket, so for an ordinary user every
// ping of the keep-alive would send nothing. When opening the raw socket is
// refused, the same exchange goes through the system's ICMP helper
// (IcmpSendEcho2 of iphlpapi): same host, time-out and time to live, the same
// 44 bytes after the ICMP header, and the answer handed back as the datagram a
// raw socket would have read, so IcmpClient decodes it as usual.
#include <functional>
#include <memory>
#include <string>

#include "net/icmp_client.h"

namespace tarnwick::net {

class IcmpFallbackNetwork : public IcmpNetwork {
 public:
  // `raw` is tried first at every ping. `pump` processes window messages while
  // the helper's answer is awaited (slices of at most 100 ms); `quitting`, when
  // set, ends that wait early.
  IcmpFallbackNetwork(IcmpNetwork& raw, std::function<void()> pump,
                      std::function<bool()> quitting = nullptr);

  std::unique_ptr<IcmpSocket> OpenRawSocket(int ttl) override;
  std::string ResolveHost(const std::string& name) override { return raw_.ResolveHost(name); }
  uint32_t TickCount() override { return raw_.TickCount(); }
  uint32_t ProcessId() override { return raw_.ProcessId(); }

  // Exchanges that went through the helper since creation.
  int HelperExchanges() const { return helper_exchanges_; }

 private:
  IcmpNetwork& raw_;
  std::function<void()> pump_;
  std::function<bool()> quitting_;
  int helper_exchanges_ = 0;
};

}  // namespace tarnwick::net
