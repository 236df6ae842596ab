#pragma once
// Host name lookups that do not freeze the window. The system's lookup blocks
// for as long as the name servers take (minutes when none answers), so it runs
// on a worker thread while the user-interface thread waits in slices with
// message processing, bounded by the caller's time limit and ended early when
// the program quits. A lookup the waiter gave up on finishes on its own: the
// state it reports into is shared by both sides, and its answer is dropped.
#include <functional>
#include <string>

#include "net/sliced_wait.h"
#include "net/transport.h"

namespace tarnwick::net {

// The blocking lookup: a dotted IPv4 address, or SocketError. It runs on a
// worker thread that may outlive the Resolver and its caller, so it must own
// everything it uses.
using HostLookup = std::function<std::string(const std::string& host)>;

class Resolver {
 public:
  // `wait` gives the clock, the message pump and the quitting test; its `ready`
  // is not used (the lookup's answer is).
  Resolver(HostLookup lookup, SlicedWait wait);

  // The dotted IPv4 address of `host` (a dotted address too goes through the
  // lookup, which answers it at once).
  // Throws Error for an empty name, the lookup's SocketError, SocketError with
  // kTimedOutCode when no answer came within `timeout_ms`, and with
  // kInterruptedCode when the program is quitting (then no lookup starts).
  std::string Resolve(const std::string& host, int timeout_ms) const;

 private:
  HostLookup lookup_;
  SlicedWait wait_;
};

}  // namespace tarnwick::net
