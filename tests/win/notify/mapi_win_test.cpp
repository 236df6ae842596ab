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
    dir_ = std::string(temp) + "mapisim-" + std::to_string(GetCurrentProcessId()) + "-" +
           info->name();
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
        << "# " << revision_ << std::string(revision_ % 2, ' ') << "\n" << text;
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

TEST_F(MapisimTest, WhatReachesTheMailProgram) {
  const std::string long_subject(300, 'S');
  const std::string long_body = std::string(150, 'a') + "\r\n" + std::string(148, 'b');
  struct Row {
    const char* name;
    std::string control, to, subject, body;
    Strings resolved;    // inputs of MAPIResolveName, with their flags
    Strings recipients;  // class, name, address, entry identifier
    std::string sent_subject, sent_body, send_flags;
    Strings lines_after;  // the component's recipient lines after the send
  } rows[] = {
      {"two recipients split at ; and trimmed",
       "address Joe Bloggs | SMTP:joe@example.com\n", " joe@example.com ;  ann@example.com ",
       "Hi <IPADDRESS>", "Now <IPADDRESS> <IPADDRESS>",
       {"joe@example.com 0x0", "ann@example.com 0x0"},
       {"1 Joe Bloggs SMTP:joe@example.com MSIM#1", "1 ann@example.com SMTP:ann@example.com MSIM#2"},
       "Hi 10.1.2.3", "Now 10.1.2.3 <IPADDRESS>", "0x0", {"Joe Bloggs", "ann@example.com"}},
      {"a trailing ; adds nothing", "", "joe@example.com;", "s", "b", {"joe@example.com 0x0"},
       {"1 joe@example.com SMTP:joe@example.com MSIM#1"}, "s", "b", "0x0",
       {"joe@example.com", ""}},
      {"names and addresses are handled up to 255 characters", "", std::string(300, 'n'), "s",
       "b", {std::string(255, 'n') + " 0x0"},
       {"1 " + std::string(255, 'n') + " SMTP:" + std::string(250, 'n') + " MSIM#1"}, "s", "b",
       "0x0", {std::string(255, 'n')}},
      {"the one-off form loses its brackets",
       "resolve [SMTP:joe@example.com] | Joe | SMTP:joe@example.com\n", "[SMTP:joe@example.com]",
       "s", "b", {"[SMTP:joe@example.com] 0x0"},
       {"1 SMTP:joe@example.com SMTP:joe@example.com none"}, "s", "b", "0x0",
       {"[SMTP:joe@example.com]"}},
      {"a long body whole, a long subject cut at 255", "", "joe@example.com", long_subject,
       long_body, {"joe@example.com 0x0"}, {"1 joe@example.com SMTP:joe@example.com MSIM#1"},
       long_subject.substr(0, 255), long_body, "0x0", {"joe@example.com"}},
      {"not found, then picked by the user",
       "not-found Joe\npick Joe Bloggs | SMTP:joe@example.com\n", "Joe", "s", "b",
       {"Joe 0x0", "Joe 0x8"}, {"1 Joe Bloggs SMTP:joe@example.com MSIM#1"}, "s", "b", "0x0",
       {"Joe Bloggs"}},
      {"ambiguous, the pick cancelled: nobody left, MAPI's compose window", "ambiguous Jo\n",
       "Jo", "s", "b", {"Jo 0x0", "Jo 0x8"}, {}, "s", "b", "0x8", {"Jo"}},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.name);
    Control(r.control);
    DeleteFileA(log_.c_str());
    boxes.boxes.clear();
    EmailNotif fields = Step(r.to);
    fields.esubject = r.subject;
    fields.emessage = r.body;
    Send(fields);

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
    ASSERT_EQ(Lines("MAPISendMail").size(), 1u) << ReadLog();
    auto sent = Fields(Lines("MAPISendMail")[0]);
    EXPECT_EQ(sent["result"], "0");
    EXPECT_EQ(sent["subject"], r.sent_subject);
    EXPECT_EQ(sent["body"], r.sent_body);
    EXPECT_EQ(sent["flags"], r.send_flags);
    EXPECT_EQ(email_.Recipient, r.lines_after);
    EXPECT_EQ(Values("MAPILogon", "flags"), Strings{"0x0"});
    EXPECT_EQ(Values("MAPILogoff", "result"), Strings{"0"});
    ExpectEveryBufferFreed();
    EXPECT_TRUE(boxes.texts().empty());
  }
}

TEST_F(MapisimTest, RefusalsAndFailuresEndInOneWarningAndTheRunGoesOn) {
  struct Row {
    const char* name;
    std::string control, to;
    Strings logons;  // flags=result of each MAPILogon
    size_t sends, logoffs;
    Strings boxes;
  } rows[] = {
      {"logon refused once: MAPI's own logon succeeds", "logon refuse 1\n", "joe@example.com",
       {"0x0=3", "0x1=0"}, 1, 1, {}},
      {"logon refused twice", "logon refuse always\nlogon-result 2\n", "joe@example.com",
       {"0x0=2", "0x1=2"}, 0, 0, {kMapiSendFailed}},
      {"the mail program fails the send", "send fail 2\n", "joe@example.com", {"0x0=0"}, 1, 1,
       {kMapiSendFailed}},
      {"the user cancels the compose window", "unknown not-found\nsend cancel\n", "nobody",
       {"0x0=0"}, 1, 1, {kMapiSendFailed}},
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
