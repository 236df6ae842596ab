#pragma once
// A Linux program started from a Wine test (python3 serving on loopback), in a
// folder of its own under /tmp. Wine cannot wait on or end such a process, so
// the two sides talk through files: the program writes "ready" once it
// listens, and ends by itself when "stop" appears.
#include <windows.h>

#include <fstream>
#include <sstream>
#include <string>

namespace tarnwick::testing {

class LinuxPeer {
 public:
  // Runs `/usr/bin/python3 <script> [<mode>] <folder> [<more>]` and waits up to
  // ten seconds for "ready", processing this thread's messages meanwhile.
  explicit LinuxPeer(const std::string& script, const std::string& mode = "",
                     const std::string& more = "") {
    static int serial = 0;
    // Wine reuses process ids from one test process to the next: the clock keeps
    // a later test from finding an earlier one's "ready" and "stop" files.
    LARGE_INTEGER now{};
    QueryPerformanceCounter(&now);
    unix_dir_ = "/tmp/tarnwick-peer-" + std::to_string(GetCurrentProcessId()) + "-" +
                std::to_string(++serial) + "-" + std::to_string(now.QuadPart);
    CreateDirectoryA(Path("").c_str(), nullptr);
    std::string command = "Z:\\usr\\bin\\python3 " + script + (mode.empty() ? "" : " " + mode) +
                          " " + unix_dir_ + (more.empty() ? "" : " " + more);
    STARTUPINFOA si{};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi{};
    if (!CreateProcessA(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si,
                        &pi)) {
      return;
    }
    CloseHandle(pi.hProcess);
    CloseHandle(pi.hThread);
    for (int i = 0; i < 500 && !ready_; ++i) {
      ready_ = GetFileAttributesA(Path("ready").c_str()) != INVALID_FILE_ATTRIBUTES;
      MSG msg;
      while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&msg);
      if (!ready_) Sleep(20);
    }
  }
  ~LinuxPeer() { std::ofstream(Path("stop")) << "stop\n"; }
  LinuxPeer(const LinuxPeer&) = delete;
  LinuxPeer& operator=(const LinuxPeer&) = delete;

  bool ready() const { return ready_; }
  // A file of the folder, "" when it is not there.
  std::string Read(const std::string& name) const {
    std::ifstream in(Path(name), std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
  }
  // The Windows path of a file of the folder.
  std::string Path(const std::string& name) const {
    std::string path = "Z:" + unix_dir_ + (name.empty() ? "" : "/" + name);
    for (char& c : path) c = c == '/' ? '\\' : c;
    return path;
  }

 private:
  std::string unix_dir_;
  bool ready_ = false;
};

}  // namespace tarnwick::testing
