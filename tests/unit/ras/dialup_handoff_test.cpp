#include "ras/dialup_handoff.h"

#include <gtest/gtest.h>

#include <atomic>
#include <thread>
#include <vector>

namespace tarnwick {
namespace {

using std::chrono::milliseconds;

// The user-interface side of one tick: collect, then deliver one event.
std::optional<DialNotification> Tick(DialHandoff& handoff) {
  handoff.Collect();
  auto next = handoff.BeginDelivery();
  if (next) handoff.EndDelivery();
  return next;
}

TEST(DialHandoff, ASecondNotifierWaitsUntilTheSlotIsTaken) {
  DialHandoff handoff;
  ASSERT_TRUE(handoff.Post({0, 0}, milliseconds(1000)));
  std::atomic<bool> second_posted{false};
  std::thread ras([&] {
    EXPECT_TRUE(handoff.Post({1, 0}, milliseconds(10000)));
    second_posted = true;
  });
  // The slot is pending: the RAS thread cannot have filled it.
  std::this_thread::sleep_for(milliseconds(50));
  EXPECT_FALSE(second_posted);
  EXPECT_EQ(Tick(handoff), (DialNotification{0, 0}));
  ras.join();
  EXPECT_EQ(Tick(handoff), (DialNotification{1, 0}));
  EXPECT_FALSE(handoff.HasWork());
}

TEST(DialHandoff, EveryNotificationArrivesOnceAndInOrder) {
  DialHandoff handoff;
  constexpr int kCount = 500;
  std::thread ras([&] {
    for (int i = 0; i < kCount; ++i) ASSERT_TRUE(handoff.Post({i, i % 7}, milliseconds(10000)));
  });
  std::vector<int> seen;
  while (static_cast<int>(seen.size()) < kCount) {
    if (auto n = Tick(handoff)) {
      EXPECT_EQ(n->error, n->state % 7);
      seen.push_back(n->state);
    } else {
      std::this_thread::yield();
    }
  }
  ras.join();
  for (int i = 0; i < kCount; ++i) ASSERT_EQ(seen[i], i);
}

// A handler that waits (a hang-up inside OnAsyncEvent) keeps processing
// messages: its nested ticks free the slot, so the RAS thread is never held by
// the handler, and nothing is raised until the handler returns.
TEST(DialHandoff, NestedTicksFreeTheSlotButDoNotRaiseEvents) {
  DialHandoff handoff;
  ASSERT_TRUE(handoff.Post({0, 0}, milliseconds(1000)));
  handoff.Collect();
  auto first = handoff.BeginDelivery();
  ASSERT_TRUE(first);
  // Inside the handler: the RAS thread reports twice more.
  std::atomic<bool> ras_done{false};
  std::thread ras([&] {
    EXPECT_TRUE(handoff.Post({1, 0}, milliseconds(5000)));
    EXPECT_TRUE(handoff.Post({2, 678}, milliseconds(5000)));
    ras_done = true;
  });
  // Nested ticks: the RAS thread must finish while the handler is still running.
  for (int i = 0; i < 2000 && !ras_done; ++i) {
    handoff.Collect();
    EXPECT_FALSE(handoff.BeginDelivery());
    std::this_thread::sleep_for(milliseconds(1));
  }
  EXPECT_TRUE(ras_done);
  ras.join();
  EXPECT_TRUE(handoff.Delivering());
  handoff.EndDelivery();
  EXPECT_EQ(Tick(handoff), (DialNotification{1, 0}));
  EXPECT_EQ(Tick(handoff), (DialNotification{2, 678}));
  EXPECT_FALSE(Tick(handoff));
}

TEST(DialHandoff, TheWaitIsBoundedAndCloseReleasesIt) {
  DialHandoff handoff;
  ASSERT_TRUE(handoff.Post({0, 0}, milliseconds(10)));
  EXPECT_FALSE(handoff.Post({1, 0}, milliseconds(20)));
  std::thread ras([&] { EXPECT_FALSE(handoff.Post({1, 0}, milliseconds(60000))); });
  std::this_thread::sleep_for(milliseconds(20));
  handoff.Close();
  ras.join();
  EXPECT_TRUE(handoff.Closed());
  // After closing nothing new is accepted.
  EXPECT_FALSE(handoff.Post({2, 0}, milliseconds(10)));
}

}  // namespace
}  // namespace tarnwick
