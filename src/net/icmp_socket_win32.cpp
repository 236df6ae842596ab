#include "net/icmp_socket_win32.h"

#include <windows.h>
#include <winsock2.h>
#include <ws2tcpip.h>

#include "app/system_error.h"
#include "net/sliced_wait.h"
#include "net/transport.h"

namespace tarnwick::net {
namespace {

[[noreturn]] void ThrowWinsockError(int code) {
  throw SocketError(code, SystemErrorText(static_cast<uint32_t>(code)));
}

class RawIcmpSocket : public IcmpSocket {
 public:
  RawIcmpSocket(SOCKET s, const std::function<void()>& pump, const std::function<bool()>& quitting)
      : socket_(s), pump_(pump), quitting_(quitting) {}
  ~RawIcmpSocket() override { closesocket(socket_); }

  void SendTo(const std::string& address, const uint8_t* data, size_t size) override {
    sockaddr_in to{};
    to.sin_family = AF_INET;
    if (inet_pton(AF_INET, address.c_str(), &to.sin_addr) != 1) ThrowWinsockError(WSAEINVAL);
    if (sendto(socket_, reinterpret_cast<const char*>(data), static_cast<int>(size), 0,
               reinterpret_cast<const sockaddr*>(&to), sizeof to) == SOCKET_ERROR)
      ThrowWinsockError(WSAGetLastError());
  }

  size_t Receive(uint8_t* buffer, size_t size, int timeout_ms) override {
    SlicedWait wait;
    wait.now_ms = [] { return static_cast<uint64_t>(GetTickCount64()); };
    wait.ready = [this](int slice_ms) {
      fd_set readable;
      FD_ZERO(&readable);
      FD_SET(socket_, &readable);
      timeval tv{slice_ms / 1000, (slice_ms % 1000) * 1000};
      int n = select(0, &readable, nullptr, nullptr, &tv);
      if (n == SOCKET_ERROR) ThrowWinsockError(WSAGetLastError());
      return n > 0;
    };
    wait.pump = pump_;
    wait.quitting = quitting_;
    if (!WaitInSlices(wait, timeout_ms)) return 0;
    int got = recvfrom(socket_, reinterpret_cast<char*>(buffer), static_cast<int>(size), 0, nullptr,
                       nullptr);
    if (got == SOCKET_ERROR) ThrowWinsockError(WSAGetLastError());
    return static_cast<size_t>(got);
  }

 private:
  SOCKET socket_;
  std::function<void()> pump_;
  std::function<bool()> quitting_;
};

}  // namespace

WinsockIcmpNetwork::WinsockIcmpNetwork(std::function<void()> pump, std::function<bool()> quitting,
                                       HostLookup lookup, int lookup_timeout_ms)
    : pump_(std::move(pump)),
      quitting_(std::move(quitting)),
      resolver_(WinsockResolver(pump_, quitting_, std::move(lookup))),
      lookup_timeout_ms_(lookup_timeout_ms) {
  WSADATA data;
  // Winsock counts its users: this start is paired with the cleanup below.
  started_ = WSAStartup(MAKEWORD(2, 2), &data) == 0;
}

WinsockIcmpNetwork::~WinsockIcmpNetwork() {
  if (started_) WSACleanup();
}

std::unique_ptr<IcmpSocket> WinsockIcmpNetwork::OpenRawSocket(int ttl) {
  SOCKET s = socket(AF_INET, SOCK_RAW, IPPROTO_ICMP);
  if (s == INVALID_SOCKET) ThrowWinsockError(WSAGetLastError());
  auto raw = std::make_unique<RawIcmpSocket>(s, pump_, quitting_);
  if (setsockopt(s, IPPROTO_IP, IP_TTL, reinterpret_cast<const char*>(&ttl), sizeof ttl) ==
      SOCKET_ERROR)
    ThrowWinsockError(WSAGetLastError());
  return raw;
}

std::string WinsockIcmpNetwork::ResolveHost(const std::string& name) {
  return resolver_.Resolve(name, lookup_timeout_ms_);
}

uint32_t WinsockIcmpNetwork::TickCount() {
  return GetTickCount();
}

uint32_t WinsockIcmpNetwork::ProcessId() {
  return GetCurrentProcessId();
}

}  // namespace tarnwick::net
