#include "net/resolver_win32.h"

#include <winsock2.h>
#include <ws2tcpip.h>

#include "app/system_error.h"

namespace tarnwick::net {
namespace {

SocketError Failure(int code) {
  return SocketError(code, SystemErrorText(static_cast<uint32_t>(code)));
}

}  // namespace

HostLookup SystemHostLookup() {
  return [](const std::string& host) {
    WSADATA data;
    if (const int rc = WSAStartup(MAKEWORD(2, 2), &data); rc != 0) throw Failure(rc);
    struct Started {
      ~Started() { WSACleanup(); }
    } started;
    addrinfo hints{};
    hints.ai_family = AF_INET;
    hints.ai_socktype = SOCK_STREAM;
    addrinfo* found = nullptr;
    const int rc = getaddrinfo(host.c_str(), nullptr, &hints, &found);
    if (rc != 0 || found == nullptr) throw Failure(rc ? rc : WSAHOST_NOT_FOUND);
    char text[INET_ADDRSTRLEN] = {};
    inet_ntop(AF_INET, &reinterpret_cast<const sockaddr_in*>(found->ai_addr)->sin_addr, text,
              sizeof text);
    freeaddrinfo(found);
    return std::string(text);
  };
}

Resolver WinsockResolver(std::function<void()> pump, std::function<bool()> quitting,
                         HostLookup lookup) {
  SlicedWait wait;
  wait.now_ms = [] { return static_cast<uint64_t>(GetTickCount64()); };
  wait.pump = std::move(pump);
  wait.quitting = std::move(quitting);
  return Resolver(std::move(lookup), std::move(wait));
}

}  // namespace tarnwick::net
