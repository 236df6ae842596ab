#pragma once
// Byte streams to servers, as the SMTP, FTP and HTTP clients see them. The
// Winsock implementation waits in slices of at most 100 ms and processes window
// messages between them; the POSIX one serves native interoperation tests;
// scripted ones serve transcript tests. Every wait is bounded by its timeout.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "app/error.h"

namespace tarnwick::net {

// Waits the clients use (milliseconds).
inline constexpr int kConnectTimeoutMs = 30000;
inline constexpr int kReplyTimeoutMs = 60000;
inline constexpr int kDataAcceptTimeoutMs = 60000;
inline constexpr int kHttpReadTimeoutMs = 60000;

// Windows Sockets' codes of a wait that ran out, and of one that ended because
// the program is quitting.
inline constexpr int kTimedOutCode = 10060;
inline constexpr int kInterruptedCode = 10004;

// A failed socket operation. The message is "Socket Error # <code>\r\n<text>".
class SocketError : public Error {
 public:
  SocketError(int code, const std::string& text);
  int code() const { return code_; }

 private:
  int code_;
};

class Stream {
 public:
  virtual ~Stream() = default;
  // Sends all of `bytes`; throws SocketError.
  virtual void Write(std::string_view bytes) = 0;
  // Waits up to `timeout_ms` for data; returns the number of bytes read (at least
  // 1), or 0 when the peer closed the connection. Throws SocketError on error or
  // time-out.
  virtual size_t Read(char* buffer, size_t size, int timeout_ms) = 0;
  // Dotted IPv4 address of this end of the connection.
  virtual std::string LocalAddress() const = 0;
  // Dotted IPv4 address of the other end, as it was when the connection was made.
  virtual std::string PeerAddress() const = 0;
  virtual void Close() = 0;
};

class Listener {
 public:
  virtual ~Listener() = default;
  virtual uint16_t Port() const = 0;
  // Waits up to `timeout_ms` for one connection; throws SocketError.
  virtual std::unique_ptr<Stream> Accept(int timeout_ms) = 0;
};

class Network {
 public:
  virtual ~Network() = default;
  // Resolves `host` (name or dotted address) and connects; throws SocketError.
  virtual std::unique_ptr<Stream> Connect(const std::string& host, uint16_t port,
                                          int timeout_ms) = 0;
  // Listens on `local_address` at a port the system chooses; throws SocketError.
  virtual std::unique_ptr<Listener> Listen(const std::string& local_address) = 0;
  // Continues `plain`, connected to `host`, in TLS with `host`'s certificate
  // verified. Throws Error naming why the server was refused; nothing more is
  // sent to it then. The default has no TLS at all.
  virtual std::unique_ptr<Stream> Secure(std::unique_ptr<Stream> plain, const std::string& host);
};

}  // namespace tarnwick::net
