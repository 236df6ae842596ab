// The simulated RAS service answers the documented way, so that code tested
// against it behaves the same against Windows.
#include <gmock/gmock.h>
#include <ras.h>
#include <raserror.h>

#include <atomic>
#include <vector>

#include "rassim_fixture.h"

namespace tarnwick {
namespace {

using ::testing::HasSubstr;

class RassimApiTest : public testing::RassimTest {
 protected:
  decltype(&RasEnumEntriesA) enum_entries = Ras<decltype(&RasEnumEntriesA)>("RasEnumEntriesA");
  decltype(&RasEnumConnectionsA) enum_conns =
      Ras<decltype(&RasEnumConnectionsA)>("RasEnumConnectionsA");
  decltype(&RasGetConnectStatusA) status_of =
      Ras<decltype(&RasGetConnectStatusA)>("RasGetConnectStatusA");
  decltype(&RasDialA) dial = Ras<decltype(&RasDialA)>("RasDialA");
  decltype(&RasHangUpA) hang_up = Ras<decltype(&RasHangUpA)>("RasHangUpA");
  decltype(&RasGetErrorStringA) error_string =
      Ras<decltype(&RasGetErrorStringA)>("RasGetErrorStringA");
  decltype(&RasGetProjectionInfoA) projection =
      Ras<decltype(&RasGetProjectionInfoA)>("RasGetProjectionInfoA");
  decltype(&RasGetEntryDialParamsA) get_params =
      Ras<decltype(&RasGetEntryDialParamsA)>("RasGetEntryDialParamsA");
  decltype(&RasGetConnectionStatistics) statistics =
      Ras<decltype(&RasGetConnectionStatistics)>("RasGetConnectionStatistics");

  // The handle of the only listed connection.
  HRASCONN OnlyConnection() {
    RASCONNA conns[4] = {};
    conns[0].dwSize = sizeof(RASCONNA);
    DWORD bytes = sizeof(conns);
    DWORD count = 0;
    EXPECT_EQ(enum_conns(conns, &bytes, &count), 0u);
    EXPECT_EQ(count, 1u);
    return count == 1 ? conns[0].hrasconn : nullptr;
  }
  DWORD StatusOf(HRASCONN handle, RASCONNSTATUSA& status) {
    status = {};
    status.dwSize = sizeof(status);
    return status_of(handle, &status);
  }
};

TEST_F(RassimApiTest, EnumerationsCheckRecordSizesAndReportTheBufferNeeded) {
  WriteControl("entries 3 E\nconnected E 1\nconnected E 2\n");
  RASENTRYNAMEA names[3] = {};
  DWORD bytes = 0;
  DWORD count = 0;
  // Size query: no buffer.
  EXPECT_EQ(enum_entries(nullptr, nullptr, nullptr, &bytes, &count),
            static_cast<DWORD>(ERROR_BUFFER_TOO_SMALL));
  EXPECT_EQ(bytes, 3 * sizeof(RASENTRYNAMEA));
  EXPECT_EQ(count, 3u);
  names[0].dwSize = 123;
  bytes = sizeof(names);
  EXPECT_EQ(enum_entries(nullptr, nullptr, names, &bytes, &count),
            static_cast<DWORD>(ERROR_INVALID_SIZE));
  // The old 264-byte record is accepted, and the stride follows it.
  names[0].dwSize = 264;
  bytes = 2 * 264;
  EXPECT_EQ(enum_entries(nullptr, nullptr, names, &bytes, &count),
            static_cast<DWORD>(ERROR_BUFFER_TOO_SMALL));
  EXPECT_EQ(bytes, 3 * 264u);
  EXPECT_EQ(enum_entries(nullptr, nullptr, names, &bytes, &count), 0u);
  EXPECT_STREQ(reinterpret_cast<const char*>(names) + 264 * 2 + 4, "E 3");
  EXPECT_EQ(enum_entries(nullptr, nullptr, names, nullptr, &count),
            static_cast<DWORD>(ERROR_INVALID_PARAMETER));

  RASCONNA conns[2] = {};
  conns[0].dwSize = sizeof(RASCONNA) + 4;
  bytes = sizeof(conns);
  EXPECT_EQ(enum_conns(conns, &bytes, &count), static_cast<DWORD>(ERROR_INVALID_SIZE));
  conns[0].dwSize = sizeof(RASCONNA);
  bytes = sizeof(RASCONNA);
  EXPECT_EQ(enum_conns(conns, &bytes, &count), static_cast<DWORD>(ERROR_BUFFER_TOO_SMALL));
  EXPECT_EQ(bytes, 2 * sizeof(RASCONNA));
  EXPECT_EQ(enum_conns(conns, &bytes, &count), 0u);
  EXPECT_EQ(count, 2u);
  EXPECT_STREQ(conns[1].szEntryName, "E 2");
  EXPECT_NE(conns[0].hrasconn, conns[1].hrasconn);
}

TEST_F(RassimApiTest, StatusRecordsOfBothVersionsAndInvalidHandles) {
  WriteControl("entry ISP\nphone 555-0100\nconnected ISP\n");
  const HRASCONN handle = OnlyConnection();
  RASCONNSTATUSA status;
  ASSERT_EQ(StatusOf(handle, status), 0u);
  EXPECT_EQ(status.rasconnstate, RASCS_Connected);
  EXPECT_STREQ(status.szPhoneNumber, "555-0100");
  status = {};
  status.dwSize = 160;
  EXPECT_EQ(status_of(handle, &status), 0u);
  EXPECT_STREQ(status.szDeviceName, "Simulated Modem");
  EXPECT_EQ(status.szPhoneNumber[0], '\0');  // beyond the old record: untouched
  status.dwSize = 100;
  EXPECT_EQ(status_of(handle, &status), static_cast<DWORD>(ERROR_INVALID_SIZE));
  EXPECT_EQ(StatusOf(reinterpret_cast<HRASCONN>(0x1234), status),
            static_cast<DWORD>(ERROR_INVALID_HANDLE));
  EXPECT_EQ(hang_up(reinterpret_cast<HRASCONN>(0x1234)), static_cast<DWORD>(ERROR_INVALID_HANDLE));
}

TEST_F(RassimApiTest, ErrorStringsNeedRoomForTheText) {
  WriteControl("");
  char text[256];
  ASSERT_EQ(error_string(678, text, sizeof(text)), 0u);
  EXPECT_STREQ(text, "There was no answer.");
  EXPECT_EQ(error_string(678, text, 5), static_cast<DWORD>(ERROR_INSUFFICIENT_BUFFER));
  EXPECT_EQ(error_string(12345, text, sizeof(text)), static_cast<DWORD>(ERROR_INVALID_PARAMETER));
  for (UINT code : {603u, 619u, 629u, 632u, 651u, 691u}) {
    EXPECT_EQ(error_string(code, text, sizeof(text)), 0u) << code;
  }
}

TEST_F(RassimApiTest, ProjectionAfterConnectingOnlyAndWithANewAddressEachTime) {
  WriteControl("step-delay 0\nclient-ip 10.1.1.{n}\nentry ISP\noutcome silent at 3\n");
  RASDIALPARAMSA params{};
  params.dwSize = sizeof(params);
  strcpy(params.szEntryName, "ISP");
  HRASCONN handle = nullptr;
  ASSERT_EQ(dial(nullptr, nullptr, &params, 0, nullptr, &handle),
            static_cast<DWORD>(ERROR_NO_ANSWER));
  RASPPPIPA ip{};
  ip.dwSize = sizeof(ip);
  DWORD bytes = sizeof(ip);
  EXPECT_EQ(projection(handle, RASP_PppIp, &ip, &bytes), 730u);
  hang_up(handle);

  std::vector<std::string> addresses;
  WriteControl("step-delay 0\nhangup-delay 0\nclient-ip 10.1.1.{n}\nentry ISP\n");
  for (int i = 0; i < 2; ++i) {
    handle = nullptr;
    ASSERT_EQ(dial(nullptr, nullptr, &params, 0, nullptr, &handle), 0u);
    ip = {};
    ip.dwSize = 40;
    bytes = 39;
    EXPECT_EQ(projection(handle, RASP_PppIp, &ip, &bytes),
              static_cast<DWORD>(ERROR_BUFFER_TOO_SMALL));
    EXPECT_EQ(bytes, 40u);
    EXPECT_EQ(projection(handle, RASP_PppIpx, &ip, &bytes), 731u);
    ASSERT_EQ(projection(handle, RASP_PppIp, &ip, &bytes), 0u);
    EXPECT_STREQ(ip.szServerIpAddress, "10.64.0.1");
    addresses.push_back(ip.szIpAddress);
    hang_up(handle);
  }
  EXPECT_NE(addresses[0], addresses[1]);
  EXPECT_THAT(addresses[0], ::testing::StartsWith("10.1.1."));
}

TEST_F(RassimApiTest, DialChecksItsArguments) {
  WriteControl("entry ISP\n");
  RASDIALPARAMSA params{};
  params.dwSize = 1052;  // the oldest record is accepted
  strcpy(params.szEntryName, "Unknown");
  HRASCONN handle = nullptr;
  EXPECT_EQ(dial(nullptr, nullptr, &params, 0, nullptr, &handle),
            static_cast<DWORD>(ERROR_CANNOT_FIND_PHONEBOOK_ENTRY));
  params.dwSize = 1000;
  EXPECT_EQ(dial(nullptr, nullptr, &params, 0, nullptr, &handle),
            static_cast<DWORD>(ERROR_INVALID_SIZE));
  params.dwSize = sizeof(params);
  strcpy(params.szEntryName, "ISP");
  handle = reinterpret_cast<HRASCONN>(1);
  EXPECT_EQ(dial(nullptr, nullptr, &params, 0, nullptr, &handle),
            static_cast<DWORD>(ERROR_INVALID_PARAMETER));
  EXPECT_EQ(get_params(nullptr, &params, nullptr), static_cast<DWORD>(ERROR_INVALID_PARAMETER));
}

std::atomic<int> g_type1_reports{0};
std::atomic<HRASCONN> g_type1_handle{nullptr};
void WINAPI Type1Notifier(HRASCONN handle, UINT message, RASCONNSTATE state, DWORD, DWORD) {
  if (message == WM_RASDIALEVENT) ++g_type1_reports;
  if (state == RASCS_Connected) g_type1_handle = handle;
}

TEST_F(RassimApiTest, NotifierWithHandleAndTheDialsLog) {
  WriteControl("step-delay 0\nentry ISP\nuser dave\npassword hidden\n");
  RASDIALPARAMSA params{};
  params.dwSize = sizeof(params);
  BOOL saved = FALSE;
  strcpy(params.szEntryName, "ISP");
  ASSERT_EQ(get_params(nullptr, &params, &saved), 0u);
  HRASCONN handle = nullptr;
  ASSERT_EQ(dial(nullptr, nullptr, &params, 1, reinterpret_cast<LPVOID>(&Type1Notifier), &handle),
            0u);
  ASSERT_TRUE(PumpUntil([] { return g_type1_handle.load() != nullptr; }));
  EXPECT_EQ(g_type1_handle.load(), handle);
  EXPECT_EQ(g_type1_reports.load(), 11);
  const auto dials = LogLines("RasDialA");
  ASSERT_EQ(dials.size(), 1u);
  EXPECT_THAT(dials[0], HasSubstr("entry=\"ISP\" user=\"dave\" password=set mode=async"));
  EXPECT_EQ(LogLines("progress").size(), 11u);
  EXPECT_THAT(ReadLog(), ::testing::Not(HasSubstr("hidden")));
}

TEST_F(RassimApiTest, StatisticsGrowWhileConnectedAndDropsEndTheConnection) {
  WriteControl("rates 100000 200000\nspeed 64000\nentry ISP\nconnected ISP\n");
  const HRASCONN handle = OnlyConnection();
  RAS_STATS first{};
  first.dwSize = sizeof(first);
  ASSERT_EQ(statistics(handle, &first), 0u);
  Sleep(50);
  RAS_STATS second{};
  second.dwSize = sizeof(second);
  ASSERT_EQ(statistics(handle, &second), 0u);
  EXPECT_GT(second.dwBytesXmited, first.dwBytesXmited);
  EXPECT_GT(second.dwBytesRcved, second.dwBytesXmited);
  EXPECT_EQ(second.dwBps, 64000u);
  second.dwSize = 56;
  EXPECT_EQ(statistics(handle, &second), static_cast<DWORD>(ERROR_INVALID_SIZE));

  WriteControl("entry ISP\ndrop ISP\n");
  RASCONNSTATUSA status;
  EXPECT_EQ(StatusOf(handle, status), static_cast<DWORD>(ERROR_INVALID_HANDLE));
  RASCONNA conns[1] = {};
  conns[0].dwSize = sizeof(RASCONNA);
  DWORD bytes = sizeof(conns);
  DWORD count = 9;
  EXPECT_EQ(enum_conns(conns, &bytes, &count), 0u);
  EXPECT_EQ(count, 0u);
  EXPECT_EQ(LogLines("drop entry=\"ISP\"").size(), 1u);
}

}  // namespace
}  // namespace tarnwick
