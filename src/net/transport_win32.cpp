#include "net/transport_win32.h"

#include <windows.h>
#include <winsock2.h>
#include <ws2tcpip.h>

#include <algorithm>
#include <climits>
#include <utility>

#include "app/system_error.h"
#include "net/line_reader.h"
#include "net/sliced_wait.h"

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

// Waits in slices with message processing between them, like every wait of the
// user-interface thread.
class Waiter {
 public:
  Waiter(std::function<void()> pump, std::function<bool()> abandon)
      : pump_(std::move(pump)), abandon_(std::move(abandon)) {}

  void Wait(SOCKET s, WaitFor what, int timeout_ms) const {
    SlicedWait wait;
    wait.now_ms = [] { return static_cast<uint64_t>(GetTickCount64()); };
    wait.ready = [s, what](int slice) {
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
      if (n > 0 && what == WaitFor::kConnect && FD_ISSET(s, &error_set)) {
        int error = 0;
        int length = sizeof error;
        getsockopt(s, SOL_SOCKET, SO_ERROR, reinterpret_cast<char*>(&error), &length);
        throw Failure(error ? error : WSAECONNREFUSED);
      }
      return n > 0;
    };
    wait.pump = pump_;
    wait.quitting = abandon_;
    wait.last_pump = &last_pump_;
    if (WaitInSlices(wait, timeout_ms)) return;
    throw Failure(Abandoned() ? WSAEINTR : WSAETIMEDOUT);
  }

  bool Abandoned() const { return abandon_ && abandon_(); }

 private:
  std::function<void()> pump_;
  std::function<bool()> abandon_;
  // A stream keeps its waiter, and so this, across its reads and writes.
  mutable uint64_t last_pump_ = GetTickCount64();
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

std::string Dotted(const sockaddr_in& address) {
  char text[INET_ADDRSTRLEN] = {};
  inet_ntop(AF_INET, &address.sin_addr, text, sizeof text);
  return text;
}

class WinsockStream : public Stream {
 public:
  WinsockStream(SOCKET s, Waiter waiter, std::string peer)
      : s_(s), waiter_(std::move(waiter)), peer_(std::move(peer)) {}

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
    return Dotted(address);
  }

  std::string PeerAddress() const override { return peer_; }

  void Close() override { s_.Reset(); }

 private:
  Socket s_;
  Waiter waiter_;
  std::string peer_;
};

class WinsockListener : public Listener {
 public:
  WinsockListener(SOCKET s, uint16_t port, Waiter waiter)
      : s_(s), port_(port), waiter_(std::move(waiter)) {}
  uint16_t Port() const override { return port_; }

  std::unique_ptr<Stream> Accept(int timeout_ms) override {
    for (;;) {
      waiter_.Wait(s_.get(), WaitFor::kRead, timeout_ms);
      sockaddr_in peer{};
      int length = sizeof peer;
      Socket accepted(accept(s_.get(), reinterpret_cast<sockaddr*>(&peer), &length));
      if (accepted.get() != INVALID_SOCKET) {
        MakeNonBlocking(accepted.get());
        return std::make_unique<WinsockStream>(accepted.Release(), waiter_, Dotted(peer));
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

WinsockNetwork::WinsockNetwork(std::function<void()> pump, std::function<bool()> abandon,
                               HostLookup lookup)
    : pump_(std::move(pump)),
      abandon_(std::move(abandon)),
      resolver_(WinsockResolver(pump_, abandon_, std::move(lookup))) {
  WSADATA data;
  started_ = WSAStartup(MAKEWORD(2, 2), &data) == 0;
}

WinsockNetwork::~WinsockNetwork() {
  if (started_) WSACleanup();
}

std::unique_ptr<Stream> WinsockNetwork::Connect(const std::string& host, uint16_t port,
                                                int timeout_ms) {
  if (!started_) throw Failure(WSANOTINITIALISED);
  // The lookup and the connection share the time limit.
  const ULONGLONG start = GetTickCount64();
  const std::string dotted = resolver_.Resolve(host, timeout_ms);
  const Waiter waiter(pump_, abandon_);
  // The user may have quit while the lookup waited.
  if (waiter.Abandoned()) throw Failure(WSAEINTR);
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_port = htons(port);
  if (inet_pton(AF_INET, dotted.c_str(), &address.sin_addr) != 1) throw Failure(WSAHOST_NOT_FOUND);
  const ULONGLONG spent = GetTickCount64() - start;
  const int left = spent >= static_cast<ULONGLONG>(std::max(timeout_ms, 0))
                       ? 0
                       : timeout_ms - static_cast<int>(spent);

  Socket s(NewSocket());
  MakeNonBlocking(s.get());
  if (connect(s.get(), reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0) {
    if (WSAGetLastError() != WSAEWOULDBLOCK) throw LastFailure();
    waiter.Wait(s.get(), WaitFor::kConnect, left);
  }
  return std::make_unique<WinsockStream>(s.Release(), waiter, dotted);
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

std::unique_ptr<Stream> WinsockNetwork::Secure(std::unique_ptr<Stream> plain,
                                               const std::string& host) {
  return tls_.Secure(std::move(plain), host);
}

std::string WinsockNetwork::LocalHostName() const {
  char name[256] = {};
  if (!started_ || gethostname(name, sizeof name - 1) != 0 || name[0] == 0) return "localhost";
  return name;
}

}  // namespace tarnwick::net
