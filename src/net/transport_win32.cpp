#include "net/transport_win32.h"

#include <windows.h>
#include <winsock2.h>
#include <ws2tcpip.h>

#include <algorithm>
#include <climits>
#include <utility>

#include "app/system_error.h"
#include "net/line_reader.h"

namespace tarnwick::net {
namespace {

SocketError Failure(int code) {
  return SocketError(code, SystemErrorText(static_cast<uint32_t>(code)));
}
SocketError LastFailure() {
  return Failure(WSAGetLastError());
}

class Socket {
 public:
  explicit Socket(SOCKET s) : s_(s) {}
  Socket(const Socket&) = delete;
  Socket& operator=(const Socket&) = delete;
  ~Socket() { Reset(); }
  SOCKET get() const { return s_; }
  SOCKET Release() { return std::exchange(s_, INVALID_SOCKET); }
  void Reset() {
    if (s_ != INVALID_SOCKET) closesocket(s_);
    s_ = INVALID_SOCKET;
  }

 private:
  SOCKET s_;
};

enum class WaitFor { kRead, kWrite, kConnect };

// Waits in slices of at most kWaitSliceMs with the window's messages processed
// between them. The slices follow the last processing, not the socket: a peer
// that sends a little at a time, faster than a slice, never leaves a slice
// empty, and the window must still answer while such a reply comes in.
class Waiter {
 public:
  Waiter(std::function<void()> pump, std::function<bool()> abandon)
      : pump_(std::move(pump)), abandon_(std::move(abandon)) {}

  void Wait(SOCKET s, WaitFor what, int timeout_ms) const {
    const ULONGLONG deadline = GetTickCount64() + static_cast<ULONGLONG>(std::max(timeout_ms, 0));
    for (;;) {
      const ULONGLONG now = GetTickCount64();
      if (now - last_pump_ >= static_cast<ULONGLONG>(kWaitSliceMs)) {
        last_pump_ = now;
        if (pump_) pump_();
        if (abandon_ && abandon_()) throw Failure(WSAEINTR);
      }
      const ULONGLONG until = std::min(deadline, last_pump_ + kWaitSliceMs);
      const int slice = now >= until ? 0 : static_cast<int>(until - now);
      fd_set main_set, error_set;
      FD_ZERO(&main_set);
      FD_ZERO(&error_set);
      FD_SET(s, &main_set);
      FD_SET(s, &error_set);
      timeval tv{slice / 1000, (slice % 1000) * 1000};
      const int n = select(0, what == WaitFor::kRead ? &main_set : nullptr,
                           what == WaitFor::kRead ? nullptr : &main_set,
                           what == WaitFor::kConnect ? &error_set : nullptr, &tv);
      if (n == SOCKET_ERROR) throw LastFailure();
      if (n > 0) {
        if (what == WaitFor::kConnect && FD_ISSET(s, &error_set)) {
          int error = 0;
          int length = sizeof error;
          getsockopt(s, SOL_SOCKET, SO_ERROR, reinterpret_cast<char*>(&error), &length);
          throw Failure(error ? error : WSAECONNREFUSED);
        }
        return;
      }
      if (GetTickCount64() >= deadline) throw Failure(WSAETIMEDOUT);
    }
  }

 private:
  std::function<void()> pump_;
  std::function<bool()> abandon_;
  // When messages were last processed; a stream keeps its waiter across reads.
  mutable ULONGLONG last_pump_ = GetTickCount64();
};

void MakeNonBlocking(SOCKET s) {
  u_long on = 1;
  if (ioctlsocket(s, FIONBIO, &on) != 0) throw LastFailure();
}

SOCKET NewSocket() {
  const SOCKET s = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
  if (s == INVALID_SOCKET) throw LastFailure();
  return s;
}

class WinsockStream : public Stream {
 public:
  WinsockStream(SOCKET s, Waiter waiter) : s_(s), waiter_(std::move(waiter)) {}

  void Write(std::string_view bytes) override {
    while (!bytes.empty()) {
      waiter_.Wait(s_.get(), WaitFor::kWrite, kReplyTimeoutMs);
      const int chunk = static_cast<int>(std::min<size_t>(bytes.size(), 64 * 1024));
      const int n = send(s_.get(), bytes.data(), chunk, 0);
      if (n == SOCKET_ERROR) {
        if (WSAGetLastError() == WSAEWOULDBLOCK) continue;
        throw LastFailure();
      }
      bytes.remove_prefix(static_cast<size_t>(n));
    }
  }

  size_t Read(char* buffer, size_t size, int timeout_ms) override {
    for (;;) {
      waiter_.Wait(s_.get(), WaitFor::kRead, timeout_ms);
      const int n = recv(s_.get(), buffer, static_cast<int>(std::min<size_t>(size, INT_MAX)), 0);
      if (n != SOCKET_ERROR) return static_cast<size_t>(n);
      if (WSAGetLastError() != WSAEWOULDBLOCK) throw LastFailure();
    }
  }

  std::string LocalAddress() const override {
    sockaddr_in address{};
    int length = sizeof address;
    if (getsockname(s_.get(), reinterpret_cast<sockaddr*>(&address), &length) != 0) {
      throw LastFailure();
    }
    char text[INET_ADDRSTRLEN] = {};
    inet_ntop(AF_INET, &address.sin_addr, text, sizeof text);
    return text;
  }

  void Close() override { s_.Reset(); }

 private:
  Socket s_;
  Waiter waiter_;
};

class WinsockListener : public Listener {
 public:
  WinsockListener(SOCKET s, uint16_t port, Waiter waiter)
      : s_(s), port_(port), waiter_(std::move(waiter)) {}
  uint16_t Port() const override { return port_; }

  std::unique_ptr<Stream> Accept(int timeout_ms) override {
    for (;;) {
      waiter_.Wait(s_.get(), WaitFor::kRead, timeout_ms);
      Socket accepted(accept(s_.get(), nullptr, nullptr));
      if (accepted.get() != INVALID_SOCKET) {
        MakeNonBlocking(accepted.get());
        return std::make_unique<WinsockStream>(accepted.Release(), waiter_);
      }
      if (WSAGetLastError() != WSAEWOULDBLOCK) throw LastFailure();
    }
  }

 private:
  Socket s_;
  uint16_t port_;
  Waiter waiter_;
};

}  // namespace

WinsockNetwork::WinsockNetwork(std::function<void()> pump, std::function<bool()> abandon)
    : pump_(std::move(pump)), abandon_(std::move(abandon)) {
  WSADATA data;
  started_ = WSAStartup(MAKEWORD(2, 2), &data) == 0;
}

WinsockNetwork::~WinsockNetwork() {
  if (started_) WSACleanup();
}

std::unique_ptr<Stream> WinsockNetwork::Connect(const std::string& host, uint16_t port,
                                                int timeout_ms) {
  if (!started_) throw Failure(WSANOTINITIALISED);
  addrinfo hints{};
  hints.ai_family = AF_INET;
  hints.ai_socktype = SOCK_STREAM;
  addrinfo* found = nullptr;
  const int rc = getaddrinfo(host.c_str(), nullptr, &hints, &found);
  if (rc != 0 || found == nullptr) throw Failure(rc ? rc : WSAHOST_NOT_FOUND);
  sockaddr_in address = *reinterpret_cast<const sockaddr_in*>(found->ai_addr);
  freeaddrinfo(found);
  address.sin_port = htons(port);

  Socket s(NewSocket());
  MakeNonBlocking(s.get());
  const Waiter waiter(pump_, abandon_);
  if (connect(s.get(), reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0) {
    if (WSAGetLastError() != WSAEWOULDBLOCK) throw LastFailure();
    waiter.Wait(s.get(), WaitFor::kConnect, timeout_ms);
  }
  return std::make_unique<WinsockStream>(s.Release(), waiter);
}

std::unique_ptr<Listener> WinsockNetwork::Listen(const std::string& local_address) {
  if (!started_) throw Failure(WSANOTINITIALISED);
  sockaddr_in address{};
  address.sin_family = AF_INET;
  if (inet_pton(AF_INET, local_address.c_str(), &address.sin_addr) != 1) {
    throw Failure(WSAEINVAL);
  }
  Socket s(NewSocket());
  MakeNonBlocking(s.get());
  if (bind(s.get(), reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0 ||
      listen(s.get(), 1) != 0) {
    throw LastFailure();
  }
  int length = sizeof address;
  if (getsockname(s.get(), reinterpret_cast<sockaddr*>(&address), &length) != 0) {
    throw LastFailure();
  }
  const uint16_t port = ntohs(address.sin_port);
  return std::make_unique<WinsockListener>(s.Release(), port, Waiter(pump_, abandon_));
}

std::string WinsockNetwork::LocalHostName() const {
  char name[256] = {};
  if (!started_ || gethostname(name, sizeof name - 1) != 0 || name[0] == 0) return "localhost";
  return name;
}

}  // namespace tarnwick::net
