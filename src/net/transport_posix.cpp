#include "net/transport_posix.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netdb.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "net/line_reader.h"

namespace tarnwick::net {
namespace {

SocketError LastError() {
  return SocketError(errno, std::strerror(errno));
}

class Fd {
 public:
  explicit Fd(int fd) : fd_(fd) {}
  Fd(const Fd&) = delete;
  Fd& operator=(const Fd&) = delete;
  ~Fd() { Reset(); }
  int get() const { return fd_; }
  int Release() {
    const int fd = fd_;
    fd_ = -1;
    return fd;
  }
  void Reset() {
    if (fd_ >= 0) ::close(fd_);
    fd_ = -1;
  }

 private:
  int fd_;
};

// Waits for `events`; throws the time-out error when nothing happens in time.
void Wait(int fd, short events, int timeout_ms) {
  pollfd p{fd, events, 0};
  for (;;) {
    const int n = ::poll(&p, 1, timeout_ms);
    if (n > 0) return;
    if (n == 0) throw TimedOutError();
    if (errno != EINTR) throw LastError();
  }
}

int NonBlockingSocket() {
  const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
  if (fd < 0) throw LastError();
  return fd;
}

std::string Dotted(const sockaddr_in& address) {
  char text[INET_ADDRSTRLEN] = {};
  ::inet_ntop(AF_INET, &address.sin_addr, text, sizeof text);
  return text;
}

class PosixStream : public Stream {
 public:
  PosixStream(int fd, std::string peer) : fd_(fd), peer_(std::move(peer)) {}

  void Write(std::string_view bytes) override {
    while (!bytes.empty()) {
      Wait(fd_.get(), POLLOUT, kReplyTimeoutMs);
      const ssize_t n = ::send(fd_.get(), bytes.data(), bytes.size(), MSG_NOSIGNAL);
      if (n < 0) {
        if (errno == EAGAIN || errno == EINTR) continue;
        throw LastError();
      }
      bytes.remove_prefix(static_cast<size_t>(n));
    }
  }

  size_t Read(char* buffer, size_t size, int timeout_ms) override {
    for (;;) {
      Wait(fd_.get(), POLLIN, timeout_ms);
      const ssize_t n = ::recv(fd_.get(), buffer, size, 0);
      if (n >= 0) return static_cast<size_t>(n);
      if (errno != EAGAIN && errno != EINTR) throw LastError();
    }
  }

  std::string LocalAddress() const override {
    sockaddr_in address{};
    socklen_t length = sizeof address;
    if (::getsockname(fd_.get(), reinterpret_cast<sockaddr*>(&address), &length) != 0) {
      throw LastError();
    }
    return Dotted(address);
  }

  std::string PeerAddress() const override { return peer_; }

  void Close() override { fd_.Reset(); }

 private:
  Fd fd_;
  std::string peer_;
};

class PosixListener : public Listener {
 public:
  PosixListener(int fd, uint16_t port) : fd_(fd), port_(port) {}
  uint16_t Port() const override { return port_; }

  std::unique_ptr<Stream> Accept(int timeout_ms) override {
    for (;;) {
      Wait(fd_.get(), POLLIN, timeout_ms);
      sockaddr_in peer{};
      socklen_t length = sizeof peer;
      const int fd = ::accept4(fd_.get(), reinterpret_cast<sockaddr*>(&peer), &length,
                               SOCK_NONBLOCK | SOCK_CLOEXEC);
      if (fd >= 0) return std::make_unique<PosixStream>(fd, Dotted(peer));
      if (errno != EAGAIN && errno != EINTR) throw LastError();
    }
  }

 private:
  Fd fd_;
  uint16_t port_;
};

}  // namespace

std::unique_ptr<Stream> PosixNetwork::Connect(const std::string& host, uint16_t port,
                                              int timeout_ms) {
  addrinfo hints{};
  hints.ai_family = AF_INET;
  hints.ai_socktype = SOCK_STREAM;
  addrinfo* found = nullptr;
  const int rc = ::getaddrinfo(host.c_str(), nullptr, &hints, &found);
  if (rc != 0 || found == nullptr) throw SocketError(rc, ::gai_strerror(rc));
  sockaddr_in address = *reinterpret_cast<const sockaddr_in*>(found->ai_addr);
  ::freeaddrinfo(found);
  address.sin_port = htons(port);

  Fd fd(NonBlockingSocket());
  if (::connect(fd.get(), reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0) {
    if (errno != EINPROGRESS) throw LastError();
    Wait(fd.get(), POLLOUT, timeout_ms);
    int error = 0;
    socklen_t length = sizeof error;
    ::getsockopt(fd.get(), SOL_SOCKET, SO_ERROR, &error, &length);
    if (error != 0) throw SocketError(error, std::strerror(error));
  }
  return std::make_unique<PosixStream>(fd.Release(), Dotted(address));
}

std::unique_ptr<Listener> PosixNetwork::Listen(const std::string& local_address) {
  sockaddr_in address{};
  address.sin_family = AF_INET;
  if (::inet_pton(AF_INET, local_address.c_str(), &address.sin_addr) != 1) {
    throw SocketError(EINVAL, "Invalid local address " + local_address);
  }
  Fd fd(NonBlockingSocket());
  if (::bind(fd.get(), reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0 ||
      ::listen(fd.get(), 1) != 0) {
    throw LastError();
  }
  socklen_t length = sizeof address;
  if (::getsockname(fd.get(), reinterpret_cast<sockaddr*>(&address), &length) != 0) {
    throw LastError();
  }
  return std::make_unique<PosixListener>(fd.Release(), ntohs(address.sin_port));
}

std::string PosixNetwork::LocalHostName() {
  char name[256] = {};
  if (::gethostname(name, sizeof name - 1) != 0) return "localhost";
  return name;
}

}  // namespace tarnwick::net
