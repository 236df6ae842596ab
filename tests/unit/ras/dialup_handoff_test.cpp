#include "ras/dialup_handoff.h"

#include <gtest/gtest.h>

#include <atomic>
#include <thread>
#include <vector>

namespace tarnwick {
namespace {

using std::chrono::milliseconds;

// The user-interface side of one tick: collect, then raise what is in.
std::vector<DialNotification> Tick(DialHandoff& handoff) {
  std::vector<DialNotification> raised;
  handoff.Collect();
  handoff.DeliverPending([&](const DialNotification& n) { raised.push_back(n); });
  return raised;
}

// The reports of a quick dial come in between two passes of a waiting handler:
// the notifier must not wait for the pass, and the pass raises them all.
TEST(DialHandoff, ATickRaisesEveryReportThatCameInSinceTheLastInOrder) {
  DialHandoff handoff;
  std::thread ras([&] {
    for (int state : {0, 1, 2, 0x2000}) EXPECT_TRUE(handoff.Post({state, 0}, milliseconds(0)));
  });
  ras.join();  // without a tick in between
  EXPECT_EQ(Tick(handoff), (std::vector<DialNotification>{{0, 0}, {1, 0}, {2, 0}, {0x2000, 0}}));
  EXPECT_FALSE(handoff.HasWork());
  EXPECT_TRUE(Tick(handoff).empty());
}

TEST(DialHandoff, EveryNotificationArrivesOnceAndInOrder) {
  DialHandoff handoff;
  constexpr int kCount = 5000;
  std::thread ras([&] {
    for (int i = 0; i < kCount; ++i) ASSERT_TRUE(handoff.Post({i, i % 7}, milliseconds(10000)));
  });
  std::vector<int> seen;
  while (static_cast<int>(seen.size()) < kCount) {
    for (const DialNotification& n : Tick(handoff)) {
      EXPECT_EQ(n.error, n.state % 7);
      seen.push_back(n.state);
    }
    std::this_thread::yield();
  }
  ras.join();
  for (int i = 0; i < kCount; ++i) ASSERT_EQ(seen[i], i);
}

// A handler that waits (a hang-up inside OnAsyncEvent) keeps processing
// messages: its nested ticks raise nothing, and what arrives meanwhile is
// raised after it, in order, by the tick that raised the handler.
TEST(DialHandoff, NestedTicksRaiseNothingAndTheOuterTickRaisesTheRest) {
  DialHandoff handoff;
  ASSERT_TRUE(handoff.Post({0, 0}, milliseconds(0)));
  std::vector<DialNotification> raised;
  handoff.Collect();
  handoff.DeliverPending([&](const DialNotification& n) {
    raised.push_back(n);
    if (n.state != 0) return;
    EXPECT_TRUE(handoff.Post({1, 0}, milliseconds(0)));
    EXPECT_TRUE(Tick(handoff).empty());
    EXPECT_TRUE(handoff.Post({2, 678}, milliseconds(0)));
  });
  EXPECT_EQ(raised, (std::vector<DialNotification>{{0, 0}, {1, 0}, {2, 678}}));
  EXPECT_FALSE(handoff.Delivering());
}

TEST(DialHandoff, AHandlerThatClosesTheHandOffEndsTheDelivery) {
  DialHandoff handoff;
  for (int state : {0, 1, 2}) ASSERT_TRUE(handoff.Post({state, 0}, milliseconds(0)));
  int raised = 0;
  handoff.Collect();
  handoff.DeliverPending([&](const DialNotification&) {
    ++raised;
    handoff.Close();  // the component was destroyed by the handler
  });
  EXPECT_EQ(raised, 1);
}

TEST(DialHandoff, AFullBacklogMakesTheNotifierWaitBoundedAndCloseReleasesIt) {
  DialHandoff handoff;
  for (size_t i = 0; i < DialHandoff::kMaxPending; ++i) {
    ASSERT_TRUE(handoff.Post({static_cast<int>(i), 0}, milliseconds(0)));
  }
  EXPECT_FALSE(handoff.Post({-1, 0}, milliseconds(20)));
  std::atomic<bool> posted{false};
  std::thread ras([&] {
    EXPECT_TRUE(handoff.Post({-2, 0}, milliseconds(60000)));
    posted = true;
  });
  std::this_thread::sleep_for(milliseconds(20));
  EXPECT_FALSE(posted);
  handoff.Collect();  // room again
  ras.join();
  EXPECT_TRUE(posted);

  for (size_t i = 0; i < DialHandoff::kMaxPending - 1; ++i) handoff.Post({0, 0}, milliseconds(0));
  std::thread waiting([&] { EXPECT_FALSE(handoff.Post({1, 0}, milliseconds(60000))); });
  std::this_thread::sleep_for(milliseconds(20));
  handoff.Close();
  waiting.join();
  EXPECT_TRUE(handoff.Closed());
  EXPECT_FALSE(handoff.Post({2, 0}, milliseconds(10)));
}

}  // namespace
}  // namespace tarnwick
