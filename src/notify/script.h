#pragma once
// The notification script run: the steps in list order, one after the other.
#include <functional>
#include <string>
#include <vector>

#include "app/settings.h"

namespace tarnwick {

// How a step that reports its own failure (a mail send) ended, for the log.
struct StepResult {
  bool ok = true;
  std::string detail;  // the server's final reply, or the error text
};

// Carries out one step. `position` is the step's 1-based place in the list the
// run started with, `step` its record in the run's own copy of that list, and
// `address` the new address that replaces the placeholder.
//
// A step that must end the run (a failed upload, no mail service) throws; the
// exception leaves RunScript. A step whose failure the user is told about and
// that lets the run go on (a failed send) reports it itself and returns.
class StepExecutor {
 public:
  virtual ~StepExecutor() = default;
  virtual void SendRMail(int position, const Notif& step, const std::string& address) = 0;
  virtual void UploadRFile(int position, const Notif& step, const std::string& address) = 0;
  virtual void Launch(int position, const Notif& step) = 0;
  virtual void Sleep(int position, const Notif& step) = 0;
};

enum class RunOutcome {
  kCompleted,  // every step was handled
  kAbandoned,  // `go_on` said stop (the program is ending): later steps not handled
};

// Runs `steps` in order from position `from` (1: the whole script); kinds other
// than 0 to 3 are passed over. The list is taken by value: the options dialog
// may replace the notification list while a step waits, and the run goes on
// with the steps it started with. `go_on` is asked before each step, when
// given. Exceptions of the steps propagate; `position`, when given, then holds
// the position of the step that threw.
RunOutcome RunScript(std::vector<Notif> steps, const std::string& address, StepExecutor& executor,
                     const std::function<bool()>& go_on = {}, int from = 1,
                     int* position = nullptr);

}  // namespace tarnwick
