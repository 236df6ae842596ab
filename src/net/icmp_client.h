#pragma once
// The ICMP echo client of the ping keep-alive (the main window's `ICMP`): one
// echo request per Ping over a raw socket, one datagram read back within the
// receive time-out, the outcome handed to OnReply. The answer is not matched
// against the request: the first ICMP datagram of an accepted type ends the
// exchange, whoever it belongs to.
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "net/icmp_packet.h"

namespace tarnwick::net {

inline constexpr int kIcmpTimeToLive = 128;
inline constexpr int kIcmpDefaultReceiveTimeoutMs = 5000;

// One raw IPv4 socket for protocol ICMP; closed when destroyed.
class IcmpSocket {
 public:
  virtual ~IcmpSocket() = default;
  // Sends `size` bytes to the dotted IPv4 `address`; throws SocketError.
  virtual void SendTo(const std::string& address, const uint8_t* data, size_t size) = 0;
  // Waits up to `timeout_ms` for one datagram and reads it into `buffer`; returns
  // its size, or 0 when none came in time. Throws SocketError.
  virtual size_t Receive(uint8_t* buffer, size_t size, int timeout_ms) = 0;
};

// What Ping needs from the system.
class IcmpNetwork {
 public:
  virtual ~IcmpNetwork() = default;
  // Opens a raw ICMP socket with the IP time-to-live `ttl`; throws SocketError
  // (for example without the right to open raw sockets).
  virtual std::unique_ptr<IcmpSocket> OpenRawSocket(int ttl) = 0;
  // Looks a host name up; returns a dotted IPv4 address or throws SocketError.
  virtual std::string ResolveHost(const std::string& name) = 0;
  virtual uint32_t TickCount() = 0;  // milliseconds since boot
  virtual uint32_t ProcessId() = 0;
};

class IcmpClient {
 public:
  explicit IcmpClient(IcmpNetwork& network) : network_(network) {}

  std::string host;  // name or dotted IPv4 address; "localhost" in any case is 127.0.0.1
  int receive_timeout_ms = kIcmpDefaultReceiveTimeoutMs;
  std::function<void(const TReplyStatus&)> OnReply;

  // One exchange: build and send the request (then count the sequence up), wait
  // at most `receive_timeout_ms` for a datagram, decode it, call OnReply, close
  // the socket. No answer is no error: OnReply gets the timed-out record. Throws
  // SocketError for resolution, socket, send and receive failures and Error for
  // an empty host or a datagram DecodeReply rejects.
  void Ping();

  uint16_t sequence() const { return sequence_; }
  void set_sequence(uint16_t value) { sequence_ = value; }

 private:
  std::string ResolveTarget();

  IcmpNetwork& network_;
  uint16_t sequence_ = 0;
};

}  // namespace tarnwick::net
