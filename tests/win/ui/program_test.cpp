// The real program: first and second start (the welcome wizard), the start-up
// switch, one instance, and the end of a session, observed through the registry
// and its windows.
#include <windows.h>

#include <gtest/gtest.h>

#include <fstream>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "app/registry_win32.h"
#include "app/settings_store.h"
#include "ui/main_window_win32.h"

namespace tarnwick {
namespace {

constexpr const char* kProduct = "SOFTWARE\\Fenmoor\\Tarnwick";

std::string ExeWindowsPath() {
  std::string path = "Z:" + std::string(TARNWICK_EXE);
  for (char& c : path) {
    if (c == '/') c = '\\';
  }
  return path;
}

using Snapshot = std::map<std::string, std::pair<DWORD, std::string>>;

// Every value below a key, by "subkey\name".
void SnapshotKey(HKEY root, const std::string& path, Snapshot& out) {
  HKEY key;
  if (RegOpenKeyExA(root, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) return;
  for (DWORD i = 0;; ++i) {
    char name[256];
    DWORD name_len = sizeof name, type = 0, size = 0;
    if (RegEnumValueA(key, i, name, &name_len, nullptr, &type, nullptr, &size) != ERROR_SUCCESS) {
      break;
    }
    std::string data(size, '\0');
    name_len = sizeof name;
    RegEnumValueA(key, i, name, &name_len, nullptr, &type, reinterpret_cast<BYTE*>(data.data()),
                  &size);
    out[path + "\\" + name] = {type, data};
  }
  for (DWORD i = 0;; ++i) {
    char sub[256];
    DWORD sub_len = sizeof sub;
    if (RegEnumKeyExA(key, i, sub, &sub_len, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) {
      break;
    }
    SnapshotKey(root, path + "\\" + sub, out);
  }
  RegCloseKey(key);
}

Snapshot Tree() {
  Snapshot snapshot;
  SnapshotKey(HKEY_LOCAL_MACHINE, kProduct, snapshot);
  return snapshot;
}

// A whole command line, as Windows starts a Run value.
struct CommandLine {
  std::string text;
};

class Program {
 public:
  explicit Program(const std::string& args = "")
      : Program(CommandLine{"\"" + ExeWindowsPath() + "\"" + (args.empty() ? "" : " " + args)}) {}
  explicit Program(CommandLine command) {
    STARTUPINFOA si{};
    si.cb = sizeof si;
    started_ = CreateProcessA(nullptr, command.text.data(), nullptr, nullptr, FALSE, 0, nullptr,
                              nullptr, &si, &pi_);
  }
  ~Program() {
    if (!started_) return;
    if (WaitForSingleObject(pi_.hProcess, 0) == WAIT_TIMEOUT) TerminateProcess(pi_.hProcess, 9);
    CloseHandle(pi_.hProcess);
    CloseHandle(pi_.hThread);
  }
  bool started() const { return started_; }

  HWND WaitForWindow() const {
    for (int i = 0; i < 300; ++i) {
      HWND hwnd = FindWindowA(kMainWindowClass, nullptr);
      if (hwnd) {
        WaitForInputIdle(pi_.hProcess, 5000);
        return hwnd;
      }
      if (WaitForSingleObject(pi_.hProcess, 50) == WAIT_OBJECT_0) return nullptr;
    }
    return nullptr;
  }

  // Exit code, or -1 when it is still running after `ms`.
  long WaitForExit(DWORD ms) const {
    if (WaitForSingleObject(pi_.hProcess, ms) != WAIT_OBJECT_0) return -1;
    DWORD code = 0;
    GetExitCodeProcess(pi_.hProcess, &code);
    return static_cast<long>(code);
  }

 private:
  PROCESS_INFORMATION pi_{};
  bool started_ = false;
};

// The window exists before the program shows it; give it a moment.
bool WaitUntilVisible(HWND hwnd) {
  for (int i = 0; i < 250 && !IsWindowVisible(hwnd); ++i) Sleep(20);
  return IsWindowVisible(hwnd);
}

// A window of `window_class` on the screen, or null after five seconds.
HWND WaitForShown(const char* window_class) {
  for (int i = 0; i < 250; ++i) {
    HWND window = FindWindowA(window_class, nullptr);
    if (window && IsWindowVisible(window)) return window;
    Sleep(20);
  }
  return nullptr;
}

// A product key with only its layout version: not a first start, so no wizard
// (the program completes the tree as it would an older one, silently).
void SeedSettings() {
  HKEY key;
  if (RegCreateKeyExA(HKEY_LOCAL_MACHINE, kProduct, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key,
                      nullptr) != ERROR_SUCCESS) {
    return;
  }
  const double version = 1.1;
  RegSetValueExA(key, "version", 0, REG_BINARY, reinterpret_cast<const BYTE*>(&version),
                 sizeof version);
  RegCloseKey(key);
}

void EndSession(HWND hwnd) {
  DWORD_PTR answer = 0;
  ASSERT_TRUE(SendMessageTimeoutA(hwnd, WM_QUERYENDSESSION, 0, 0, SMTO_NORMAL, 10000, &answer));
  EXPECT_EQ(answer, static_cast<DWORD_PTR>(TRUE));
  SendMessageTimeoutA(hwnd, WM_ENDSESSION, TRUE, 0, SMTO_NORMAL, 10000, nullptr);
}

class ProgramTest : public ::testing::Test {
 protected:
  void SetUp() override {
    RegDeleteTreeA(HKEY_LOCAL_MACHINE, kProduct);
    HKEY run;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, "Software\\Microsoft\\Windows\\CurrentVersion\\Run", 0,
                      KEY_ALL_ACCESS, &run) == ERROR_SUCCESS) {
      RegDeleteValueA(run, "Tarnwick");
      RegCloseKey(run);
    }
  }
  void TearDown() override { RegDeleteTreeA(HKEY_LOCAL_MACHINE, kProduct); }
};

TEST_F(ProgramTest, AFirstStartShowsTheWizardAndASecondNeitherItNorChangesAnything) {
  {
    Program first;
    ASSERT_TRUE(first.started());
    HWND hwnd = first.WaitForWindow();
    ASSERT_TRUE(hwnd);
    // The wizard comes first; the window shows once it is closed.
    HWND wizard = WaitForShown("TfrmWelcome");
    ASSERT_TRUE(wizard);
    EXPECT_FALSE(IsWindowVisible(hwnd));
    const Snapshot created = Tree();
    EXPECT_EQ(created.size(), 42u + 5u);  // product key values and Main
    EXPECT_EQ(created.at(std::string(kProduct) + "\\Main\\Width"),
              std::make_pair(DWORD{REG_DWORD}, std::string("\xB8\x01\0\0", 4)));
    PostMessageA(wizard, WM_CLOSE, 0, 0);
    EXPECT_TRUE(WaitUntilVisible(hwnd));
    EXPECT_EQ(Tree(), created);  // closed on its first page: nothing stored
    EndSession(hwnd);
    EXPECT_EQ(first.WaitForExit(10000), 0);
  }
  char run_value[MAX_PATH * 2] = {};
  DWORD size = sizeof run_value;
  ASSERT_EQ(RegGetValueA(HKEY_LOCAL_MACHINE, "Software\\Microsoft\\Windows\\CurrentVersion\\Run",
                         "Tarnwick", RRF_RT_REG_SZ, nullptr, run_value, &size),
            ERROR_SUCCESS);
  EXPECT_EQ(std::string(run_value), "\"" + ExeWindowsPath() + "\" startup");

  const Snapshot after_first = Tree();
  Program second;
  HWND hwnd = second.WaitForWindow();
  ASSERT_TRUE(hwnd);
  EXPECT_TRUE(WaitUntilVisible(hwnd));
  EXPECT_EQ(FindWindowA("TfrmWelcome", nullptr), nullptr);
  EXPECT_EQ(Tree(), after_first);  // loading wrote nothing
  EndSession(hwnd);
  EXPECT_EQ(second.WaitForExit(10000), 0);
  EXPECT_EQ(Tree(), after_first);  // and the same window stored the same values
}

// Stored settings with every kind of step, a schedule and steps' counts.
Settings StoredSettings() {
  Settings s;
  s.AutoStart = false;
  s.conname = "ISP";
  s.redelay = 30;
  s.kaPingHost = "ping.example.org";
  s.weekdays = {2, 4, 6};
  Notif mail;
  mail.emailNotifr = {"me@example.org", "you@example.org", "New IP <IPADDRESS>", "Body", "", "", 3};
  Notif upload;
  upload.NotifyMethod = kNotifyFtp;
  upload.FTPNotifr = {"ftp.example.org", "/ip.html", "<IPADDRESS>", 2121, "u", "p"};
  Notif pause;
  pause.NotifyMethod = kNotifySleep;
  pause.sseconds = 45;
  s.notifs = {mail, upload, pause};
  return s;
}

// Answers the warning the load shows for a tree without its version.
bool DismissWarning(const Program& program) {
  for (int i = 0; i < 300; ++i) {
    if (HWND box = FindWindowA("#32770", "Warning")) {
      PostMessageA(box, WM_COMMAND, IDOK, 0);
      return true;
    }
    if (program.WaitForExit(50) != -1) return false;
  }
  return false;
}

// A damaged tree must neither stop the program (an allocation the size of a
// damaged count) nor lose a stored value: after a start and an Exit the tree is
// the one the program last wrote whole, the damaged value repaired.
TEST_F(ProgramTest, ADamagedTreeStartsAndKeepsEveryValueThroughAStartAndAnExit) {
  char temp[MAX_PATH];
  GetTempPathA(sizeof temp, temp);
  const std::string control = std::string(temp) + "tarnwick-program-test-control.txt";
  {
    std::ofstream out(control, std::ios::binary);
    out << "entry ISP\n";
  }
  SetEnvironmentVariableA("RASSIM_CONTROL", control.c_str());
  struct Damage {
    const char* value;
    std::optional<DWORD> number;  // empty: the value is removed
    bool warns;
  };
  for (const Damage& d : {Damage{"Notifcnt", 0x7FFFFFFF, false},
                          Damage{"schedwdaynum", 0x7FFFFFFF, false},
                          Damage{"version", std::nullopt, true}}) {
    RegDeleteTreeA(HKEY_LOCAL_MACHINE, kProduct);
    Win32Registry machine(HKEY_LOCAL_MACHINE);
    SaveSettings(StoredSettings(), machine);
    const Snapshot whole = Tree();
    HKEY product;
    ASSERT_EQ(RegOpenKeyExA(HKEY_LOCAL_MACHINE, kProduct, 0, KEY_ALL_ACCESS, &product), 0);
    if (d.number) {
      RegSetValueExA(product, d.value, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&*d.number),
                     sizeof(DWORD));
    } else {
      RegDeleteValueA(product, d.value);
    }
    RegCloseKey(product);

    Program program;
    if (d.warns) {
      ASSERT_TRUE(DismissWarning(program)) << d.value;
    }
    HWND hwnd = program.WaitForWindow();
    ASSERT_TRUE(hwnd) << d.value << ": the program did not start";
    PostMessageA(hwnd, WM_COMMAND, kCmdExitProgram, 0);
    EXPECT_EQ(program.WaitForExit(10000), 0) << d.value;
    EXPECT_EQ(Tree(), whole) << d.value;
  }
  SetEnvironmentVariableA("RASSIM_CONTROL", nullptr);
  DeleteFileA(control.c_str());
}

std::string RunValue() {
  char value[MAX_PATH * 2] = {};
  DWORD size = sizeof value;
  if (RegGetValueA(HKEY_LOCAL_MACHINE, "Software\\Microsoft\\Windows\\CurrentVersion\\Run",
                   "Tarnwick", RRF_RT_REG_SZ, nullptr, value, &size) != ERROR_SUCCESS) {
    return {};
  }
  return value;
}

// A program under a folder with spaces: the Run value it registers starts it
// hidden, as does the unquoted value older versions wrote.
TEST_F(ProgramTest, TheRunValueStartsTheProgramHiddenFromAFolderWithSpaces) {
  const std::string folder = "C:\\Program Files\\Tarnwick Test";
  const std::string exe = folder + "\\tarnwick.exe";
  CreateDirectoryA(folder.c_str(), nullptr);
  ASSERT_TRUE(CopyFileA(ExeWindowsPath().c_str(), exe.c_str(), FALSE));
  {
    Program first(CommandLine{"\"" + exe + "\""});
    HWND hwnd = first.WaitForWindow();
    ASSERT_TRUE(hwnd);
    EndSession(hwnd);
    EXPECT_EQ(first.WaitForExit(10000), 0);
  }
  EXPECT_EQ(RunValue(), "\"" + exe + "\" startup");
  for (const std::string& command : {RunValue(), exe + " startup"}) {
    Program at_logon(CommandLine{command});
    HWND hwnd = at_logon.WaitForWindow();
    ASSERT_TRUE(hwnd) << command;
    Sleep(300);
    EXPECT_FALSE(IsWindowVisible(hwnd)) << command;
    EndSession(hwnd);
    EXPECT_EQ(at_logon.WaitForExit(10000), 0) << command;
  }
  DeleteFileA(exe.c_str());
  RemoveDirectoryA(folder.c_str());
}

TEST_F(ProgramTest, TheStartupSwitchStartsHiddenAndASecondStartShowsTheWindow) {
  SeedSettings();
  Program tray_only("StartUp");
  HWND hwnd = tray_only.WaitForWindow();
  ASSERT_TRUE(hwnd);
  EXPECT_FALSE(IsWindowVisible(hwnd));

  Program again_at_logon("startup");
  EXPECT_EQ(again_at_logon.WaitForExit(10000), 0);
  EXPECT_FALSE(IsWindowVisible(hwnd));

  Program by_the_user;
  EXPECT_EQ(by_the_user.WaitForExit(10000), 0);
  EXPECT_TRUE(WaitUntilVisible(hwnd));
  EXPECT_EQ(FindWindowExA(nullptr, hwnd, kMainWindowClass, nullptr), nullptr);  // still one

  EndSession(hwnd);
  EXPECT_EQ(tray_only.WaitForExit(10000), 0);
}

// The program carries the option dialogs' templates and opens each modally.
TEST_F(ProgramTest, EachOptionCommandOpensItsDialog) {
  SeedSettings();
  Program program;
  HWND hwnd = program.WaitForWindow();
  ASSERT_TRUE(hwnd);
  ASSERT_TRUE(WaitUntilVisible(hwnd));
  const std::pair<UINT, const char*> commands[] = {
      {kCmdReconnection, "TfrmKXReconnect"},
      {kCmdIpMonitor, "TfrmKXMonitor"},
      {kCmdKeepAlive, "TfrmKXKeepAlive"},
      {kCmdScheduler, "TfrmKXSchedule"},
      {kCmdEmailSettings, "Tfrmemail"},
  };
  for (const auto& [command, window_class] : commands) {
    SCOPED_TRACE(window_class);
    PostMessageA(hwnd, WM_COMMAND, command, 0);
    HWND dialog = nullptr;
    for (int i = 0; i < 250 && !(dialog && IsWindowVisible(dialog)); ++i) {
      Sleep(20);
      dialog = FindWindowA(window_class, nullptr);
    }
    ASSERT_TRUE(dialog && IsWindowVisible(dialog));
    EXPECT_FALSE(IsWindowEnabled(hwnd));
    PostMessageA(dialog, WM_CLOSE, 0, 0);
    for (int i = 0; i < 250 && IsWindow(dialog); ++i) Sleep(20);
    EXPECT_FALSE(IsWindow(dialog));
  }
  EndSession(hwnd);
  EXPECT_EQ(program.WaitForExit(10000), 0);
}

}  // namespace
}  // namespace tarnwick
