#pragma once
// The Keep-Alive Options dialog `TfrmKXKeepAlive`: the method with its host or
// page and interval on one tab, the HTTP proxy on the other. OK closes the
// dialog also after a warning; the values taken before the failing check stay
// in effect in memory, unsaved. The main window's Keep-Alive command shows it
// and then restarts or stops the keep-alive from the settings as they stand.
#include <windows.h>

#include "app/application.h"
#include "ui/keepalive_options.h"
#include "ui/option_dialog_win32.h"

namespace tarnwick {

inline constexpr const char* kKeepAliveOptionsClass = "TfrmKXKeepAlive";

class TfrmKXKeepAlive : public OptionDialog {
 public:
  explicit TfrmKXKeepAlive(Application& app);

  // The radio buttons' click rule: the chosen method's fields are enabled, the
  // other's disabled (their spin buttons stay enabled; the proxy tab always is).
  void MethodClick();

 private:
  void FormCreate() override;
  void OkClick() override;
  void OnCommand(int id, int code) override;
  KeepAliveMethod CheckedMethod() const;

  Application& app_;
};

}  // namespace tarnwick
