// Host name lookups on a worker thread, waited for in slices by the caller.
#include "net/resolver.h"

#include <gtest/gtest.h>

#include <chrono>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <optional>
#include <thread>

#include "app/error.h"

namespace tarnwick::net {
namespace {

// The system's lookup as the test controls it: it blocks until the gate opens.
struct Gate {
  std::mutex mutex;
  std::condition_variable opened;
  bool open = false;
  std::string answer = "10.0.0.7";
  std::optional<SocketError> error;
  int calls = 0;
  std::thread::id thread;

  void Open() {
    {
      std::lock_guard lock(mutex);
      open = true;
    }
    opened.notify_all();
  }
};

HostLookup GatedLookup(const std::shared_ptr<Gate>& gate) {
  return [gate](const std::string&) {
    std::unique_lock lock(gate->mutex);
    ++gate->calls;
    gate->thread = std::this_thread::get_id();
    gate->opened.wait(lock, [&] { return gate->open; });
    if (gate->error) throw *gate->error;
    return gate->answer;
  };
}

// The worker's copy of the lookup holds the gate until its thread has ended.
bool WorkersEnded(const std::shared_ptr<Gate>& gate, long own_references) {
  for (int i = 0; i < 5000 && gate.use_count() > own_references; ++i)
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  return gate.use_count() == own_references;
}

struct ResolveCase {
  const char* name;
  const char* host;
  int open_at_pump;     // the lookup answers inside this pump; 0: never
  int quit_at_pump;     // the program starts quitting in this pump; -1: before the call
  bool lookup_fails;
  int64_t ms_per_pump;  // virtual time each pump takes
  std::string want_address;
  int want_code;  // 0: the address; -1: Error without a code
  int want_calls;
};

TEST(Resolver, TheLookupRunsOffThisThreadAndTheWaitIsBounded) {
  const ResolveCase cases[] = {
      {"answer after two pumps", "mail.example", 2, 0, false, 100, "10.0.0.7", 0, 1},
      {"the lookup's own error", "nosuch.example", 1, 0, true, 100, "", 11001, 1},
      {"never answers: timed out", "slow.example", 0, 0, false, 15000, "", kTimedOutCode, 1},
      {"quit while waiting", "slow.example", 0, 1, false, 100, "", kInterruptedCode, 1},
      {"quitting already: nothing starts", "slow.example", 0, -1, false, 100, "",
       kInterruptedCode, 0},
      {"empty name", "", 0, 0, false, 100, "", -1, 0},
  };
  for (const ResolveCase& c : cases) {
    SCOPED_TRACE(c.name);
    auto gate = std::make_shared<Gate>();
    if (c.lookup_fails) gate->error = SocketError(11001, "Host not found.");
    uint64_t now = 5000;
    int pumps = 0;
    bool quitting = c.quit_at_pump < 0;
    SlicedWait wait;
    wait.now_ms = [&] { return now; };
    wait.pump = [&] {
      ++pumps;
      now += static_cast<uint64_t>(c.ms_per_pump);
      if (pumps == c.open_at_pump) gate->Open();
      if (pumps == c.quit_at_pump) quitting = true;
    };
    wait.quitting = [&] { return quitting; };
    {
      const Resolver resolver(GatedLookup(gate), wait);
      try {
        EXPECT_EQ(resolver.Resolve(c.host, 30000), c.want_address);
        EXPECT_EQ(c.want_code, 0);
        EXPECT_EQ(pumps, c.open_at_pump);
      } catch (const SocketError& e) {
        EXPECT_EQ(e.code(), c.want_code) << e.what();
        if (c.want_code == kTimedOutCode) {
          EXPECT_EQ(now - 5000, 30000u);
          EXPECT_NE(std::string(e.what()).find("slow.example within 30 seconds"),
                    std::string::npos)
              << e.what();
        }
      } catch (const Error& e) {
        EXPECT_EQ(c.want_code, -1) << e.what();
      }
    }
    {
      std::lock_guard lock(gate->mutex);
      EXPECT_EQ(gate->calls, c.want_calls);
      if (gate->calls > 0) {
        EXPECT_NE(gate->thread, std::this_thread::get_id());
      }
    }
    // A lookup given up on answers later into state its waiter no longer holds.
    gate->Open();
    EXPECT_TRUE(WorkersEnded(gate, 1));
  }
}

}  // namespace
}  // namespace tarnwick::net
