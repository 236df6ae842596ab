#include "notify/script.h"

namespace tarnwick {

RunOutcome RunScript(std::vector<Notif> steps, const std::string& address, StepExecutor& executor,
                     const std::function<bool()>& go_on, int from, int* reached) {
  const int count = static_cast<int>(steps.size());
  for (int position = from < 1 ? 1 : from; position <= count; ++position) {
    if (go_on && !go_on()) return RunOutcome::kAbandoned;
    if (reached) *reached = position;
    const Notif& step = steps[position - 1];
    switch (step.NotifyMethod) {
      case kNotifyEmail:
        executor.SendRMail(position, step, address);
        break;
      case kNotifyFtp:
        executor.UploadRFile(position, step, address);
        break;
      case kNotifyLaunch:
        executor.Launch(position, step);
        break;
      case kNotifySleep:
        executor.Sleep(position, step);
        break;
      default:
        break;  // a kind this program does not know: passed over
    }
  }
  return RunOutcome::kCompleted;
}

}  // namespace tarnwick
