#include "rassim_fixture.h"

#include <ras.h>

#include <fstream>
#include <sstream>
#include <vector>

namespace tarnwick::testing {

void* RassimTest::RasProc(const char* name) {
  static HMODULE library = LoadLibraryExA("rasapi32.dll", nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);
  return library ? reinterpret_cast<void*>(GetProcAddress(library, name)) : nullptr;
}

void RassimTest::SetUp() {
  char temp[MAX_PATH];
  GetTempPathA(sizeof(temp), temp);
  const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
  dir_ = std::string(temp) + "rassim-" + std::to_string(GetCurrentProcessId()) + "-" +
         info->test_suite_name() + "-" + info->name();
  CreateDirectoryA(dir_.c_str(), nullptr);
  control_ = dir_ + "\\control.txt";
  log_ = dir_ + "\\events.log";
  DeleteFileA(log_.c_str());
  SetEnvironmentVariableA("RASSIM_CONTROL", control_.c_str());
  SetEnvironmentVariableA("RASSIM_LOG", log_.c_str());
  ASSERT_NE(RasProc("RasDialA"), nullptr) << "the simulated rasapi32.dll is not installed";
}

void RassimTest::TearDown() {
  // One process may run several tests: hang up whatever is still listed.
  auto enumerate = Ras<decltype(&RasEnumConnectionsA)>("RasEnumConnectionsA");
  auto hang_up = Ras<decltype(&RasHangUpA)>("RasHangUpA");
  if (enumerate == nullptr || hang_up == nullptr) return;
  WriteControl("hangup-delay 0\n");
  std::vector<RASCONNA> conns(16);
  conns[0].dwSize = sizeof(RASCONNA);
  DWORD bytes = static_cast<DWORD>(conns.size() * sizeof(RASCONNA));
  DWORD count = 0;
  if (enumerate(conns.data(), &bytes, &count) == 0) {
    for (DWORD i = 0; i < count; ++i) hang_up(conns[i].hrasconn);
  }
}

void RassimTest::WriteControl(const std::string& text) {
  // A revision line makes every version differ in size or time stamp.
  std::ofstream out(control_, std::ios::binary | std::ios::trunc);
  ++revision_;
  out << "# revision " << revision_ << std::string(revision_ % 2, ' ') << "\n" << text;
}

std::string RassimTest::ReadLog() const {
  std::ifstream in(log_, std::ios::binary);
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}

std::vector<std::string> RassimTest::LogLines(const std::string& prefix) const {
  std::vector<std::string> lines;
  std::istringstream in(ReadLog());
  std::string line;
  while (std::getline(in, line)) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (line.rfind(prefix, 0) == 0) lines.push_back(line);
  }
  return lines;
}

bool RassimTest::PumpUntil(const std::function<bool()>& done, int timeout_ms) {
  const ULONGLONG deadline = GetTickCount64() + static_cast<ULONGLONG>(timeout_ms);
  while (!done()) {
    if (GetTickCount64() >= deadline) return false;
    MsgWaitForMultipleObjects(0, nullptr, FALSE, 5, QS_ALLINPUT);
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
      TranslateMessage(&msg);
      DispatchMessageA(&msg);
    }
  }
  return true;
}

}  // namespace tarnwick::testing
