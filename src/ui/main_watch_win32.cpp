#include "ui/main_watch_win32.h"

#include "app/error.h"
#include "app/form_win32.h"
#include "app/message_box.h"
#include "app/message_loop_win32.h"
#include "net/mail_date.h"
#include "notify/mapi_step.h"
#include "notify/mapi_win32.h"
#include "notify/smtp_step.h"
#include "notify/number_format_win32.h"
#include "ras/statistics_dialup_win32.h"

namespace tarnwick {
namespace {

constexpr UINT kIPCheckIntervalMs = 1000;
constexpr UINT kStartDelayDefaultMs = 5000;

}  // namespace

MainWatch::MainWatch(HWND main, MainControls& controls, Application& app)
    : main_(main),
      controls_(controls),
      app_(app),
      DialUp1_(std::make_unique<TDialUp>()),
      network_([this] { pump_.ProcessMessages(); }, [this] { return pump_.Quitting(); }),
      steps_(shell_, pump_),
      tmStartDelay_(main, kTimerStartDelay, kStartDelayDefaultMs),
      tmIPCheck_(main, kTimerIPCheck, kIPCheckIntervalMs),
      tmKeepAlive_(main, kTimerKeepAlive, 0),
      tmScheduler_(main, kTimerScheduler, kSchedulerIntervalMs),
      Email1_(SystemMapi) {
  DialUp1_->DialMode = dmAsync;
  DialUp1_->SetStatistics(std::make_unique<DialUpConnectionStatistics>());
  DialUp1_->SetMessagePump([this] { pump_.ProcessMessages(); });
  DialUp1_->OnEntryGet = [this](TDialUp&, const char* name) {
    SendMessageA(controls_.cbConnections, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(name));
    SendMessageA(controls_.cbConnections, CB_SETCURSEL, 0, 0);
  };
  DialUp1_->SetDialGuard([this] { return pump_.Quitting(); });
  DialUp1_->OnActiveConnection = [this](TDialUp&, RasHandle handle, const RASCONNSTATUSA& status,
                                        const std::string&, const char* entry, const char*,
                                        const char* device) {
    poll_->DialUp1ActiveConnection(handle, entry ? entry : "", device ? device : "",
                                   static_cast<int>(status.rasconnstate),
                                   static_cast<int>(status.dwError));
  };
  DialUp1_->OnAsyncEvent = [this](TDialUp&, int, int, const std::string& text) {
    poll_->DialUp1AsyncEvent(text);
  };
  steps_.SetMailHandler([this](int, const Notif& step, const std::string& address) {
    return SendMail(step, address);
  });
  steps_.SetUploadHandler([this](int, const Notif& step, const std::string& address) {
    return UploadPage(step, address);
  });
  steps_.SetActivity(app_.activity);
  poll_ = std::make_unique<IpCheckLoop>(PollDependencies{
      app_.settings, state_, *this, *this, *this, steps_, pump_, clock_, UserNumberFormat(),
      app_.activity});
  engines_ = std::make_unique<MainEngines>(
      MainEnginesDeps{app_.settings, tmKeepAlive_, tmScheduler_, controls_.Image3,
                      controls_.StatusBar1, network_, pump_, *this, app_.activity});
}

MainWatch::~MainWatch() = default;

void MainWatch::SetUp() {
  if (app_.settings.usestartdelay && app_.flags.StartupLaunch) {
    state_.start_delay = true;
    // A zero or negative delay ends at the first timer message.
    const int seconds = app_.settings.startdelay;
    tmStartDelay_.SetInterval(seconds > 0 ? static_cast<UINT>(seconds) * 1000u : 1u);
    tmStartDelay_.SetEnabled(true);
  }
  state_.reconnect_holdoff = 0;
  state_.connected = false;
  FillConnections();
}

void MainWatch::FillConnections() {
  HWND combo = controls_.cbConnections;
  SendMessageA(combo, CB_RESETCONTENT, 0, 0);
  try {
    DialUp1_->GetEntries();
  } catch (const Error&) {
    ShowWarning(kRasMissingWarning);
  }
  SelectWatchedEntry();
}

void MainWatch::SelectWatchedEntry() {
  HWND combo = controls_.cbConnections;
  // The watched entry, or else the last one: the first tick then watches that.
  const int count = static_cast<int>(SendMessageA(combo, CB_GETCOUNT, 0, 0));
  if (count <= 0) return;
  int index = 0;
  SendMessageA(combo, CB_SETCURSEL, 0, 0);
  while (SelectedConnection() != app_.settings.conname && index + 1 < count) {
    SendMessageA(combo, CB_SETCURSEL, ++index, 0);
  }
}

void MainWatch::StartTimers() {
  tmIPCheck_.SetEnabled(true);
  StartKeepAlive();
  StartScheduler();
}

void MainWatch::StartScheduler() { engines_->Schedule().Start(); }

void MainWatch::StartKeepAlive() { engines_->KeepAlive().Start(); }

void MainWatch::tmStartDelayTimer() {
  tmStartDelay_.SetEnabled(false);
  state_.start_delay = false;
}

void MainWatch::tmIPCheckTimer() { poll_->Tick(); }

void MainWatch::cbConnectionsChange() {
  app_.settings.conname = SelectedConnection();
  DialUp1_->Entry = app_.settings.conname;
  const uint32_t dial = state_.NewDial();
  // Only an entry that is up answers "Connected" first; any other answer hangs up.
  if (DialUp1_->Dial() == 0) {
    WaitUntil([&] { return state_.Answered(dial) || state_.Superseded(dial); }, pump_,
              kPickAnswerPasses, kPickAnswerSliceMs);
  }
  // The answer of this dial, not of one made while it waited.
  if (state_.Answered(dial) && state_.answer_connected) {
    DialUp1_->GetStatistics();
    DialUp1_->GetIPAddresses(DialUp1_->ConnHandle);
    ShowWarning(DialUp1_->ClientIP());
  }
  app_.Save();
}

void MainWatch::ReconnectWindowClosed(bool connected) {
  // Nothing of the window is on the stack but the caller's frame, which touches
  // nothing of it afterwards.
  reconnect_window_.reset();
  tmIPCheck_.SetEnabled(true);
  if (connected) {
    // Users expect the keep-alive and the schedule to go on after a redial.
    StartKeepAlive();
    engines_->Schedule().Resume();
  }
}

void MainWatch::DialScheduled() {
  // A redial under way already dials the entry; a second window would dial it twice.
  if (reconnect_window_ || pump_.Quitting()) return;
  Report(app_.activity, Activity::kScheduledDial, "entry \"" + app_.settings.conname + "\"");
  ReconnectWindowOptions options;
  options.message = kScheduledDialMessage;
  // The poll holds off while the window dials, as after a drop: its handle
  // pick-up would dial the entry with the main component and hang up the
  // window's dial in progress. The window turns it on again when it closes.
  tmIPCheck_.SetEnabled(false);
  reconnect_window_ =
      tarnwick::OpenReconnectWindow(app_, state_, *this, pump_, clock_, main_, options);
  if (!reconnect_window_) tmIPCheck_.SetEnabled(true);
}

bool MainWatch::OnTimer(UINT_PTR id) {
  switch (id) {
    case kTimerStartDelay:
      tmStartDelayTimer();
      return true;
    case kTimerIPCheck:
      tmIPCheckTimer();
      return true;
    case kTimerKeepAlive:
      engines_->KeepAlive().Tick();
      return true;
    case kTimerScheduler:
      engines_->Schedule().Tick();
      return true;
    default:
      return false;
  }
}

std::string MainWatch::SelectedConnection() const {
  HWND combo = controls_.cbConnections;
  const auto index = SendMessageA(combo, CB_GETCURSEL, 0, 0);
  if (index == CB_ERR) return {};
  const auto length = SendMessageA(combo, CB_GETLBTEXTLEN, index, 0);
  if (length == CB_ERR) return {};
  std::string text(static_cast<size_t>(length) + 1, '\0');
  SendMessageA(combo, CB_GETLBTEXT, index, reinterpret_cast<LPARAM>(text.data()));
  text.resize(static_cast<size_t>(length));
  return text;
}

void MainWatch::SetLabel(PollLabel label, const std::string& text) {
  HWND target = nullptr;
  switch (label) {
    case PollLabel::kAddress: target = controls_.Label10; break;
    case PollLabel::kConnSpeed: target = controls_.lblConnSpeed; break;
    case PollLabel::kBytesSent: target = controls_.lblbtran; break;
    case PollLabel::kBytesReceived: target = controls_.lblbrec; break;
    case PollLabel::kSendRate: target = controls_.lblTranSpeed; break;
    case PollLabel::kReceiveRate: target = controls_.lblRecSpeed; break;
  }
  if (target && WindowText(target) != text) SetWindowTextA(target, text.c_str());
}

void MainWatch::ShowConnectedPicture(bool connected) {
  ShowWindow(controls_.Image2, connected ? SW_SHOW : SW_HIDE);
  ShowWindow(controls_.Image3, connected ? SW_HIDE : SW_SHOW);
}

void MainWatch::SetPollEnabled(bool enabled) { tmIPCheck_.SetEnabled(enabled); }

void MainWatch::DisableSchedulerAndKeepAlive() {
  tmScheduler_.SetEnabled(false);
  tmKeepAlive_.SetEnabled(false);
}

void MainWatch::OpenReconnectWindow() {
  // A scheduled dial's window is dialing already; it turns the poll on when it closes.
  if (reconnect_window_) return;
  reconnect_window_ = tarnwick::OpenReconnectWindow(app_, state_, *this, pump_, clock_, main_);
  // Without the window nothing would ever turn the watch back on.
  if (!reconnect_window_) tmIPCheck_.SetEnabled(true);
}

void MainWatch::SaveSettings() { app_.Save(); }

void MainWatch::GetConnections() {
  int count = 0;
  DialUp1_->GetConnections(count);
}

void MainWatch::SetEntry(const std::string& entry) { DialUp1_->Entry = entry; }

RasHandle MainWatch::ConnHandle() const { return DialUp1_->ConnHandle; }

void MainWatch::SetConnHandle(RasHandle handle) { DialUp1_->ConnHandle = handle; }

std::string MainWatch::ClientAddress(RasHandle handle) {
  if (handle == 0 || DialUp1_->GetIPAddresses(handle) != 0) return {};
  return DialUp1_->ClientIP();
}

void MainWatch::InitStatistics(bool start, bool find_adapter, const std::string& device) {
  DialUp1_->InitStatistics(start, find_adapter, device);
}

TrafficCounts MainWatch::GetStatistics() {
  DialUp1_->GetStatistics();
  return {DialUp1_->BytesXmit(), DialUp1_->BytesRecv(), DialUp1_->ConnectionSpeed()};
}

void MainWatch::Dial() { DialUp1_->Dial(); }

void MainWatch::HangUp() { DialUp1_->HangUp(); }

ScreenPoint MainWatch::MainCorner() const {
  RECT r;
  GetWindowRect(main_, &r);
  return {r.left, r.top};
}

StepResult MainWatch::SendMail(const Notif& step, const std::string& address) {
  if (!app_.settings.usesmtp) return SendMapiMailStep(step, address, Email1_, MainCorner());
  MailDeps deps{network_, network_.LocalHostName(), net::SystemCodePage(),
                     net::CurrentMailTime};
  return SendMailStep(app_.settings, step, address, deps, MainCorner());
}

StepResult MainWatch::UploadPage(const Notif& step, const std::string& address) {
  FtpDeps deps{network_, page_files_, app_.flags.ProgramDir, UserTempDir()};
  UploadPageStep(step, address, deps);  // throws on failure: the run ends
  return {};
}

}  // namespace tarnwick
