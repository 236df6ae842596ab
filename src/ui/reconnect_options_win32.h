#pragma once
// The Reconnect Options dialog `TfrmKXReconnect`: reconnection on or off, the
// delay and retry limit, the dial credentials and the start delay, on three
// tab pages. The main window's Reconnect command shows it.
#include <windows.h>

#include <functional>
#include <optional>

#include "app/application.h"
#include "app/watch_state.h"
#include "ras/dialup.h"
#include "ui/option_dialog_win32.h"
#include "ui/reconnect_options.h"

namespace tarnwick {

inline constexpr const char* kReconnectOptionsClass = "TfrmKXReconnect";
inline constexpr COLORREF kMaroon = RGB(128, 0, 0);

// The user name and password stored with `entry` in the phonebook, read
// through `dialup` (its Entry becomes `entry`); empty when RAS cannot tell.
EntryCredentials ReadEntryCredentials(TDialUp& dialup, const std::string& entry);

class TfrmKXReconnect : public OptionDialog {
 public:
  // `phonebook` reads the watched entry's credentials when `connuser` is
  // empty; a confirmed save ends the hold-off in `watch`.
  // `windows2000_or_later` empty: ask the system.
  TfrmKXReconnect(Application& app, WatchState& watch, std::function<EntryCredentials()> phonebook,
                  std::optional<bool> windows2000_or_later = std::nullopt);

  // The click rules: the delay and retry fields (spins included) follow
  // chkReconnect; the start delay follows chkDialDelay.
  void chkReconnectClick();
  void chkDialDelayClick();

 private:
  void FormCreate() override;
  void OkClick() override;
  void OnCommand(int id, int code) override;

  Application& app_;
  WatchState& watch_;
  std::function<EntryCredentials()> phonebook_;
  bool windows2000_or_later_;
};

}  // namespace tarnwick
