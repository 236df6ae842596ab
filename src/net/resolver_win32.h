#pragma once
// The system's host name lookup for Resolver, and the resolver the Winsock
// clients share.
#include <functional>

#include "net/resolver.h"

namespace tarnwick::net {

// getaddrinfo for an IPv4 address. Keeps Winsock started while it runs, so
// that a lookup outliving the network object that began it stays valid.
HostLookup SystemHostLookup();

// A resolver whose wait counts the system's ticks and calls `pump` between
// slices; `quitting`, when given, ends it early.
Resolver WinsockResolver(std::function<void()> pump, std::function<bool()> quitting,
                         HostLookup lookup);

}  // namespace tarnwick::net
