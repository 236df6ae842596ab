#include "net/resolver.h"

#include <chrono>
#include <condition_variable>
#include <exception>
#include <memory>
#include <mutex>
#include <system_error>
#include <thread>

#include "app/error.h"

namespace tarnwick::net {
namespace {

// What the worker reports into. Owned by the waiter and the worker together, so
// that either may go first.
struct Pending {
  std::mutex mutex;
  std::condition_variable answered;
  bool done = false;
  std::string address;
  std::exception_ptr error;

  // Waits at most `ms` for the answer; true when it is there.
  bool WaitFor(int ms) {
    std::unique_lock lock(mutex);
    return answered.wait_for(lock, std::chrono::milliseconds(ms), [this] { return done; });
  }
};

SocketError Abandoned(const std::string& host) {
  return SocketError(kInterruptedCode,
                     "The lookup of " + host + " was abandoned: the program is ending.");
}

void StartLookup(const std::shared_ptr<Pending>& pending, const HostLookup& lookup,
                 const std::string& host) {
  try {
    std::thread([pending, lookup, host] {
      std::string address;
      std::exception_ptr error;
      try {
        address = lookup(host);
      } catch (...) {
        error = std::current_exception();
      }
      {
        std::lock_guard lock(pending->mutex);
        pending->address = std::move(address);
        pending->error = error;
        pending->done = true;
      }
      pending->answered.notify_all();
    }).detach();
  } catch (const std::system_error& e) {
    throw Error(std::string("Unable to start the host name lookup: ") + e.what());
  }
}

}  // namespace

Resolver::Resolver(HostLookup lookup, SlicedWait wait)
    : lookup_(std::move(lookup)), wait_(std::move(wait)) {}

std::string Resolver::Resolve(const std::string& host, int timeout_ms) const {
  // An empty name would be this machine to the system's lookup; it is a missing setting.
  if (host.empty()) throw Error("No host name given.");
  const auto quitting = [this] { return wait_.quitting && wait_.quitting(); };
  if (quitting()) throw Abandoned(host);

  auto pending = std::make_shared<Pending>();
  StartLookup(pending, lookup_, host);
  SlicedWait wait = wait_;
  wait.ready = [&pending](int slice_ms) { return pending->WaitFor(slice_ms); };
  if (!WaitInSlices(wait, timeout_ms)) {
    if (quitting()) throw Abandoned(host);
    throw SocketError(kTimedOutCode, "No answer to the lookup of " + host + " within " +
                                         std::to_string((timeout_ms + 999) / 1000) + " seconds.");
  }
  std::lock_guard lock(pending->mutex);
  if (pending->error) std::rethrow_exception(pending->error);
  return pending->address;
}

}  // namespace tarnwick::net
