#pragma once
// A scripted raw-socket network for the echo client: records what was sent and
// hands back prepared datagrams.
#include <cstring>
#include <deque>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "net/icmp_client.h"
#include "net/transport.h"

namespace tarnwick::net::testing {

struct IcmpLog {
  std::vector<std::string> sent_to;
  std::vector<std::vector<uint8_t>> packets;
  std::vector<int> ttls;
  std::vector<int> receive_timeouts;
  std::deque<std::vector<uint8_t>> datagrams;  // empty entry: nothing arrives
  std::vector<std::string> resolved;
  int open_sockets = 0;
  std::optional<int> open_error, send_error, receive_error;
};

class FakeIcmpSocket : public IcmpSocket {
 public:
  explicit FakeIcmpSocket(IcmpLog& log) : log_(log) { ++log_.open_sockets; }
  ~FakeIcmpSocket() override { --log_.open_sockets; }
  void SendTo(const std::string& address, const uint8_t* data, size_t size) override {
    if (log_.send_error) throw SocketError(*log_.send_error, "send failed");
    log_.sent_to.push_back(address);
    log_.packets.emplace_back(data, data + size);
  }
  size_t Receive(uint8_t* buffer, size_t size, int timeout_ms) override {
    log_.receive_timeouts.push_back(timeout_ms);
    if (log_.receive_error) throw SocketError(*log_.receive_error, "receive failed");
    if (log_.datagrams.empty()) return 0;
    auto datagram = log_.datagrams.front();
    log_.datagrams.pop_front();
    size_t n = std::min(size, datagram.size());
    if (n) std::memcpy(buffer, datagram.data(), n);
    return n;
  }

 private:
  IcmpLog& log_;
};

class FakeIcmpNetwork : public IcmpNetwork {
 public:
  std::unique_ptr<IcmpSocket> OpenRawSocket(int ttl) override {
    if (log.open_error) throw SocketError(*log.open_error, "access denied");
    log.ttls.push_back(ttl);
    return std::make_unique<FakeIcmpSocket>(log);
  }
  std::string ResolveHost(const std::string& name) override {
    log.resolved.push_back(name);
    if (name == "example.net") return "192.0.2.7";
    throw SocketError(11001, "Host not found");
  }
  uint32_t TickCount() override { return tick; }
  uint32_t ProcessId() override { return pid; }

  IcmpLog log;
  uint32_t tick = 1000;
  uint32_t pid = 0x00ABCDEF;
};

// An IPv4 header of `header_words` 32-bit words, then the ICMP part.
inline std::vector<uint8_t> Datagram(uint8_t type, uint16_t sequence, uint32_t stamp,
                                     uint8_t ttl = 64, int header_words = 5) {
  std::vector<uint8_t> d(header_words * 4 + 12 + 32, 0);
  d[0] = static_cast<uint8_t>(0x40 | header_words);
  d[8] = ttl;
  d[12] = 10, d[13] = 1, d[14] = 2, d[15] = 3;
  uint8_t* icmp = d.data() + header_words * 4;
  icmp[0] = type;
  icmp[6] = static_cast<uint8_t>(sequence), icmp[7] = static_cast<uint8_t>(sequence >> 8);
  for (int i = 0; i < 4; ++i) icmp[8 + i] = static_cast<uint8_t>(stamp >> (8 * i));
  return d;
}

}  // namespace tarnwick::net::testing
