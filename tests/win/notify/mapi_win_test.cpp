// The e-mail step through Simple MAPI against the simulated mail system
// (tools/mapisim), which records every call in its event log: what reaches the
// mail program, the logon and pick fall-backs, the warnings, and every buffer
// MAPI handed out coming back.
#include <gtest/gtest.h>
#include <windows.h>

#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "app/error.h"
#include "notify/mapi_step.h"
#include "notify/mapi_win32.h"
#include "notify/script.h"
#include "ras/platform_info_win32.h"
#include "support/message_box_recorder.h"

namespace tarnwick {
namespace {

constexpr const char* kMessagingKey = "SOFTWARE\\Microsoft\\Windows Messaging Subsystem";

// key=value pairs of a log line; quoted values unescaped.
std::map<std::string, std::string> Fields(const std::string& line) {
  std::map<std::string, std::string> fields;
  size_t i = line.find(' ');
  while (i != std::string::npos && i < line.size()) {
    const size_t eq = line.find('=', i + 1);
    if (eq == std::string::npos) break;
    const std::string key = line.substr(i + 1, eq - i - 1);
    std::string value;
    size_t j = eq + 1;
    if (j < line.size() && line[j] == '"') {
      for (++j; j < line.size() && line[j] != '"'; ++j) {
        if (line[j] == '\\' && j + 1 < line.size()) {
          const char c = line[++j];
          value += c == 'r' ? '\r' : c == 'n' ? '\n' : c == 't' ? '\t' : c;
        } else {
          value += line[j];
        }
      }
      ++j;
    } else {
      while (j < line.size() && line[j] != ' ') value += line[j++];
    }
    fields[key] = value;
    i = line.find(' ', j);
  }
  return fields;
}

void SetMessagingValue(const char* value) {
  HKEY key = nullptr;
  ASSERT_EQ(RegCreateKeyExA(HKEY_LOCAL_MACHINE, kMessagingKey, 0, nullptr, 0, KEY_ALL_ACCESS,
                            nullptr, &key, nullptr),
            ERROR_SUCCESS);
  if (value) {
    RegSetValueExA(key, "MAPI", 0, REG_SZ, reinterpret_cast<const BYTE*>(value),
                   static_cast<DWORD>(strlen(value) + 1));
  } else {
    RegDeleteValueA(key, "MAPI");
  }
  RegCloseKey(key);
}

class MapisimTest : public ::testing::Test {
 protected:
  void SetUp() override {
    char temp[MAX_PATH];
    GetTempPathA(sizeof temp, temp);
    const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
    dir_ =
        std::string(temp) + "mapisim-" + std::to_string(GetCurrentProcessId()) + "-" + info->name();
    CreateDirectoryA(dir_.c_str(), nullptr);
    control_ = dir_ + "\\control.txt";
    log_ = dir_ + "\\events.log";
    DeleteFileA(log_.c_str());
    SetEnvironmentVariableA("MAPISIM_CONTROL", control_.c_str());
    SetEnvironmentVariableA("MAPISIM_LOG", log_.c_str());
    SetMessagingValue("1");
    mapi_ = LoadSystemMapi(QuerySystemPlatform());
    ASSERT_NE(mapi_, nullptr) << "the simulated mapi32.dll is not installed";
  }
  void TearDown() override {
    SetMessagingValue("1");
    // A control line the simulator could not read would make a test prove nothing.
    EXPECT_TRUE(Lines("problem").empty()) << ReadLog();
  }

  void Control(const std::string& text) {
    // The revision and its padding make every version differ in size.
    ++revision_;
    std::ofstream(control_, std::ios::binary | std::ios::trunc)
        << "# " << revision_ << std::string(revision_ % 2, ' ') << "\n"
        << text;
  }
  std::string ReadLog() const {
    std::ifstream in(log_, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
  }
  std::vector<std::string> Lines(const std::string& prefix) const {
    std::vector<std::string> lines;
    std::istringstream in(ReadLog());
    for (std::string line; std::getline(in, line);) {
      if (!line.empty() && line.back() == '\r') line.pop_back();
      if (line.rfind(prefix + " ", 0) == 0) lines.push_back(line);
    }
    return lines;
  }
  // The values of `key` in the lines that start with `prefix`.
  std::vector<std::string> Values(const std::string& prefix, const std::string& key) const {
    std::vector<std::string> values;
    for (const std::string& line : Lines(prefix)) values.push_back(Fields(line)[key]);
    return values;
  }
  void ExpectEveryBufferFreed() const {
    std::vector<std::string> handed_out;
    for (const std::string& line : Lines("MAPIResolveName")) {
      auto f = Fields(line);
      if (f.count("buffer")) handed_out.push_back(f["buffer"]);
    }
    EXPECT_EQ(Values("MAPIFreeBuffer", "buffer"), handed_out);
  }

  EmailNotif Step(const std::string& to) {
    EmailNotif e;
    e.ETo = to;
    e.esubject = "New IP Address: <IPADDRESS>";
    e.emessage = "Your new IP Address is: <IPADDRESS>";
    return e;
  }
  void Send(const EmailNotif& fields) {
    Notif step;
    step.emailNotifr = fields;
    SendMapiMailStep(step, "10.1.2.3", email_, {40, 50});
  }

  std::unique_ptr<SimpleMapi> mapi_;
  TEmail email_{[this] { return mapi_.get(); }};
  testing::MessageBoxRecorder boxes;
  std::string dir_, control_, log_;
  int revision_ = 0;
};

using Strings = std::vector<std::string>;

TEST_F(MapisimTest, TheRecipientsThatReachTheMailProgram) {
  const std::string n255(255, 'n');
  struct Row {
    const char* name;
    std::string control, to;
    Strings resolved;    // inputs of MAPIResolveName, with their flags
    Strings recipients;  // class, name, address, entry identifier
    std::string send_flags;
    Strings lines_after;  // the component's recipient lines after the send
  } rows[] = {
      {"two recipients split at ; and trimmed",
       "address Joe Bloggs | SMTP:joe@example.com\n",
       " joe@example.com ;  ann@example.com ",
       {"joe@example.com 0x0", "ann@example.com 0x0"},
       {"1 Joe Bloggs SMTP:joe@example.com MSIM#1",
        "1 ann@example.com SMTP:ann@example.com MSIM#2"},
       "0x0",
       {"Joe Bloggs", "ann@example.com"}},
      {"a trailing ; adds nothing",
       "",
       "joe@example.com;",
       {"joe@example.com 0x0"},
       {"1 joe@example.com SMTP:joe@example.com MSIM#1"},
       "0x0",
       {"joe@example.com", ""}},
      {"names and addresses are handled up to 255 characters",
       "",
       std::string(300, 'n'),
       {n255 + " 0x0"},
       {"1 " + n255 + " SMTP:" + n255.substr(5) + " MSIM#1"},
       "0x0",
       {n255}},
      {"the one-off form loses its brackets",
       "resolve [SMTP:joe@example.com] | Joe | SMTP:joe@example.com\n",
       "[SMTP:joe@example.com]",
       {"[SMTP:joe@example.com] 0x0"},
       {"1 SMTP:joe@example.com SMTP:joe@example.com none"},
       "0x0",
       {"[SMTP:joe@example.com]"}},
      {"not found, then picked by the user",
       "not-found Joe\npick Joe Bloggs | SMTP:joe@example.com\n",
       "Joe",
       {"Joe 0x0", "Joe 0x8"},
       {"1 Joe Bloggs SMTP:joe@example.com MSIM#1"},
       "0x0",
       {"Joe Bloggs"}},
      {"ambiguous, the pick cancelled: nobody left, MAPI's compose window",
       "ambiguous Jo\n",
       "Jo",
       {"Jo 0x0", "Jo 0x8"},
       {},
       "0x8",
       {"Jo"}},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.name);
    Control(r.control);
    DeleteFileA(log_.c_str());
    boxes.boxes.clear();
    Send(Step(r.to));

    Strings resolved;
    for (const std::string& line : Lines("MAPIResolveName")) {
      auto f = Fields(line);
      resolved.push_back(f["input"] + " " + f["flags"]);
    }
    EXPECT_EQ(resolved, r.resolved);
    Strings recipients;
    for (const std::string& line : Lines("recipient")) {
      auto f = Fields(line);
      recipients.push_back(f["class"] + " " + f["name"] + " " + f["address"] + " " + f["eid"]);
    }
    EXPECT_EQ(recipients, r.recipients);
    EXPECT_EQ(Values("MAPISendMail", "flags"), Strings{r.send_flags}) << ReadLog();
    EXPECT_EQ(Values("MAPISendMail", "result"), Strings{"0"});
    EXPECT_EQ(email_.Recipient, r.lines_after);
    EXPECT_EQ(Values("MAPILogon", "flags"), Strings{"0x0"});
    EXPECT_EQ(Values("MAPILogoff", "result"), Strings{"0"});
    ExpectEveryBufferFreed();
    EXPECT_TRUE(boxes.texts().empty());
  }
}

TEST_F(MapisimTest, TheSubjectIsCutAt255TheBodySentWhole) {
  EmailNotif fields = Step("joe@example.com");
  fields.esubject = "<IPADDRESS> <IPADDRESS>" + std::string(300, 's');
  fields.emessage = "<IPADDRESS> <IPADDRESS>\r\n" + std::string(300, 'b');
  Send(fields);
  auto sent = Fields(Lines("MAPISendMail").at(0));
  EXPECT_EQ(sent["subject"], ("10.1.2.3 <IPADDRESS>" + std::string(300, 's')).substr(0, 255));
  EXPECT_EQ(sent["body"], "10.1.2.3 <IPADDRESS>\r\n" + std::string(300, 'b'));
}

TEST_F(MapisimTest, RefusalsAndFailuresEndInOneWarningAndTheRunGoesOn) {
  struct Row {
    const char* name;
    std::string control, to;
    Strings logons;  // flags=result of each MAPILogon
    size_t sends, logoffs;
    Strings boxes;
  } rows[] = {
      {"logon refused once: MAPI's own logon succeeds",
       "logon refuse 1\n",
       "joe@example.com",
       {"0x0=3", "0x1=0"},
       1,
       1,
       {}},
      {"logon refused twice",
       "logon refuse always\nlogon-result 2\n",
       "joe@example.com",
       {"0x0=2", "0x1=2"},
       0,
       0,
       {kMapiSendFailed}},
      {"the mail program fails the send",
       "send fail 2\n",
       "joe@example.com",
       {"0x0=0"},
       1,
       1,
       {kMapiSendFailed}},
      {"the user cancels the compose window",
       "unknown not-found\nsend cancel\n",
       "nobody",
       {"0x0=0"},
       1,
       1,
       {kMapiSendFailed}},
      {"nobody in the To box", "", "", {}, 0, 0, {kNoRecipient}},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.name);
    Control(r.control);
    DeleteFileA(log_.c_str());
    boxes.boxes.clear();
    Send(Step(r.to));
    Strings logons;
    for (const std::string& line : Lines("MAPILogon")) {
      auto f = Fields(line);
      logons.push_back(f["flags"] + "=" + f["result"]);
    }
    EXPECT_EQ(logons, r.logons);
    EXPECT_EQ(Lines("MAPISendMail").size(), r.sends);
    EXPECT_EQ(Lines("MAPILogoff").size(), r.logoffs);
    EXPECT_EQ(boxes.texts(), r.boxes);
    for (const auto& box : boxes.boxes) {
      EXPECT_EQ(box.icon, BoxIcon::Warning);
      EXPECT_EQ(box.position, (ScreenPoint{40, 50}));
    }
    ExpectEveryBufferFreed();
  }
}

TEST_F(MapisimTest, TheEditorsTestSendSaysHowItWent) {
  for (const char* control : {"", "send fail 2\n"}) {
    Control(control);
    boxes.boxes.clear();
    TestSendMapiMail(Step("joe@example.com"), "", email_, {7, 8});
    EXPECT_EQ(boxes.texts(), Strings{*control ? kMapiSendFailed : kMapiSendDone}) << control;
  }
}

TEST_F(MapisimTest, WithoutAMailSystemTheScriptRunEnds) {
  SetMessagingValue(nullptr);
  std::unique_ptr<SimpleMapi> none = LoadSystemMapi(QuerySystemPlatform());
  EXPECT_EQ(none, nullptr);
  TEmail email([&] { return none.get(); });

  class Steps : public StepExecutor {
   public:
    explicit Steps(TEmail& email) : email_(email) {}
    void SendRMail(int, const Notif& step, const std::string& address) override {
      SendMapiMailStep(step, address, email_, {});
    }
    void UploadRFile(int, const Notif&, const std::string&) override {}
    void Launch(int, const Notif&) override { ++launched; }
    void Sleep(int, const Notif&) override {}
    int launched = 0;

   private:
    TEmail& email_;
  } steps(email);
  Notif mail;
  mail.emailNotifr = Step("joe@example.com");
  Notif launch;
  launch.NotifyMethod = kNotifyLaunch;
  try {
    RunScript({mail, launch}, "10.1.2.3", steps);
    ADD_FAILURE() << "the run went on";
  } catch (const Error& e) {
    EXPECT_STREQ(e.what(), kMapiUnavailable);
  }
  EXPECT_EQ(steps.launched, 0);
  EXPECT_TRUE(boxes.texts().empty());
  EXPECT_TRUE(ReadLog().empty());  // nothing was loaded, let alone called
}

TEST(MapiLibrary, ALibraryWithoutTheMailFunctionsIsRefused) {
  EXPECT_EQ(LoadMapiLibrary({"no-such-mail-library.dll"}), nullptr);
  try {
    LoadMapiLibrary({"kernel32.dll"});
    ADD_FAILURE() << "kernel32 taken for a mail system";
  } catch (const Error& e) {
    EXPECT_STREQ(e.what(), kMapiProcMissing);
  }
}

}  // namespace
}  // namespace tarnwick
