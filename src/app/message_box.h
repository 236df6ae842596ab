#pragma once
// Every message box of the program goes through ShowMessageBox, so that tests can
// record and answer boxes instead of blocking on them. The Win32 layer installs
// the real handler at start-up; without a handler a box counts as answered with
// its default button.
#include <functional>
#include <optional>
#include <string>

namespace tarnwick {

enum class BoxIcon { None, Error, Question, Warning, Information };
enum class BoxButtons { Ok, OkCancel, YesNo };

// Answers use the platform's button ids (IDOK 1, IDCANCEL 2, IDYES 6, IDNO 7).
enum BoxAnswer : int { kAnswerOk = 1, kAnswerCancel = 2, kAnswerYes = 6, kAnswerNo = 7 };

struct ScreenPoint {
  int x = 0;
  int y = 0;
  bool operator==(const ScreenPoint&) const = default;
};

struct MessageBoxRequest {
  std::string text;
  std::string caption;
  BoxIcon icon = BoxIcon::None;
  BoxButtons buttons = BoxButtons::Ok;
  // Top-left corner of the box; empty means centred on the screen.
  std::optional<ScreenPoint> position;
};

using MessageBoxHandler = std::function<int(const MessageBoxRequest&)>;

int ShowMessageBox(const MessageBoxRequest& request);

// Installs a handler and returns the one it replaces.
MessageBoxHandler SetMessageBoxHandler(MessageBoxHandler handler);

// The application title; the caption of error boxes and the name of the taskbar entry.
inline constexpr const char* kApplicationTitle = "Tarnwick";

// A warning box with one OK button (caption "Warning").
void ShowWarning(const std::string& text, std::optional<ScreenPoint> position = std::nullopt);

// The application's standard error box: the text, the application title, error icon, OK.
void ShowErrorBox(const std::string& text);

}  // namespace tarnwick
