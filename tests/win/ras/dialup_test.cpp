// TDialUp against the simulated RAS service.
#include "ras/dialup.h"

#include <gmock/gmock.h>

#include "app/error.h"
#include "rassim_fixture.h"

namespace tarnwick {
namespace {

using ::testing::ElementsAre;
using ::testing::ElementsAreArray;
using ::testing::HasSubstr;

struct AsyncEvent {
  int state;
  int error;
  std::string text;
  bool operator==(const AsyncEvent&) const = default;
};

class DialUpTest : public testing::RassimTest {
 protected:
  // Records every OnAsyncEvent of `dialup`.
  void Record(TDialUp& dialup) {
    dialup.OnAsyncEvent = [this](TDialUp&, int state, int error, const std::string& text) {
      events_.push_back({state, error, text});
    };
  }
  bool WaitForEvents(size_t count) {
    return PumpUntil([&] { return events_.size() >= count; });
  }
  std::vector<AsyncEvent> events_;
};

TEST_F(DialUpTest, ListsEntriesAndActiveConnections) {
  WriteControl(
      "entry Office\n"
      "device isdn Fast ISDN Adapter\n"
      "entry Home Provider\n"
      "entry Third\n"
      "connected Office\n");
  TDialUp dialup;
  std::vector<std::string> announced;
  dialup.OnEntryGet = [&](TDialUp&, const char* name) { announced.push_back(name); };
  ASSERT_EQ(dialup.GetEntries(), 0);
  EXPECT_THAT(dialup.Entries(), ElementsAre("Office", "Home Provider", "Third"));
  EXPECT_EQ(announced, dialup.Entries());

  struct Seen {
    RasHandle handle;
    int state;
    std::string text, entry, type, device;
  };
  std::vector<Seen> seen;
  dialup.OnActiveConnection = [&](TDialUp&, RasHandle handle, const RASCONNSTATUSA& status,
                                  const std::string& text, const char* entry, const char* type,
                                  const char* device) {
    seen.push_back({handle, static_cast<int>(status.rasconnstate), text, entry, type, device});
  };
  int count = -1;
  ASSERT_EQ(dialup.GetConnections(count), 0);
  ASSERT_EQ(count, 1);
  ASSERT_EQ(seen.size(), 1u);
  EXPECT_NE(seen[0].handle, 0u);
  EXPECT_EQ(seen[0].state, kRasStateConnected);
  EXPECT_EQ(seen[0].text, "Connected");
  EXPECT_EQ(seen[0].entry, "Office");
  EXPECT_EQ(seen[0].type, "isdn");
  EXPECT_EQ(seen[0].device, "Fast ISDN Adapter");
}

TEST_F(DialUpTest, AsyncDialReportsEveryProgressTextInOrderThenConnected) {
  WriteControl("step-delay 30\nclient-ip 10.9.8.{n}\nserver-ip 10.9.8.1\nentry ISP\n");
  TDialUp dialup;
  dialup.Entry = "ISP";
  Record(dialup);
  int dialing = 0;
  dialup.OnDialing = [&](TDialUp&) { ++dialing; };
  // A connection being dialed is listed with its current progress text.
  std::vector<std::string> listed_while_dialing;
  dialup.OnActiveConnection = [&](TDialUp&, RasHandle, const RASCONNSTATUSA&,
                                  const std::string& text, const char*, const char*,
                                  const char*) { listed_while_dialing.push_back(text); };
  dialup.OnAsyncEvent = [&](TDialUp& sender, int state, int error, const std::string& text) {
    if (events_.empty()) {
      int count = 0;
      sender.GetConnections(count);
    }
    events_.push_back({state, error, text});
  };

  ASSERT_EQ(dialup.Dial(), 0);
  EXPECT_EQ(dialing, 1);
  EXPECT_NE(dialup.ConnHandle, 0u);
  ASSERT_TRUE(WaitForEvents(11));
  EXPECT_THAT(events_, ElementsAreArray(std::vector<AsyncEvent>{
                           {0, 0, "Opening port"},
                           {1, 0, "Port opened"},
                           {2, 0, "Connecting device"},
                           {3, 0, "Device connected"},
                           {4, 0, "All devices connected"},
                           {5, 0, "Start authenticating"},
                           {6, 0, "Authentication: notify"},
                           {10, 0, "Authentication: projecting"},
                           {14, 0, "Authenticated"},
                           {18, 0, "Projected"},
                           {kRasStateConnected, 0, "Connected"},
                       }));
  // Listed while dialing, with the progress step it had reached by then.
  ASSERT_EQ(listed_while_dialing.size(), 1u);
  EXPECT_THAT(listed_while_dialing[0], ::testing::Not(::testing::AnyOf("", "Connected")));

  ASSERT_EQ(dialup.GetIPAddresses(dialup.ConnHandle), 0);
  EXPECT_THAT(dialup.ClientIP(), ::testing::StartsWith("10.9.8."));
  EXPECT_EQ(dialup.ServerIP(), "10.9.8.1");
  // Nothing more arrives after "Connected".
  PumpUntil([] { return false; }, 50);
  EXPECT_EQ(events_.size(), 11u);
}

TEST_F(DialUpTest, FailureAtTheModemStageEndsWithTheSystemsText) {
  WriteControl("step-delay 1\nentry ISP\noutcome fail 678 at 2\n");
  TDialUp dialup;
  dialup.Entry = "ISP";
  Record(dialup);
  ASSERT_EQ(dialup.Dial(), 0);
  ASSERT_TRUE(WaitForEvents(4));
  PumpUntil([] { return false; }, 50);
  EXPECT_THAT(events_, ElementsAreArray(std::vector<AsyncEvent>{
                           {0, 0, "Opening port"},
                           {1, 0, "Port opened"},
                           {2, 0, "Connecting device"},
                           {2, 678, "There was no answer."},
                       }));
  // The failed attempt's handle stays until the next dial releases it.
  EXPECT_TRUE(LogLines("released").empty());
  EXPECT_EQ(dialup.Dial(), 0);
  EXPECT_EQ(LogLines("released").size(), 1u);
}

TEST_F(DialUpTest, ErrorTextsAreCutTo100Characters) {
  WriteControl("entry ISP\nerror-text 651 " + std::string(150, 'x') + "\n");
  TDialUp dialup;
  EXPECT_EQ(dialup.StatusText(0, 651), std::string(100, 'x'));
  EXPECT_EQ(dialup.StatusText(3, 0), "Device connected");
}

TEST_F(DialUpTest, DialOfAnUnknownEntryReportsTheParameterFailure) {
  WriteControl("entry ISP\n");
  TDialUp dialup;
  dialup.Entry = "Nowhere";
  std::vector<std::pair<int, std::string>> errors;
  dialup.OnError = [&](TDialUp&, int code, const std::string& text) {
    errors.emplace_back(code, text);
  };
  EXPECT_EQ(dialup.Dial(), 623);
  EXPECT_THAT(errors, ElementsAre(std::pair<int, std::string>{623, "GetEntryDialParams failed"}));
}

TEST_F(DialUpTest, SyncDialConnectsOrReportsAndReleasesTheFailedHandle) {
  WriteControl("step-delay 0\nentry Good\nentry Bad\noutcome fail 691 at 5\n");
  TDialUp dialup;
  dialup.DialMode = dmSync;
  int connected = 0;
  std::vector<std::pair<int, std::string>> failures;
  dialup.OnConnect = [&](TDialUp&) { ++connected; };
  dialup.OnNotConnected = [&](TDialUp&, int code, const std::string& text) {
    failures.emplace_back(code, text);
  };
  dialup.Entry = "Good";
  EXPECT_EQ(dialup.Dial(), 0);
  EXPECT_EQ(connected, 1);
  dialup.Entry = "Bad";
  EXPECT_EQ(dialup.Dial(), 691);
  ASSERT_EQ(failures.size(), 1u);
  EXPECT_EQ(failures[0].first, 691);
  EXPECT_THAT(failures[0].second, HasSubstr("Access was denied"));
  // Hang-ups: handle 0 before the first dial, the connection before the second,
  // and the failed attempt's handle after it.
  EXPECT_EQ(LogLines("RasHangUpA").size(), 3u);
  EXPECT_EQ(LogLines("released").size(), 2u);
}

TEST_F(DialUpTest, MoreThan100EntriesGiveBufferTooSmallAndNoEntries) {
  WriteControl("entries 101 Entry\n");
  TDialUp dialup;
  int announced = 0;
  dialup.OnEntryGet = [&](TDialUp&, const char*) { ++announced; };
  EXPECT_EQ(dialup.GetEntries(), 603);
  EXPECT_TRUE(dialup.Entries().empty());
  EXPECT_EQ(announced, 0);

  WriteControl("entries 100 Entry\n");
  EXPECT_EQ(dialup.GetEntries(), 0);
  EXPECT_EQ(dialup.Entries().size(), 100u);
  EXPECT_EQ(dialup.Entries().back(), "Entry 100");
}

TEST_F(DialUpTest, GetIPAddressesOfHandleZeroEmptiesBothWithoutAsking) {
  WriteControl("entry ISP\nconnected ISP\n");
  TDialUp dialup;
  RasHandle handle = 0;
  dialup.OnActiveConnection = [&](TDialUp&, RasHandle h, const RASCONNSTATUSA&, const std::string&,
                                  const char*, const char*, const char*) { handle = h; };
  int count = 0;
  ASSERT_EQ(dialup.GetConnections(count), 0);
  ASSERT_EQ(dialup.GetIPAddresses(handle), 0);
  ASSERT_FALSE(dialup.ClientIP().empty());
  EXPECT_EQ(dialup.GetIPAddresses(0), 0);
  EXPECT_EQ(dialup.ClientIP(), "");
  EXPECT_EQ(dialup.ServerIP(), "");
  // A handle that is gone: the code, and the addresses stay empty.
  EXPECT_EQ(dialup.GetIPAddresses(handle + 1), kRasErrorInvalidHandle);
  EXPECT_EQ(dialup.ClientIP(), "");
}

TEST_F(DialUpTest, CredentialsOfTheEntry) {
  WriteControl(
      "entry Saved\nuser alice\npassword wonder land\n"
      "entry Unsaved\nuser bob\npassword-saved no\n");
  TDialUp dialup;
  std::string user = "before";
  std::string password = "before";
  dialup.Entry = "Unsaved";
  EXPECT_EQ(dialup.GetEntryPassword(password), 0);
  EXPECT_EQ(password, "");
  EXPECT_EQ(dialup.GetEntryUserName(user), 0);
  EXPECT_EQ(user, "bob");

  dialup.Entry = "Saved";
  EXPECT_EQ(dialup.GetEntryPassword(password), 0);
  EXPECT_EQ(password, "wonder land");

  dialup.Entry = "Unsaved";
  EXPECT_EQ(dialup.SetEntryUserName("carol"), 0);
  EXPECT_EQ(dialup.SetEntryPassword("pw2"), 0);
  EXPECT_EQ(dialup.GetEntryUserName(user), 0);
  EXPECT_EQ(user, "carol");
  EXPECT_EQ(dialup.GetEntryPassword(password), 0);
  EXPECT_EQ(password, "pw2");
  // Written, logged, and the password is not in the log.
  const auto writes = LogLines("RasSetEntryDialParamsA");
  ASSERT_EQ(writes.size(), 2u);
  EXPECT_THAT(writes[1], HasSubstr("user=\"carol\" password=set"));
  EXPECT_THAT(ReadLog(), ::testing::Not(HasSubstr("pw2")));

  dialup.Entry = "Missing";
  user = "kept";
  EXPECT_EQ(dialup.GetEntryUserName(user), 623);
  EXPECT_EQ(user, "kept");
  EXPECT_EQ(dialup.SetEntryPassword("x"), 623);
}

TEST_F(DialUpTest, HangUpWaitsUntilTheHandleIsGone) {
  WriteControl("hangup-delay 300\nentry ISP\nconnected ISP\n");
  TDialUp dialup;
  dialup.OnActiveConnection = [&](TDialUp& d, RasHandle h, const RASCONNSTATUSA&,
                                  const std::string&, const char*, const char*,
                                  const char*) { d.ConnHandle = h; };
  int count = 0;
  ASSERT_EQ(dialup.GetConnections(count), 0);
  ASSERT_NE(dialup.ConnHandle, 0u);
  int pumped = 0;
  dialup.SetMessagePump([&] { ++pumped; });
  const ULONGLONG start = GetTickCount64();
  EXPECT_EQ(dialup.HangUp(), 0);
  const ULONGLONG took = GetTickCount64() - start;
  EXPECT_GE(took, 250u);
  EXPECT_LT(took, 5000u);
  EXPECT_GT(pumped, 0);
  RASCONNSTATUSA status{};
  status.dwSize = sizeof(status);
  EXPECT_EQ(Ras<decltype(&RasGetConnectStatusA)>("RasGetConnectStatusA")(
                reinterpret_cast<HRASCONN>(dialup.ConnHandle), &status),
            static_cast<DWORD>(ERROR_INVALID_HANDLE));
  // The handle is kept; a second hang-up answers "invalid handle" at once.
  EXPECT_EQ(dialup.HangUp(), kRasErrorInvalidHandle);
}

TEST_F(DialUpTest, HangUpWaitIsBounded) {
  WriteControl("hangup-delay never\nentry ISP\nconnected ISP\n");
  TDialUp dialup;
  dialup.OnActiveConnection = [&](TDialUp& d, RasHandle h, const RASCONNSTATUSA&,
                                  const std::string&, const char*, const char*,
                                  const char*) { d.ConnHandle = h; };
  int count = 0;
  ASSERT_EQ(dialup.GetConnections(count), 0);
  dialup.SetHangUpWait(std::chrono::milliseconds(300));
  const ULONGLONG start = GetTickCount64();
  EXPECT_EQ(dialup.HangUp(), 0);
  const ULONGLONG took = GetTickCount64() - start;
  EXPECT_GE(took, 290u);
  EXPECT_LT(took, 3000u);
}

// RAS keeps a handle valid while its thread is inside the notifier. A handler
// that hangs up from inside OnAsyncEvent while the dial still reports must not
// wait for a notifier that waits for it; the reports made before the hang-up
// still arrive after the handler, in order, and the rest never come.
TEST_F(DialUpTest, HangUpFromInsideOnAsyncEventDoesNotDeadlock) {
  WriteControl("step-delay 20\nhangup-delay 0\nentry ISP\n");
  TDialUp dialup;
  dialup.Entry = "ISP";
  ULONGLONG hang_up_took = 0;
  int hang_up_result = -1;
  dialup.OnAsyncEvent = [&](TDialUp& sender, int state, int error, const std::string& text) {
    events_.push_back({state, error, text});
    if (events_.size() == 1) {
      // Let the dial report again meanwhile.
      Sleep(60);
      const ULONGLONG start = GetTickCount64();
      hang_up_result = sender.HangUp();
      hang_up_took = GetTickCount64() - start;
    }
  };
  ASSERT_EQ(dialup.Dial(), 0);
  ASSERT_TRUE(WaitForEvents(1));
  PumpUntil([] { return false; }, 400);
  EXPECT_EQ(hang_up_result, 0);
  EXPECT_LT(hang_up_took, 2000u);
  const std::vector<int> order = {0, 1, 2, 3, 4, 5, 6, 10, 14, 18, kRasStateConnected};
  ASSERT_GE(events_.size(), 2u);
  ASSERT_LT(events_.size(), order.size());
  for (size_t i = 0; i < events_.size(); ++i) EXPECT_EQ(events_[i].state, order[i]);
  EXPECT_EQ(LogLines("released").size(), 1u);
}

TEST_F(DialUpTest, DialingAConnectedEntryAnswersConnectedFirst) {
  WriteControl("step-delay 1\nentry ISP\nconnected ISP\n");
  TDialUp dialup;
  dialup.Entry = "ISP";
  Record(dialup);
  ASSERT_EQ(dialup.Dial(), 0);
  ASSERT_TRUE(WaitForEvents(1));
  EXPECT_EQ(events_[0], (AsyncEvent{kRasStateConnected, 0, "Connected"}));
}

TEST_F(DialUpTest, OnlyTheLastDialerReceivesNotifications) {
  WriteControl("step-delay 1\nentry A\nentry B\n");
  TDialUp first;
  TDialUp second;
  std::vector<AsyncEvent> first_events;
  first.OnAsyncEvent = [&](TDialUp&, int s, int e, const std::string& t) {
    first_events.push_back({s, e, t});
  };
  Record(second);
  second.Entry = "B";
  ASSERT_EQ(second.Dial(), 0);
  ASSERT_TRUE(WaitForEvents(11));
  EXPECT_TRUE(first_events.empty());
}

TEST_F(DialUpTest, DestroyingTheComponentDuringADialIsSafe) {
  WriteControl("step-delay 2\nentry ISP\n");
  {
    TDialUp dialup;
    dialup.Entry = "ISP";
    Record(dialup);
    ASSERT_EQ(dialup.Dial(), 0);
    ASSERT_TRUE(WaitForEvents(2));
  }
  // The dial goes on in RAS; its reports find no component and are dropped.
  EXPECT_TRUE(PumpUntil([&] { return !LogLines("connected").empty(); }));
}

}  // namespace
}  // namespace tarnwick
