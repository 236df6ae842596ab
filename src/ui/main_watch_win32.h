#pragma once
// The main window's watch of the chosen connection: its RAS component
// `DialUp1`, the engines' timers, the one-second poll and the notification
// script's steps. The main window owns one and forwards its timer messages and
// the picker's changes to it.
#include <windows.h>

#include <memory>
#include <string>

#include "app/application.h"
#include "app/timer_win32.h"
#include "app/waits_win32.h"
#include "app/watch_state.h"
#include "notify/ftp_step.h"
#include "net/transport_win32.h"
#include "notify/mapi_mail.h"
#include "notify/poll.h"
#include "notify/shell_launcher_win32.h"
#include "notify/steps.h"
#include "ras/dialup.h"
#include "schedule/scheduler.h"
#include "ui/main_controls_win32.h"
#include "ui/main_engines_win32.h"
#include "ui/reconnecting_window_win32.h"

namespace tarnwick {

// Timer ids of the main window.
enum MainTimer : UINT_PTR {
  kTimerShutdown = 1,
  kTimerStartDelay,
  kTimerIPCheck,
  kTimerKeepAlive,
  kTimerScheduler,
  kTimerTrayRetry,
};

// The wait for the first answer of a dial after the user picks an entry.
inline constexpr int kPickAnswerPasses = 100;
inline constexpr int kPickAnswerSliceMs = 100;

inline constexpr const char* kRasMissingWarning =
    "Warning: Unable to find dial-up connection and rasapi32.dll.  Check your Windows setup to "
    "verify that Dial-Up networking and rasapi32.dll are installed properly.";

class MainWatch : private PollView,
                  private PollHost,
                  private Connections,
                  private ReconnectHost,
                  private ScheduledDialer {
 public:
  MainWatch(HWND main, MainControls& controls, Application& app);
  ~MainWatch() override;

  // Creation: the start delay, the shared flags, the phonebook into the picker
  // and the selection of the watched entry.
  void SetUp();
  // Selects the watched entry (`conname`) in the picker, or else the last one.
  void SelectWatchedEntry();
  // Enables the poll, the keep-alive and the scheduler as the settings say.
  void StartTimers();
  // The engines' start points, for creation, the wizard and their option
  // dialogs, each with the settings as they are now. Keep-alive: on with the
  // interval of its method, off for method 0 or an interval of 0 or less.
  // Scheduler: computes the next dial time and arms the check when the
  // schedule is on and lists a weekday; otherwise stops the check.
  void StartKeepAlive();
  void StartScheduler();

  // Handlers.
  void tmStartDelayTimer();
  void tmIPCheckTimer();
  void cbConnectionsChange();

  bool OnTimer(UINT_PTR id);

  WatchState& State() { return state_; }
  TDialUp& DialUp1() { return *DialUp1_; }
  Timer& tmStartDelay() { return tmStartDelay_; }
  Timer& tmIPCheck() { return tmIPCheck_; }
  Timer& tmKeepAlive() { return tmKeepAlive_; }
  Timer& tmScheduler() { return tmScheduler_; }
  TfrmReconnecting* ReconnectWindow() { return reconnect_window_.get(); }
  MainEngines& Engines() { return *engines_; }
  TEmail& Email1() { return Email1_; }

 private:
  // PollView
  std::string SelectedConnection() const override;
  void SetLabel(PollLabel label, const std::string& text) override;
  void ShowConnectedPicture(bool connected) override;
  // PollHost
  void SetPollEnabled(bool enabled) override;
  void DisableSchedulerAndKeepAlive() override;
  void OpenReconnectWindow() override;
  void SaveSettings() override;
  // Connections
  void GetConnections() override;
  void SetEntry(const std::string& entry) override;
  RasHandle ConnHandle() const override;
  void SetConnHandle(RasHandle handle) override;
  std::string ClientAddress(RasHandle handle) override;
  void InitStatistics(bool start, bool find_adapter, const std::string& device) override;
  TrafficCounts GetStatistics() override;
  void Dial() override;
  void HangUp() override;
  // ReconnectHost: the reconnect window closed and its loop has unwound.
  void ReconnectWindowClosed(bool connected) override;
  // ScheduledDialer: the reconnect window with the scheduler's message.
  void DialScheduled() override;

  void FillConnections();
  StepResult SendMail(const Notif& step, const std::string& address);
  StepResult UploadPage(const Notif& step, const std::string& address);
  ScreenPoint MainCorner() const;

  HWND main_;
  MainControls& controls_;
  Application& app_;
  WatchState state_;
  std::unique_ptr<TDialUp> DialUp1_;
  Win32PumpingSleeper pump_;
  Win32Clock clock_;
  Win32ShellLauncher shell_;
  net::WinsockNetwork network_;
  DiskPageFiles page_files_;
  ScriptSteps steps_;
  std::unique_ptr<IpCheckLoop> poll_;
  Timer tmStartDelay_;
  Timer tmIPCheck_;
  Timer tmKeepAlive_;
  Timer tmScheduler_;
  std::unique_ptr<MainEngines> engines_;
  TEmail Email1_;
  std::unique_ptr<TfrmReconnecting> reconnect_window_;
};

}  // namespace tarnwick
