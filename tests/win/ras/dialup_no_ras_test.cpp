// A machine without RAS. The test runs a copy of itself with the library
// disabled, because the loaded library is process-wide and stays loaded once found.
#include <gmock/gmock.h>
#include <windows.h>

#include <cstdlib>
#include <fstream>
#include <string>

#include "app/error.h"
#include "ras/dialup.h"

namespace tarnwick {
namespace {

constexpr char kChildSwitch[] = "TARNWICK_RAS_ABSENT_CHILD";

std::string ErrorOf(const std::function<void()>& call) {
  try {
    call();
  } catch (const Error& e) {
    return e.what();
  }
  return "(no error)";
}

TEST(DialUpWithoutRas, EveryCallRaisesTheLoadError) {
  if (std::getenv(kChildSwitch) == nullptr) GTEST_SKIP() << "runs as the child of the test below";
  TDialUp dialup;  // creating the component needs no RAS
  dialup.Entry = "ISP";
  const std::string expected = "Error opening rasapi.dll";
  int count = 0;
  std::string text;
  EXPECT_EQ(ErrorOf([&] { dialup.GetEntries(); }), expected);
  EXPECT_EQ(ErrorOf([&] { dialup.GetEntries(); }), expected);
  EXPECT_EQ(ErrorOf([&] { dialup.GetConnections(count); }), expected);
  EXPECT_EQ(ErrorOf([&] { dialup.Dial(); }), expected);
  EXPECT_EQ(ErrorOf([&] { dialup.HangUp(); }), expected);
  EXPECT_EQ(ErrorOf([&] { dialup.GetEntryPassword(text); }), expected);
  EXPECT_EQ(ErrorOf([&] { dialup.SetEntryUserName("u"); }), expected);
  EXPECT_EQ(ErrorOf([&] { dialup.GetIPAddresses(1234); }), expected);
  EXPECT_EQ(ErrorOf([&] { dialup.StatusText(0, 678); }), expected);
  // Calls that need no RAS still work.
  EXPECT_EQ(dialup.GetIPAddresses(0), 0);
  EXPECT_EQ(dialup.StatusText(0x2000, 0), "Connected");
  // Tell the parent that the checks ran (a skipped child also exits with 0).
  std::ofstream(std::getenv(kChildSwitch)) << "ran";
}

// Wine picks a library's load order per program name: a copy of this binary
// under its own name gets rasapi32 disabled (an empty override), which is what
// a machine without dial-up networking looks like, without touching the
// processes of other tests.
TEST(DialUpWithoutRas, ChildProcessSeesNoRasLibrary) {
  if (std::getenv(kChildSwitch) != nullptr) GTEST_SKIP();
  char exe[MAX_PATH];
  ASSERT_GT(GetModuleFileNameA(nullptr, exe, sizeof(exe)), 0u);
  char temp[MAX_PATH];
  GetTempPathA(sizeof(temp), temp);
  const std::string tag = "tarnwick_no_ras_" + std::to_string(GetCurrentProcessId());
  const std::string copy = std::string(temp) + tag + ".exe";
  const std::string marker = std::string(temp) + tag + ".txt";
  ASSERT_TRUE(CopyFileA(exe, copy.c_str(), FALSE));
  DeleteFileA(marker.c_str());
  const std::string key = "Software\\Wine\\AppDefaults\\" + tag + ".exe\\DllOverrides";
  HKEY overrides = nullptr;
  ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, key.c_str(), 0, nullptr, 0, KEY_SET_VALUE, nullptr,
                            &overrides, nullptr),
            ERROR_SUCCESS);
  RegSetValueExA(overrides, "rasapi32", 0, REG_SZ, reinterpret_cast<const BYTE*>(""), 1);
  RegCloseKey(overrides);

  SetEnvironmentVariableA(kChildSwitch, marker.c_str());
  std::string command =
      "\"" + copy + "\" --gtest_filter=DialUpWithoutRas.EveryCallRaisesTheLoadError";
  STARTUPINFOA startup{};
  startup.cb = sizeof(startup);
  PROCESS_INFORMATION process{};
  const BOOL started = CreateProcessA(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr,
                                      nullptr, &startup, &process);
  SetEnvironmentVariableA(kChildSwitch, nullptr);
  DWORD exit_code = 1;
  bool ended = false;
  if (started) {
    ended = WaitForSingleObject(process.hProcess, 60000) == WAIT_OBJECT_0;
    GetExitCodeProcess(process.hProcess, &exit_code);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
  }
  RegDeleteKeyA(HKEY_CURRENT_USER, key.c_str());
  RegDeleteKeyA(HKEY_CURRENT_USER, ("Software\\Wine\\AppDefaults\\" + tag + ".exe").c_str());
  DeleteFileA(copy.c_str());
  ASSERT_TRUE(started);
  ASSERT_TRUE(ended);
  EXPECT_EQ(exit_code, 0u) << "the child's checks failed (its output is above)";
  EXPECT_NE(GetFileAttributesA(marker.c_str()), INVALID_FILE_ATTRIBUTES) << "the child did not run";
  DeleteFileA(marker.c_str());
}

}  // namespace
}  // namespace tarnwick
