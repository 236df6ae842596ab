#pragma once
// The steps that need no network client (launch, sleep), the editor's test
// launch, and the executor the script run dispatches to.
#include <functional>
#include <string>

#include "app/activity.h"
#include "app/settings.h"
#include "notify/script.h"
#include "notify/waits.h"

namespace tarnwick {

// Opens a program or document through the shell ("open" verb, desktop window as
// owner, no working directory, shown normally). The result is not reported: a
// launch that the shell cannot carry out is not an error of the script.
class ShellLauncher {
 public:
  virtual ~ShellLauncher() = default;
  virtual void Open(const std::string& file, const std::string& parameters) = 0;
};

// A script's launch step: `LnchParam` goes to the program exactly as stored,
// placeholder included.
void LaunchStep(const Notif& step, ShellLauncher& shell);

// The editor's "Test Application Launch": nothing when `app` is empty; every
// placeholder in the parameters becomes `address` (empty when no address is shown).
void TestLaunch(const std::string& app, const std::string& parameters, const std::string& address,
                ShellLauncher& shell);

// A script's sleep step: `sseconds` in 100 ms slices with message processing.
void SleepStep(const Notif& step, PumpingSleeper& pump);

// Messages of the steps whose sender is not installed.
inline constexpr const char* kMailUnavailable =
    "Unable to send the e-mail: no mail sender is set up.";
inline constexpr const char* kUploadUnavailable =
    "Unable to upload the web page: no FTP client is set up.";

using StepHandler =
    std::function<StepResult(int position, const Notif& step, const std::string& address)>;

// "step 2 (FTP) ftp://host:21/pub/ip.html": what a step is, for the log. No
// user name or password.
std::string DescribeStep(int position, const Notif& step);

// The executor of the program's script runs. Launch and sleep are carried out
// here; e-mail and upload go to the handlers the main window installs. Without
// a handler those steps throw Error, which ends the run: a notification that
// cannot be sent must never count as sent. Each step's outcome goes to the
// activity sink, when set.
class ScriptSteps : public StepExecutor {
 public:
  ScriptSteps(ShellLauncher& shell, PumpingSleeper& pump) : shell_(shell), pump_(pump) {}

  void SetMailHandler(StepHandler handler) { mail_ = std::move(handler); }
  void SetUploadHandler(StepHandler handler) { upload_ = std::move(handler); }
  void SetActivity(ActivitySink* activity) { activity_ = activity; }

  void SendRMail(int position, const Notif& step, const std::string& address) override;
  void UploadRFile(int position, const Notif& step, const std::string& address) override;
  void Launch(int position, const Notif& step) override;
  void Sleep(int position, const Notif& step) override;

 private:
  ShellLauncher& shell_;
  PumpingSleeper& pump_;
  StepHandler mail_;
  StepHandler upload_;
  ActivitySink* activity_ = nullptr;

  // Runs `work`, reporting its outcome; an exception is reported and goes on.
  template <typename Work>
  void Reported(int position, const Notif& step, Work&& work);
};

}  // namespace tarnwick
