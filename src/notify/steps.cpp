#include "notify/steps.h"

#include <exception>
#include <type_traits>

#include "app/error.h"
#include "notify/placeholder.h"

namespace tarnwick {

void LaunchStep(const Notif& step, ShellLauncher& shell) {
  shell.Open(step.LaunchNotifr.LnchApp, step.LaunchNotifr.LnchParam);
}

void TestLaunch(const std::string& app, const std::string& parameters, const std::string& address,
                ShellLauncher& shell) {
  if (app.empty()) return;
  shell.Open(app, ReplaceAllPlaceholders(parameters, address));
}

void SleepStep(const Notif& step, PumpingSleeper& pump) {
  PumpingSleep(step.sseconds, pump);
}

std::string DescribeStep(int position, const Notif& step) {
  std::string text = "step " + std::to_string(position);
  switch (step.NotifyMethod) {
    case kNotifyEmail:
      return text + " (e-mail)";
    case kNotifyFtp:
      return text + " (FTP) ftp://" + step.FTPNotifr.FTPServer + ":" +
             std::to_string(step.FTPNotifr.FTPPort) + step.FTPNotifr.FTPPath;
    case kNotifyLaunch:
      return text + " (launch) " + step.LaunchNotifr.LnchApp;
    case kNotifySleep:
      return text + " (sleep) " + std::to_string(step.sseconds) + " s";
    default:
      return text;
  }
}

template <typename Work>
void ScriptSteps::Reported(int position, const Notif& step, Work&& work) {
  StepResult result;
  try {
    if constexpr (std::is_void_v<decltype(work())>) {
      work();
    } else {
      result = work();
    }
  } catch (const std::exception& e) {
    Report(activity_, Activity::kStepFailed, DescribeStep(position, step) + ": " + e.what());
    throw;
  }
  std::string details = DescribeStep(position, step);
  if (!result.detail.empty()) details += " " + result.detail;
  Report(activity_, result.ok ? Activity::kStepDone : Activity::kStepFailed, details);
}

void ScriptSteps::SendRMail(int position, const Notif& step, const std::string& address) {
  Reported(position, step, [&] {
    if (!mail_) throw Error(kMailUnavailable);
    return mail_(position, step, address);
  });
}

void ScriptSteps::UploadRFile(int position, const Notif& step, const std::string& address) {
  Reported(position, step, [&] {
    if (!upload_) throw Error(kUploadUnavailable);
    return upload_(position, step, address);
  });
}

void ScriptSteps::Launch(int position, const Notif& step) {
  Reported(position, step, [&] { LaunchStep(step, shell_); });
}

void ScriptSteps::Sleep(int position, const Notif& step) {
  Reported(position, step, [&] { SleepStep(step, pump_); });
}

}  // namespace tarnwick
