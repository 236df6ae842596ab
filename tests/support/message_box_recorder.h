#pragma once
// Records every message box shown while it lives and answers each with a fixed
// button, so code under test never blocks on a box.
#include <string>
#include <vector>

#include "app/message_box.h"

namespace tarnwick::testing {

class MessageBoxRecorder {
 public:
  explicit MessageBoxRecorder(int answer = kAnswerOk)
      : previous_(SetMessageBoxHandler([this, answer](const MessageBoxRequest& request) {
          boxes.push_back(request);
          return answer;
        })) {}
  ~MessageBoxRecorder() { SetMessageBoxHandler(previous_); }
  MessageBoxRecorder(const MessageBoxRecorder&) = delete;
  MessageBoxRecorder& operator=(const MessageBoxRecorder&) = delete;

  std::vector<std::string> texts() const {
    std::vector<std::string> result;
    for (const auto& box : boxes) result.push_back(box.text);
    return result;
  }

  std::vector<MessageBoxRequest> boxes;

 private:
  MessageBoxHandler previous_;
};

}  // namespace tarnwick::testing
