#pragma once
// What the method editor shows for one step of the notification script and what
// its OK checks and makes of the pages (see option_fields.h for the pattern).
// The editor has a page per kind; all four pages are read on OK, whatever the
// kind, so a step carries in memory what the other pages held.
#include <optional>
#include <string>

#include "app/settings.h"
#include "ui/option_fields.h"

namespace tarnwick {

inline constexpr SpinRange kMailRetriesSpin{0, 10};
inline constexpr SpinRange kSleepSpin{1, 300};

struct MethodForm {
  int kind = kNotifyEmail;  // the ticked radio button
  // email page
  std::string from;           // teFrom
  std::string to;             // teToo
  std::string subject;        // teSubject
  std::string message;        // MessageText
  std::string retries = "0";  // teRetries
  // FTP page
  std::string ftp_server;    // teFTPServer
  std::string ftp_port;      // teFTPPort
  std::string ftp_path;      // teFTPPath
  std::string html;          // meHTML
  std::string ftp_user;      // teFTPUser
  std::string ftp_password;  // teFTPPass
  bool ftp_passive = false;
  bool ftp_tls = false;
  // launch page
  std::string app;         // teApp1
  std::string parameters;  // teParam1
  // sleep page
  std::string sleep = "30";  // teSleep
  bool operator==(const MethodForm&) const = default;
};

// A new step (null): the e-mail page with the default subject and body, port
// 21 and the page template. A stored step: its kind, and only its own page
// filled; the other pages keep their empty fields, retries 0 and sleep 30. A
// step of an unknown kind opens as an empty e-mail page.
MethodForm MethodFormFrom(const Notif* step);

enum class MethodField { kRetries, kSleep, kFrom, kTo, kFtpServer, kFtpPort, kFtpPath, kApp };

struct MethodRefusal {
  std::string message;
  MethodField field;
  bool centred;  // else at the editor's top-left corner
  bool operator==(const MethodRefusal&) const = default;
};

// The OK checks in their order; the first failure is returned and `step` is
// left as it was. Otherwise every field of `step` is taken from the pages (the
// port only for an FTP step) and its kind from the radio buttons.
std::optional<MethodRefusal> ApplyMethodForm(const MethodForm& form, Notif& step);

}  // namespace tarnwick
