#include "notify/steps.h"

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

void ScriptSteps::SendRMail(int position, const Notif& step, const std::string& address) {
  if (!mail_) throw Error(kMailUnavailable);
  mail_(position, step, address);
}

void ScriptSteps::UploadRFile(int position, const Notif& step, const std::string& address) {
  if (!upload_) throw Error(kUploadUnavailable);
  upload_(position, step, address);
}

void ScriptSteps::Launch(int /*position*/, const Notif& step) {
  LaunchStep(step, shell_);
}

void ScriptSteps::Sleep(int /*position*/, const Notif& step) {
  SleepStep(step, pump_);
}

}  // namespace tarnwick
