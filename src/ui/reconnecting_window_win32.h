#pragma once
// TfrmReconnecting: the small window that redials the watched entry with its
// own RAS component, counts down between attempts and gives up after the retry
// limit (the loop itself is ReconnectLoop). The check tick opens it when the
// connection drops; the scheduler opens it with its own message.
//
// Life of the window, for its host:
//   auto window = OpenReconnectWindow(app, watch, host, pump, clock, main_hwnd);
//   ... the window dials by itself, one second after it opened ...
//   host.ReconnectWindowClosed(connected)  // closed and its loop unwound
//   window.reset();                         // in the call, or later
// The notification comes only once nothing of the window is left on the stack
// but the frame that makes the call, so the host may destroy the window inside
// it or from a message it posts to itself. Destroying it any earlier (while
// LoopRunning()) is a fault: destroy only when Finished() or when the program
// ends after its message loop.
#include <windows.h>

#include <memory>
#include <optional>
#include <string>

#include "app/application.h"
#include "app/form_win32.h"
#include "app/startup.h"
#include "app/timer_win32.h"
#include "app/waits.h"
#include "app/watch_state.h"
#include "ras/dialup.h"
#include "ras/reconnect_loop.h"

namespace tarnwick {

inline constexpr const char* kReconnectingWindowClass = "TfrmReconnecting";
inline constexpr const char* kReconnectingCaption = "Dialing Internet Connection";
inline constexpr const char* kReconnectMessage =
    "Your Internet connection appears to have been disconnected.  Attempting to re-establish a "
    "connection. ";
// Label1 when the scheduler opens the window.
inline constexpr const char* kScheduledDialMessage =
    "Performing scheduled Internet connection dialing.";
inline constexpr UINT kReconnectingTimer1Interval = 1000;

struct ReconnectWindowOptions {
  // Label1; empty keeps kReconnectMessage.
  std::string message;
  // Whether credentials are left alone (Windows 2000 and later); empty: ask the system.
  std::optional<bool> windows2000_or_later;
};

class TfrmReconnecting : public Form, private ReconnectDialer, private ReconnectView {
 public:
  TfrmReconnecting(Application& app, WatchState& watch, ReconnectHost& host, PumpingSleeper& pump,
                   const Clock& clock, bool windows2000_or_later);
  ~TfrmReconnecting() override;

  // FormCreate: creates the window placed over `main_bounds` (not shown yet)
  // and starts Timer1, which begins the dial loop a second later.
  bool Create(const WindowRect& main_bounds);
  // Shows the window minimized, with its own taskbar button, without taking
  // the focus.
  void ShowMinimized();
  void SetMessageText(const std::string& text);

  // Handlers, public so that tests can drive them as the messages would. Each
  // may end in the host destroying this window: touch nothing after the call.
  void Timer1Timer() { loop_.Timer1Timer(); }
  void Button1Click() { loop_.Button1Click(); }
  void FormCloseBox() { loop_.CloseBox(); }

  bool LoopRunning() const { return loop_.Running(); }
  bool Finished() const { return loop_.Finished(); }
  const ReconnectLoop& Loop() const { return loop_; }
  TDialUp& DialUp1() { return DialUp1_; }
  Timer* Timer1() { return Timer1_.get(); }

  HWND Label1() const { return Label1_; }
  HWND Label2() const { return Label2_; }
  HWND teStatus() const { return teStatus_; }
  HWND Button1() const { return Button1_; }

 private:
  LRESULT HandleMessage(UINT message, WPARAM wparam, LPARAM lparam) override;
  void CreateChildren();
  void Layout(int dpi);

  // ReconnectDialer: DialUp1.
  void SetEntry(const std::string& entry) override { DialUp1_.Entry = entry; }
  int Dial() override { return DialUp1_.Dial(); }
  int HangUp() override { return DialUp1_.HangUp(); }
  int SetEntryUserName(const std::string& user_name) override {
    return DialUp1_.SetEntryUserName(user_name);
  }
  int SetEntryPassword(const std::string& password) override {
    return DialUp1_.SetEntryPassword(password);
  }
  // ReconnectView.
  void SetStatusText(const std::string& text) override;
  void StopTimer() override;
  void HideWindow() override;

  struct FontDeleter {
    void operator()(HFONT font) const { DeleteObject(font); }
  };
  using OwnedFont = std::unique_ptr<std::remove_pointer_t<HFONT>, FontDeleter>;

  TDialUp DialUp1_;
  ReconnectLoop loop_;
  std::unique_ptr<Timer> Timer1_;
  HWND Label1_ = nullptr;
  HWND Label2_ = nullptr;
  HWND teStatus_ = nullptr;
  HWND Button1_ = nullptr;
  OwnedFont font_;
  OwnedFont bold_font_;
  int dpi_ = 96;
};

// Creates the reconnect window over the main window `main_window` (where it is,
// or where it comes back to when minimized; null: centred on the screen) and shows it minimized without
// waiting. Returns null when the window cannot be created.
std::unique_ptr<TfrmReconnecting> OpenReconnectWindow(Application& app, WatchState& watch,
                                                      ReconnectHost& host, PumpingSleeper& pump,
                                                      const Clock& clock, HWND main_window,
                                                      const ReconnectWindowOptions& options = {});

}  // namespace tarnwick
