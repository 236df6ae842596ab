#pragma once
// The welcome wizard `TfrmWelcome` ("Tarnwick Welcome"), shown once, at the
// first showing of the main window on a first start: the connection to watch,
// the reconnect and login settings, and the mail method, each page saved as the
// user goes on. It starts from fixed values, not from the settings, and lists
// the phonebook through a RAS component of its own.
#include <windows.h>

#include "app/application.h"
#include "ras/dialup.h"
#include "ui/option_dialog_win32.h"
#include "ui/picture_win32.h"

namespace tarnwick {

inline constexpr const char* kWelcomeClass = "TfrmWelcome";
inline constexpr const char* kNoRasEntriesWarning =
    "Warning: Unable to find any RAS connections.  A dial-up or PPOE connection is required for "
    "Tarnwick.";

// The pages, in the order Next walks them.
enum WelcomePage { kPageIntro, kPageDialUp, kPageEmail, kPageFinish };

class TfrmWelcome : public OptionDialog {
 public:
  explicit TfrmWelcome(Application& app);

  WelcomePage Page() const;

  // "Next >>" of each page: the phonebook into the list; the reconnect page's
  // checks, then store and save; the mail method, store and save.
  void btnNextClick();
  void DialUpNextClick();
  void EmailNextClick();
  void btnFinishClick();
  // The delay, retry and login fields follow the box.
  void chkReconnectClick();
  // The mail method's page: the server's, or an empty one.
  void ShowMailPage(bool smtp);

 private:
  void FormCreate() override;
  void Place(HWND owner) override;
  // Enter goes on as the shown page's forward button does.
  void OkClick() override;
  void OnCommand(int id, int code) override;
  INT_PTR OnMessage(UINT message, WPARAM wparam, LPARAM lparam) override;
  void ShowPage(WelcomePage page);

  Application& app_;
  TDialUp DialUp1_;
  TabPages notebook_;
  Picture picture_;
  Font name_font_;
  Font heading_font_;
};

}  // namespace tarnwick
