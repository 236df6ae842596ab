#include "app/message_box.h"

#include <utility>

namespace tarnwick {
namespace {

MessageBoxHandler& CurrentHandler() {
  static MessageBoxHandler handler;
  return handler;
}

int DefaultAnswer(BoxButtons buttons) {
  switch (buttons) {
    case BoxButtons::YesNo:
      return kAnswerYes;
    case BoxButtons::Ok:
    case BoxButtons::OkCancel:
      break;
  }
  return kAnswerOk;
}

}  // namespace

int ShowMessageBox(const MessageBoxRequest& request) {
  const MessageBoxHandler& handler = CurrentHandler();
  return handler ? handler(request) : DefaultAnswer(request.buttons);
}

MessageBoxHandler SetMessageBoxHandler(MessageBoxHandler handler) {
  return std::exchange(CurrentHandler(), std::move(handler));
}

void ShowWarning(const std::string& text, std::optional<ScreenPoint> position) {
  ShowMessageBox({text, "Warning", BoxIcon::Warning, BoxButtons::Ok, position});
}

void ShowErrorBox(const std::string& text) {
  ShowMessageBox({text, kApplicationTitle, BoxIcon::Error, BoxButtons::Ok, std::nullopt});
}

}  // namespace tarnwick
