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
  // Runs `/usr/bin/python3 <script> <folder>`; waits up to ten seconds for "ready".
  explicit LinuxPeer(const std::string& script) {
    static int serial = 0;
    unix_dir_ = "/tmp/tarnwick-peer-" + std::to_string(GetCurrentProcessId()) + "-" +
                std::to_string(++serial);
    CreateDirectoryA(Path("").c_str(), nullptr);
    std::string command = "Z:\\usr\\bin\\python3 " + script + " " + unix_dir_;
    STARTUPINFOA si{};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi{};
    if (!CreateProcessA(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si,
                        &pi)) {
      return;
    }
    CloseHandle(pi.hProcess);
    CloseHandle(pi.hThread);
    for (int i = 0; i < 200 && !ready_; ++i) {
      ready_ = GetFileAttributesA(Path("ready").c_str()) != INVALID_FILE_ATTRIBUTES;
      if (!ready_) Sleep(50);
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
