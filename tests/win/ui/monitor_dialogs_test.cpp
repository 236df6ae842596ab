// The IP Monitor Options dialog and the method editor as a user meets them: the
// real dialogs shown modally and driven from inside their loops (the editor
// inside the options dialog's), message boxes recorded, what was stored read
// back from the registry; the test buttons against servers on loopback and a
// probe program.
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <windows.h>
// <dlgs.h> after <windows.h>.
#include <dlgs.h>

#include <fstream>
#include <functional>
#include <iterator>
#include <map>
#include <sstream>

#include "notify/page_template.h"
#include "ui/method_editor_win32.h"
#include "ui/monitor_dialog_ids.h"
#include "ui/monitor_options_win32.h"
#include "win/support/linux_peer.h"
#include "win/ui/dialog_rig.h"

namespace tarnwick {
namespace {

using testing::ClickControl;
using testing::Control;
using testing::ControlText;
using ::testing::ElementsAre;
using ::testing::ElementsAreArray;
using testing::Enabled;
using ::testing::HasSubstr;
using testing::ModalDriver;
using testing::SetControlText;
using testing::Showing;
using testing::Ticked;
using Step = ModalDriver::Step;

ModalDriver::On OnMonitor(Step step) {
  return {kMonitorOptionsClass, std::move(step)};
}
ModalDriver::On OnEditor(Step step) {
  return {kMethodEditorClass, std::move(step)};
}

Notif Mail(const std::string& to) {
  Notif step;
  step.emailNotifr = {"me@example.com", to, "New: <IPADDRESS>", "Body <IPADDRESS>", "", "", 2};
  return step;
}
Notif Upload(const std::string& server) {
  Notif step;
  step.NotifyMethod = kNotifyFtp;
  step.FTPNotifr = {server, "/ip.html", "<p><IPADDRESS></p>", 2121, "joe", "pw"};
  return step;
}
Notif Pause(int seconds) {
  Notif step;
  step.NotifyMethod = kNotifySleep;
  step.sseconds = seconds;
  return step;
}
Notif Launch(const std::string& app) {
  Notif step;
  step.NotifyMethod = kNotifyLaunch;
  step.LaunchNotifr = {app, "-ip <IPADDRESS>"};
  return step;
}

// A path of the Linux side as Wine's programs see it.
std::string WindowsPath(std::string path) {
  for (char& c : path) c = c == '/' ? '\\' : c;
  return "Z:" + path;
}

std::vector<std::string> Lines(HWND dialog) {
  HWND list = Control(dialog, kMonLbNotifs);
  std::vector<std::string> lines;
  const auto count = SendMessageA(list, LB_GETCOUNT, 0, 0);
  for (LRESULT i = 0; i < count; ++i) {
    std::string text(static_cast<size_t>(SendMessageA(list, LB_GETTEXTLEN, i, 0)) + 1, '\0');
    SendMessageA(list, LB_GETTEXT, i, reinterpret_cast<LPARAM>(text.data()));
    lines.push_back(text.c_str());
  }
  return lines;
}

int SelectedLine(HWND dialog) {
  return static_cast<int>(SendMessageA(Control(dialog, kMonLbNotifs), LB_GETCURSEL, 0, 0));
}

// The user clicks (or double-clicks) a line: the list selects it and tells its page.
void ClickLine(HWND dialog, int line, WORD notification = LBN_SELCHANGE) {
  HWND list = Control(dialog, kMonLbNotifs);
  SendMessageA(list, LB_SETCURSEL, line, 0);
  SendMessageA(GetParent(list), WM_COMMAND, MAKEWPARAM(kMonLbNotifs, notification),
               reinterpret_cast<LPARAM>(list));
}

// Which of the list's controls take input.
struct ListState {
  bool list, add, edit, remove, up, down;
  int selected;
  bool operator==(const ListState&) const = default;
};
std::ostream& operator<<(std::ostream& out, const ListState& s) {
  return out << "list " << s.list << " add " << s.add << " edit " << s.edit << " remove "
             << s.remove << " up " << s.up << " down " << s.down << " selected " << s.selected;
}
ListState StateOf(HWND d) {
  return {Enabled(d, kMonLbNotifs), Enabled(d, kMonBtnAdd),
          Enabled(d, kMonBtnEdit),  Enabled(d, kMonBtnRemove),
          Enabled(d, kMonBtnUp),    Enabled(d, kMonBtnDown),
          SelectedLine(d)};
}

// The editor's fields in one order, for comparing what it shows.
constexpr int kEditorFields[] = {kMmTeFrom,    kMmTeToo,       kMmTeSubject, kMmMessageText,
                                 kMmTeRetries, kMmTeFTPServer, kMmTeFTPPort, kMmTeFTPPath,
                                 kMmMeHTML,    kMmTeFTPUser,   kMmTeFTPPass, kMmTeApp1,
                                 kMmTeParam1,  kMmTeSleep};
std::vector<std::string> EditorTexts(HWND editor) {
  std::vector<std::string> texts;
  for (int id : kEditorFields) texts.push_back(ControlText(editor, id));
  return texts;
}

class MonitorDialogTest : public ::testing::Test, protected testing::DialogRig {
 protected:
  INT_PTR RunMonitor(std::vector<ModalDriver::On> steps) {
    TfrmKXMonitor dialog(app, tests);
    return ShowDriven(dialog, std::move(steps));
  }

  INT_PTR RunEditor(std::vector<Notif>& steps, int tag, std::vector<Step> driver_steps) {
    TfrmMonMethod editor(steps, tag, tests);
    return ShowDriven(editor, kMethodEditorClass, std::move(driver_steps));
  }

  std::string address = "10.1.2.3";  // what the main window would show
  StepTests tests{app, [this] { return address; }};
};

// --- IP Monitor Options ------------------------------------------------------

TEST_F(MonitorDialogTest, CancelAfterAnyEditLeavesTheListAndMonitoringAsTheyWere) {
  struct Case {
    const char* what;
    std::vector<ModalDriver::On> edit;
    bool lines_change;
  };
  const Case cases[] = {
      {"add",
       {OnMonitor([](HWND d) { ClickControl(d, kMonBtnAdd); }), OnEditor([](HWND e) {
          ClickControl(e, kMmRbSleep);
          ClickControl(e, IDOK);
        })},
       true},
      {"remove", {OnMonitor([](HWND d) { ClickControl(d, kMonBtnRemove); })}, true},
      {"move up",
       {OnMonitor([](HWND d) {
         ClickLine(d, 2);
         ClickControl(d, kMonBtnUp);
       })},
       true},
      {"move down", {OnMonitor([](HWND d) { ClickControl(d, kMonBtnDown); })}, true},
      {"edit",
       {OnMonitor([](HWND d) { ClickControl(d, kMonBtnEdit); }), OnEditor([](HWND e) {
          SetControlText(e, kMmTeToo, "other@example.com");
          ClickControl(e, IDOK);
        })},
       true},
      {"monitoring cleared", {OnMonitor([](HWND d) { ClickControl(d, kMonChkMonitor2); })}, false},
  };
  // Cancel, Escape and the close box alike.
  const Step leave[] = {
      [](HWND d) { ClickControl(d, IDCANCEL); },
      [](HWND d) {
        SetFocus(Control(d, kMonLbNotifs));
        testing::PostKey(VK_ESCAPE);
      },
      [](HWND d) { PostMessageA(d, WM_CLOSE, 0, 0); },
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    SetDefaultSettings(app.settings);
    app.settings.MonitorIP = true;
    app.settings.notifs = {Mail("a@example.com"), Upload("ftp.example.com"), Pause(45)};
    const Settings before = app.settings;
    registry.log.clear();
    std::vector<std::string> at_open, changed;
    std::vector<ModalDriver::On> steps = {OnMonitor([&](HWND d) { at_open = Lines(d); })};
    steps.insert(steps.end(), c.edit.begin(), c.edit.end());
    steps.push_back(OnMonitor([&](HWND d) { changed = Lines(d); }));
    steps.push_back(OnMonitor(leave[(&c - cases) % std::size(leave)]));
    EXPECT_EQ(RunMonitor(std::move(steps)), IDCANCEL);
    EXPECT_EQ(changed != at_open, c.lines_change);  // the dialog did show the change
    EXPECT_EQ(app.settings, before);
    EXPECT_FALSE(Wrote());
  }
}

TEST_F(MonitorDialogTest, TheButtonsFollowTheSelectionAndTheMonitoringBox) {
  struct Case {
    const char* what;
    std::vector<Notif> stored;
    bool monitoring;
    std::vector<ModalDriver::On> act;
    ListState expected;
    size_t lines;
  };
  const std::vector<Notif> three = {Mail("a@example.com"), Upload("ftp.example.com"), Pause(45)};
  const Case cases[] = {
      {"three steps: the first selected", three, true, {}, {1, 1, 1, 1, 0, 1, 0}, 3},
      {"the last line clicked",
       three,
       true,
       {OnMonitor([](HWND d) { ClickLine(d, 2); })},
       {1, 1, 1, 1, 1, 0, 2},
       3},
      {"nothing stored, monitoring off", {}, false, {}, {0, 0, 0, 0, 0, 0, -1}, 0},
      {"the only step removed",
       {Pause(5)},
       true,
       {OnMonitor([](HWND d) { ClickControl(d, kMonBtnRemove); })},
       {1, 1, 0, 0, 0, 0, -1},
       0},
      {"a middle step removed: the first line selected, Up and Down as they were",
       three,
       true,
       {OnMonitor([](HWND d) {
         ClickLine(d, 1);
         ClickControl(d, kMonBtnRemove);
       })},
       {1, 1, 1, 1, 1, 1, 0},
       2},
      {"monitoring cleared on the last line: Remove, Up and Down keep their state",
       three,
       true,
       {OnMonitor([](HWND d) {
         ClickLine(d, 2);
         ClickControl(d, kMonChkMonitor2);
       })},
       {0, 0, 0, 1, 1, 0, 2},
       3},
      {"a step added: the first line selected, not the new one",
       {Pause(5), Pause(6)},
       true,
       {OnMonitor([](HWND d) {
          ClickLine(d, 1);
          ClickControl(d, kMonBtnAdd);
        }),
        OnEditor([](HWND e) {
          ClickControl(e, kMmRbSleep);
          ClickControl(e, IDOK);
        })},
       {1, 1, 1, 1, 1, 0, 0},
       3},  // the selection rule is not applied by the addition
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    app.settings.notifs = c.stored;
    app.settings.MonitorIP = c.monitoring;
    ListState state{};
    size_t lines = 0;
    std::vector<ModalDriver::On> steps = c.act;
    steps.push_back(OnMonitor([&](HWND d) {
      state = StateOf(d);
      lines = Lines(d).size();
      ClickControl(d, IDCANCEL);
    }));
    RunMonitor(std::move(steps));
    EXPECT_EQ(state, c.expected);
    EXPECT_EQ(lines, c.lines);
  }
}

TEST_F(MonitorDialogTest, EditingAfterAMoveShowsTheMovedStepsOwnValues) {
  struct Case {
    const char* what;
    std::function<void(HWND)> move_and_open;  // ends by opening the editor
    int radio;
    int field;
    const char* shown;
  };
  const Case cases[] = {
      {"sleep moved up, Edit",
       [](HWND d) {
         ClickLine(d, 1);
         ClickControl(d, kMonBtnUp);
         ClickControl(d, kMonBtnEdit);
       },
       kMmRbSleep, kMmTeSleep, "45"},
      {"e-mail moved down, double-click",
       [](HWND d) {
         ClickControl(d, kMonBtnDown);
         ClickLine(d, 1, LBN_DBLCLK);
       },
       kMmRbEmail, kMmTeToo, "a@example.com"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    app.settings.MonitorIP = true;
    app.settings.notifs = {Mail("a@example.com"), Pause(45)};
    bool ticked = false;
    std::string shown;
    RunMonitor({OnMonitor(c.move_and_open), OnEditor([&](HWND e) {
                  ticked = Ticked(e, c.radio);
                  shown = ControlText(e, c.field);
                  ClickControl(e, IDCANCEL);
                }),
                OnMonitor([](HWND d) { ClickControl(d, IDCANCEL); })});
    EXPECT_TRUE(ticked);
    EXPECT_EQ(shown, c.shown);
  }
}

TEST_F(MonitorDialogTest, OkWritesTheListInItsNewOrderWithMonitoring) {
  app.settings.notifs = {Mail("a@example.com"), Upload("ftp.example.com"), Pause(45)};
  std::vector<std::string> lines;
  const INT_PTR result =
      RunMonitor({OnMonitor([](HWND d) {
                    ClickControl(d, kMonChkMonitor2);  // on: the list and Add take input
                    ClickLine(d, 2);
                    ClickControl(d, kMonBtnUp);  // mail, sleep, upload
                    ClickControl(d, kMonBtnAdd);
                  }),
                  OnEditor([](HWND e) {
                    ClickControl(e, kMmRbLaunch);
                    SetControlText(e, kMmTeApp1, "C:\\tools\\dns.exe");
                    ClickControl(e, IDOK);
                  }),
                  OnMonitor([&](HWND d) {
                    ClickLine(d, 0);
                    ClickControl(d, kMonBtnRemove);  // sleep, upload, launch
                    lines = Lines(d);
                    ClickControl(d, IDOK);
                  })});
  EXPECT_EQ(result, IDOK);
  EXPECT_THAT(lines, ElementsAre("Sleep 45 seconds.", "Upload web page to ftp.example.com",
                                 "Launch C:\\tools\\dns.exe"));
  const Settings stored = Stored();
  EXPECT_TRUE(stored.MonitorIP);
  ASSERT_EQ(stored.notifs.size(), 3u);
  EXPECT_EQ(stored.notifs[0], Pause(45));
  EXPECT_EQ(stored.notifs[1], Upload("ftp.example.com"));
  EXPECT_EQ(stored.notifs[2].LaunchNotifr.LnchApp, "C:\\tools\\dns.exe");
  EXPECT_EQ(registry.Get(std::string(kProductKey) + "\\Notif3", "NotifyMethod"),
            RegDword(kNotifyLaunch));
  EXPECT_EQ(app.settings.notifs.size(), 3u);  // the running program has the new list too
}

// --- The method editor -------------------------------------------------------

TEST_F(MonitorDialogTest, EditorChecksInOrderAndStaysOpenWithNothingChanged) {
  struct Case {
    const char* what;
    int kind;
    std::vector<std::pair<int, const char*>> typed;
    const char* message;
    bool centred;
  };
  const Case cases[] = {
      {"retries in letters, sleep and addresses wrong too",
       kMmRbEmail,
       {{kMmTeRetries, "x"}, {kMmTeSleep, "0"}},
       "Invalid maximum retry value.",
       true},
      {"retries 11",
       kMmRbSleep,
       {{kMmTeRetries, "11"}},
       "Invalid value for maximum retries.",
       true},
      {"sleep in letters", kMmRbFtp, {{kMmTeSleep, "soon"}}, "Invalid sleep value.", true},
      {"sleep 0 on an e-mail step",
       kMmRbEmail,
       {{kMmTeFrom, "a@x"}, {kMmTeToo, "b@y"}, {kMmTeSleep, "0"}},
       "Invalid value for sleep value.",
       true},
      {"sleep 301 on an e-mail step",
       kMmRbEmail,
       {{kMmTeFrom, "a@x"}, {kMmTeToo, "b@y"}, {kMmTeSleep, "301"}},
       "Invalid value for sleep value.",
       true},
      {"no From", kMmRbEmail, {{kMmTeToo, "b@y"}}, "email From and To addresses required", false},
      {"no To", kMmRbEmail, {{kMmTeFrom, "a@x"}}, "email From and To addresses required", false},
      {"no FTP server", kMmRbFtp, {}, "FTP server name required", false},
      {"no port, no path",
       kMmRbFtp,
       {{kMmTeFTPServer, "h"}, {kMmTeFTPPort, ""}},
       "FTP server port required",
       false},
      {"no path", kMmRbFtp, {{kMmTeFTPServer, "h"}}, "FTP server path required", false},
      {"port in letters",
       kMmRbFtp,
       {{kMmTeFTPServer, "h"}, {kMmTeFTPPath, "/ip.html"}, {kMmTeFTPPort, "abc"}},
       "Invalid port number: Port must be a number",
       true},
      {"no program", kMmRbLaunch, {}, "Program/Script not specified.", false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    boxes.boxes.clear();
    std::vector<Notif> working = {Pause(9)};
    RECT corner{};
    bool open_after = false;
    RunEditor(working, -1,
              {[&](HWND e) {
                 GetWindowRect(e, &corner);
                 ClickControl(e, c.kind);
                 for (const auto& [id, text] : c.typed) SetControlText(e, id, text);
                 ClickControl(e, IDOK);
               },
               [&](HWND e) {
                 open_after = IsWindowVisible(e) != FALSE;
                 ClickControl(e, IDCANCEL);
               }});
    ASSERT_THAT(boxes.texts(), ElementsAre(c.message));
    EXPECT_EQ(boxes.boxes[0].icon, BoxIcon::Warning);
    if (c.centred) {
      EXPECT_FALSE(boxes.boxes[0].position.has_value());
    } else {
      EXPECT_EQ(boxes.boxes[0].position, (ScreenPoint{corner.left, corner.top}));
    }
    EXPECT_TRUE(open_after);
    EXPECT_THAT(working, ElementsAre(Pause(9)));
  }
}

TEST_F(MonitorDialogTest, ANewFtpStepRefusedForItsPortThenCorrectedAddsExactlyOne) {
  app.settings.MonitorIP = true;
  app.settings.notifs = {Pause(9)};
  std::vector<std::string> lines;
  RunMonitor({OnMonitor([](HWND d) { ClickControl(d, kMonBtnAdd); }), OnEditor([](HWND e) {
                ClickControl(e, kMmRbFtp);
                SetControlText(e, kMmTeFTPServer, "ftp.example.com");
                SetControlText(e, kMmTeFTPPath, "/ip.html");
                SetControlText(e, kMmTeFTPPort, "abc");
                ClickControl(e, IDOK);
              }),
              OnEditor([](HWND e) {
                SetControlText(e, kMmTeFTPPort, "2121");
                ClickControl(e, IDOK);
              }),
              OnMonitor([&](HWND d) {
                lines = Lines(d);
                ClickControl(d, IDOK);
              })});
  EXPECT_THAT(boxes.texts(), ElementsAre("Invalid port number: Port must be a number"));
  EXPECT_THAT(lines, ElementsAre("Sleep 9 seconds.", "Upload web page to ftp.example.com"));
  ASSERT_EQ(Stored().notifs.size(), 2u);
  EXPECT_EQ(Stored().notifs[1].FTPNotifr.FTPPort, 2121);
}

TEST_F(MonitorDialogTest, TheEditorFillsOnlyTheEditedKindsPage) {
  struct Case {
    const char* what;
    int tag;  // -1 new, else position in the list below
    int radio;
    int page_field;                  // shown at opening
    std::vector<std::string> texts;  // in kEditorFields order
  };
  const std::vector<Notif> list = {Mail("a@example.com"), Upload("ftp.example.com"),
                                   Launch("C:\\x.exe"), Pause(45)};
  const std::string page(kDefaultPageTemplate);
  const Case cases[] = {
      {"new",
       -1,
       kMmRbEmail,
       kMmTeFrom,
       {"", "", "New IP Address: <IPADDRESS>", "Your new IP Address is: <IPADDRESS>", "0", "", "21",
        "", page, "", "", "", "", "30"}},
      {"e-mail",
       1,
       kMmRbEmail,
       kMmTeFrom,
       {"me@example.com", "a@example.com", "New: <IPADDRESS>", "Body <IPADDRESS>", "2", "", "", "",
        "", "", "", "", "", "30"}},
      {"FTP",
       2,
       kMmRbFtp,
       kMmTeFTPServer,
       {"", "", "", "", "0", "ftp.example.com", "2121", "/ip.html", "<p><IPADDRESS></p>", "joe",
        "pw", "", "", "30"}},
      {"launch",
       3,
       kMmRbLaunch,
       kMmTeApp1,
       {"", "", "", "", "0", "", "", "", "", "", "", "C:\\x.exe", "-ip <IPADDRESS>", "30"}},
      {"sleep",
       4,
       kMmRbSleep,
       kMmTeSleep,
       {"", "", "", "", "0", "", "", "", "", "", "", "", "", "45"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    std::vector<Notif> working = list;
    std::vector<std::string> texts;
    bool ticked = false, shown = false;
    RunEditor(working, c.tag, {[&](HWND e) {
                texts = EditorTexts(e);
                ticked = Ticked(e, c.radio);
                shown = Showing(e, c.page_field);
                ClickControl(e, IDCANCEL);
              }});
    EXPECT_THAT(texts, ElementsAreArray(c.texts));
    EXPECT_TRUE(ticked);
    EXPECT_TRUE(shown);
    EXPECT_EQ(working, list);
  }
}

TEST_F(MonitorDialogTest, TheAddressFieldsCarryTheirHints) {
  std::vector<Notif> working;
  std::map<int, std::string> hints;
  RunEditor(working, -1, {[&](HWND e) {
              // The editor's tooltip window: a top-level window the editor owns.
              std::pair<HWND, HWND> search{e, nullptr};
              EnumThreadWindows(
                  GetCurrentThreadId(),
                  [](HWND window, LPARAM param) -> BOOL {
                    auto* s = reinterpret_cast<std::pair<HWND, HWND>*>(param);
                    char name[64] = {};
                    GetClassNameA(window, name, sizeof name);
                    if (lstrcmpiA(name, TOOLTIPS_CLASSA) != 0) return TRUE;
                    if (GetWindow(window, GW_OWNER) != s->first) return TRUE;
                    s->second = window;
                    return FALSE;
                  },
                  reinterpret_cast<LPARAM>(&search));
              const auto count = SendMessageA(search.second, TTM_GETTOOLCOUNT, 0, 0);
              for (LRESULT i = 0; i < count; ++i) {
                TTTOOLINFOA tool{};
                tool.cbSize = sizeof tool;
                SendMessageA(search.second, TTM_ENUMTOOLSA, i, reinterpret_cast<LPARAM>(&tool));
                char text[512] = {};
                tool.lpszText = text;
                SendMessageA(search.second, TTM_GETTEXTA, sizeof text,
                             reinterpret_cast<LPARAM>(&tool));
                hints[GetDlgCtrlID(reinterpret_cast<HWND>(tool.uId))] = text;
              }
              ClickControl(e, IDCANCEL);
            }});
  const std::map<int, std::string> expected = {
      {kMmTeFrom, "Enter the reply-to address"},
      {kMmTeToo,
       "Enter the recipient's email address.  If you are sending a page, check with your pager or "
       "phone service for the correct address."}};
  ASSERT_EQ(hints.size(), expected.size());
  for (const auto& [id, hint] : expected) {
    // Wine hands back no more than 79 characters of a tool's text.
    const std::string& got = hints[id];
    EXPECT_TRUE(got.size() >= std::min<size_t>(hint.size(), 79) && hint.rfind(got, 0) == 0)
        << id << ": " << got;
  }
}

// The buttons send, upload and launch with what the pages hold and the address
// the main window shows; none of them touches the working list.
TEST_F(MonitorDialogTest, TheTestButtonsReachRealServersAndPrograms) {
  testing::LinuxPeer peers(MAIL_FTP_PEERS);
  ASSERT_TRUE(peers.ready()) << "the loopback servers did not start";
  std::string smtp_host, ftp_port;
  std::istringstream(peers.Read("ready")) >> smtp_host >> ftp_port;
  app.settings.usesmtp = true;
  app.settings.SMTPServer = smtp_host;
  const std::string probe_out = peers.Path("launched.txt");
  SetEnvironmentVariableA("TARNWICK_PROBE_OUT", probe_out.c_str());
  std::vector<Notif> working = {Pause(9)};
  RECT corner{};
  RunEditor(working, -1,
            {[&](HWND e) {
               GetWindowRect(e, &corner);
               SetControlText(e, kMmTeFrom, "me@example.com");
               SetControlText(e, kMmTeToo, "Ann <ann@example.com>, bob@example.com");
               SetControlText(e, kMmTeSubject, "IP <IPADDRESS> and <IPADDRESS>");
               ClickControl(e, kMmBtSendMessage);
             },
             [&](HWND e) {
               SetControlText(e, kMmTeFTPServer, "127.0.0.1");
               SetControlText(e, kMmTeFTPPort, ftp_port);
               SetControlText(e, kMmTeFTPPath, "/ip.html");
               SetControlText(e, kMmTeFTPUser, "joe");
               SetControlText(e, kMmTeFTPPass, "s3cret");
               SetControlText(e, kMmMeHTML, "<b><IPADDRESS></b><IPADDRESS>");
               ClickControl(e, kMmUploadTest);
             },
             [&](HWND e) {
               SetControlText(e, kMmTeFTPPort, "twenty-one");
               ClickControl(e, kMmUploadTest);
               SetControlText(e, kMmTeApp1, WindowsPath(LAUNCH_PROBE));
               SetControlText(e, kMmTeParam1, "--ip=<IPADDRESS> <IPADDRESS>");
               ClickControl(e, kMmLaunchTest);
               ClickControl(e, IDCANCEL);
             }});
  EXPECT_THAT(boxes.texts(), ElementsAre("Message was sent successfully.", "FTP Successful",
                                         "Invalid port number: not a numeric value."));
  for (const MessageBoxRequest& box : boxes.boxes) {
    EXPECT_EQ(box.position, (ScreenPoint{corner.left, corner.top})) << box.text;
  }
  const std::string mail = peers.Read("mail-1.txt");
  EXPECT_THAT(mail, HasSubstr("RCPT TO ann@example.com\nRCPT TO bob@example.com\n"));
  EXPECT_THAT(mail, HasSubstr("Subject: IP 10.1.2.3 and <IPADDRESS>\r\n"));
  EXPECT_EQ(peers.Read("ftp/ip.html"), "<b>10.1.2.3</b>10.1.2.3");
  std::string launched;
  for (int i = 0; i < 100 && launched.empty(); ++i, Sleep(50))
    launched = peers.Read("launched.txt");
  EXPECT_EQ(launched, "--ip=10.1.2.3 10.1.2.3");
  EXPECT_THAT(working, ElementsAre(Pause(9)));
}

// "Browse..." offers the system's open-file dialog; the file chosen there goes
// into the application field with its full path.
TEST_F(MonitorDialogTest, BrowseFillsTheApplicationWithTheChosenFile) {
  const std::string probe = WindowsPath(LAUNCH_PROBE);
  std::vector<Notif> working;
  std::string chosen, filter;
  ModalDriver driver({{kMethodEditorClass,
                       [](HWND e) {
                         ClickControl(e, kMmRbLaunch);
                         ClickControl(e, kMmBrowse);  // returns once the file dialog has closed
                       }},
                      {"#32770",
                       [&](HWND open) {
                         filter = ControlText(open, cmb1);
                         SetDlgItemTextA(open, cmb13, probe.c_str());
                         PostMessageA(open, WM_COMMAND, IDOK, 0);
                       }},
                      {kMethodEditorClass, [&](HWND e) {
                         chosen = ControlText(e, kMmTeApp1);
                         ClickControl(e, IDCANCEL);
                       }}});
  TfrmMonMethod editor(working, -1, tests);
  editor.ShowModal(main.hwnd());
  EXPECT_TRUE(driver.done());
  EXPECT_EQ(filter, "Applications");
  EXPECT_TRUE(lstrcmpiA(chosen.c_str(), probe.c_str()) == 0) << chosen;
}

// With `usesmtp` off the test goes to the mail program: the simulated Simple
// MAPI (tools/mapisim) logs what it was handed and answers as told.
TEST_F(MonitorDialogTest, SendTestMessageGoesToTheMailProgramWhenSmtpIsOff) {
  struct Case {
    const char* what;
    const char* control;
    const char* to;
    const char* box;
    bool handed_over;
  };
  const Case cases[] = {
      {"accepted", "", "ann@example.com; bob@example.com", "MAPI Sendmail successful.", true},
      {"refused", "send fail 2\n", "ann@example.com", "MAPI Sendmail failed.", true},
      {"no recipient", "", "", "There must be at least one name in the To box.", false},
  };
  char temp[MAX_PATH] = {};
  GetTempPathA(sizeof temp, temp);
  const std::string dir =
      std::string(temp) + "monitor-mapisim-" + std::to_string(GetCurrentProcessId());
  CreateDirectoryA(dir.c_str(), nullptr);
  const std::string control = dir + "\\control.txt", log = dir + "\\events.log";
  SetEnvironmentVariableA("MAPISIM_CONTROL", control.c_str());
  SetEnvironmentVariableA("MAPISIM_LOG", log.c_str());
  app.settings.usesmtp = false;
  int revision = 0;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    boxes.boxes.clear();
    DeleteFileA(log.c_str());
    // A new control file (its size differs) starts a new scenario.
    std::ofstream(control, std::ios::binary | std::ios::trunc)
        << "#" << std::string(++revision, ' ') << "\n"
        << c.control;
    std::vector<Notif> working;
    RECT corner{};
    RunEditor(working, -1, {[&](HWND e) {
                GetWindowRect(e, &corner);
                SetControlText(e, kMmTeToo, c.to);
                SetControlText(e, kMmTeSubject, "IP <IPADDRESS>");
                ClickControl(e, kMmBtSendMessage);
                ClickControl(e, IDCANCEL);
              }});
    ASSERT_THAT(boxes.texts(), ElementsAre(c.box));
    EXPECT_EQ(boxes.boxes[0].position, (ScreenPoint{corner.left, corner.top}));
    std::ifstream in(log, std::ios::binary);
    const std::string events((std::istreambuf_iterator<char>(in)),
                             std::istreambuf_iterator<char>());
    EXPECT_EQ(events.find("MAPISendMail ") != std::string::npos, c.handed_over) << events;
    if (c.handed_over) {
      EXPECT_THAT(events, HasSubstr("subject=\"IP 10.1.2.3\""));
    }
    EXPECT_TRUE(working.empty());
  }
}

TEST_F(MonitorDialogTest, ATestSendToNoServerSaysSoAndTheEditorStaysOpen) {
  app.settings.usesmtp = true;
  app.settings.SMTPServer = "127.0.0.1";  // nothing listens on port 25 there
  std::vector<Notif> working;
  bool open_after = false;
  RunEditor(working, -1,
            {[](HWND e) {
               SetControlText(e, kMmTeFrom, "me@example.com");
               SetControlText(e, kMmTeToo, "ann@example.com");
               ClickControl(e, kMmBtSendMessage);
             },
             [&](HWND e) {
               open_after = IsWindowVisible(e) != FALSE;
               ClickControl(e, IDCANCEL);
             }});
  EXPECT_THAT(boxes.texts(),
              ElementsAre("Unable to connect to SMTP server.  Check your SMTP server setting in "
                          "Tarnwick and verify your Internet connection."));
  EXPECT_TRUE(open_after);
  EXPECT_TRUE(working.empty());
}

}  // namespace
}  // namespace tarnwick
