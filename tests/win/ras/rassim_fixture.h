#pragma once
// Tests against the simulated RAS service: each test gets its own control file
// and event log (RASSIM_CONTROL / RASSIM_LOG point at them) and leaves no
// connection behind.
#include <gtest/gtest.h>
#include <windows.h>

#include <functional>
#include <string>

namespace tarnwick::testing {

class RassimTest : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;

  // Replaces the control file; the service re-reads it at its next call.
  void WriteControl(const std::string& text);
  std::string ReadLog() const;
  // Lines of the event log that start with `prefix`.
  std::vector<std::string> LogLines(const std::string& prefix) const;

  // Processes this thread's messages until `done` or `timeout_ms` pass.
  static bool PumpUntil(const std::function<bool()>& done, int timeout_ms = 5000);

  // A RAS function of the installed library.
  template <typename F>
  static F Ras(const char* name) {
    return reinterpret_cast<F>(RasProc(name));
  }
  static void* RasProc(const char* name);

  std::string dir_;
  std::string control_;
  std::string log_;
  int revision_ = 0;
};

}  // namespace tarnwick::testing
