#include "rassim_dial.h"

#include <raserror.h>

#include <condition_variable>
#include <deque>
#include <mutex>
#include <optional>
#include <thread>
#include <vector>

#include "rassim_service.h"
#include "rassim_sizes.h"

namespace rassim {
namespace {

constexpr DWORD kNotifyByWindow = 0xFFFFFFFF;

struct Notifier {
  DWORD type = 0;
  LPVOID target = nullptr;
  ULONG_PTR callback_id = 0;
  DWORD sub_entry = 0;
};

void Report(const Notifier& notifier, uintptr_t handle, const Step& step) {
  const auto state = static_cast<RASCONNSTATE>(step.state);
  const auto error = static_cast<DWORD>(step.error);
  const auto conn = reinterpret_cast<HRASCONN>(handle);
  switch (notifier.type) {
    case 0:
      reinterpret_cast<RASDIALFUNC>(notifier.target)(WM_RASDIALEVENT, state, error);
      break;
    case 1:
      reinterpret_cast<RASDIALFUNC1>(notifier.target)(conn, WM_RASDIALEVENT, state, error, 0);
      break;
    case 2:
      reinterpret_cast<RASDIALFUNC2>(notifier.target)(notifier.callback_id, notifier.sub_entry,
                                                      conn, WM_RASDIALEVENT, state, error, 0);
      break;
    case kNotifyByWindow:
      PostMessageA(static_cast<HWND>(notifier.target), WM_RASDIALEVENT, state, error);
      break;
  }
}

// Sleeps until `until` in small slices; false when the connection was hung up meanwhile.
bool PauseUntil(uintptr_t handle, ULONGLONG until) {
  for (;;) {
    {
      Service& service = Service::Instance();
      auto lock = service.Lock();
      Connection* connection = service.Find(handle);
      if (connection == nullptr || connection->hung_up) return false;
    }
    const ULONGLONG now = GetTickCount64();
    if (now >= until) return true;
    Sleep(static_cast<DWORD>(std::min<ULONGLONG>(until - now, 5)));
  }
}

// Applies one step to the connection; false when the dial is over (hung up,
// dropped).
bool Advance(uintptr_t handle, const Step& step) {
  Service& service = Service::Instance();
  auto lock = service.Lock();
  Connection* connection = service.Find(handle);
  if (connection == nullptr || connection->hung_up) return false;
  connection->state = step.state;
  connection->error = step.error;
  if (step.error != 0) {
    connection->phase = Phase::kFailed;
  } else if (step.state == kStateConnected) {
    service.MarkConnected(*connection);
  }
  service.Log("progress handle=" + HandleText(handle) + " state=" + std::to_string(step.state) +
              " error=" + std::to_string(step.error));
  if (step.state == kStateConnected) {
    service.Log("connected entry=" + Quoted(connection->entry) + " handle=" + HandleText(handle) +
                " ip=" + connection->client_ip);
  }
  return true;
}

// Marks the caller's notifier as running for the connection; false when the
// connection is gone or hung up (its remaining reports are not made).
bool EnterNotifier(uintptr_t handle) {
  Service& service = Service::Instance();
  auto lock = service.Lock();
  Connection* connection = service.Find(handle);
  if (connection == nullptr || connection->hung_up) return false;
  connection->in_notifier = true;
  return true;
}

void LeaveNotifier(uintptr_t handle) {
  Service& service = Service::Instance();
  auto lock = service.Lock();
  if (Connection* connection = service.Find(handle)) connection->in_notifier = false;
}

void Notify(const Notifier& notifier, uintptr_t handle, const Step& step) {
  if (!EnterNotifier(handle)) return;
  Report(notifier, handle, step);
  LeaveNotifier(handle);
}

// The reports of one dial, from the dial's thread to its notifier's.
class ReportQueue {
 public:
  void Push(const Step& step) {
    {
      std::lock_guard lock(mutex_);
      steps_.push_back(step);
    }
    changed_.notify_one();
  }
  void Close() {
    {
      std::lock_guard lock(mutex_);
      closed_ = true;
    }
    changed_.notify_one();
  }
  std::optional<Step> Pop() {
    std::unique_lock lock(mutex_);
    changed_.wait(lock, [&] { return closed_ || !steps_.empty(); });
    if (steps_.empty()) return std::nullopt;
    Step step = steps_.front();
    steps_.pop_front();
    return step;
  }

 private:
  std::mutex mutex_;
  std::condition_variable changed_;
  std::deque<Step> steps_;
  bool closed_ = false;
};

// The connection goes through its states at the service's pace, step-delay
// after step-delay from the dial; the caller's notifier hears of them in order
// on a thread of its own, as with RAS: a notifier that is slow to return holds
// up its own reports, not the connection.
void RunSteps(uintptr_t handle, std::vector<Step> steps, int delay_ms, Notifier notifier) {
  ReportQueue queue;
  std::thread reporter([&] {
    while (const std::optional<Step> step = queue.Pop()) Notify(notifier, handle, *step);
  });
  const ULONGLONG start = GetTickCount64();
  ULONGLONG due = start;
  for (const Step& step : steps) {
    // The error report of a failure follows its state at once.
    if (step.error == 0) {
      due += static_cast<ULONGLONG>(delay_ms);
      if (!PauseUntil(handle, due)) break;
    }
    if (!Advance(handle, step)) break;
    queue.Push(step);
  }
  queue.Close();
  reporter.join();
}

}  // namespace

DWORD Dial(LPRASDIALEXTENSIONS /*extensions*/, LPCSTR phonebook, LPRASDIALPARAMSA params,
           DWORD notifier_type, LPVOID notifier_target, LPHRASCONN out_handle) {
  Service& service = Service::Instance();
  auto lock = service.Lock();
  service.Refresh();
  if (params == nullptr || out_handle == nullptr) return ERROR_INVALID_PARAMETER;
  if (!IsDialParamsSize(params->dwSize)) return ERROR_INVALID_SIZE;
  // RAS requires the caller to pass a cleared handle.
  if (*out_handle != nullptr) return ERROR_INVALID_PARAMETER;
  if (phonebook != nullptr && phonebook[0] != '\0') return ERROR_CANNOT_OPEN_PHONEBOOK;
  if (notifier_target != nullptr && notifier_type != 0 && notifier_type != 1 &&
      notifier_type != 2 && notifier_type != kNotifyByWindow) {
    return ERROR_INVALID_PARAMETER;
  }
  const std::string name(params->szEntryName);
  const bool async = notifier_target != nullptr;
  const std::string mode = async ? "async" : "sync";
  const EntryConfig* entry = service.config().Find(name);
  if (entry == nullptr) {
    service.Log("RasDialA entry=" + Quoted(name) + " mode=" + mode + " result=623");
    return ERROR_CANNOT_FIND_PHONEBOOK_ENTRY;
  }
  Notifier notifier{notifier_type, notifier_target, 0, 0};
  if (params->dwSize >= DialParamsV401Size()) {
    notifier.callback_id = params->dwCallbackId;
    notifier.sub_entry = params->dwSubEntry;
  }
  if (Connection* existing = service.FindListed(name)) {
    if (existing->phase == Phase::kDialing) {
      service.Log("RasDialA entry=" + Quoted(name) + " mode=" + mode + " result=756");
      return ERROR_DIAL_ALREADY_IN_PROGRESS;
    }
    // Dialing a connected entry hands out the existing connection, which
    // reports "Connected" at once.
    *out_handle = reinterpret_cast<HRASCONN>(existing->handle);
    service.Log("RasDialA entry=" + Quoted(name) + " mode=" + mode +
                " handle=" + HandleText(existing->handle) + " result=0 existing=1");
    if (async) {
      const uintptr_t handle = existing->handle;
      std::thread([handle, notifier] {
        if (Advance(handle, {kStateConnected, 0})) Notify(notifier, handle, {kStateConnected, 0});
      }).detach();
    }
    return 0;
  }
  Connection& connection = service.Create(*entry);
  const uintptr_t handle = connection.handle;
  *out_handle = reinterpret_cast<HRASCONN>(handle);
  service.Log("RasDialA entry=" + Quoted(name) + " user=" + Quoted(params->szUserName) +
              " password=" + service.PasswordForLog(params->szPassword) + " mode=" + mode +
              " handle=" + HandleText(handle) + " result=0");
  std::vector<Step> steps = DialSteps(service.config(), entry->outcome);
  const int delay = service.config().step_delay_ms;
  if (async) {
    std::thread(RunSteps, handle, std::move(steps), delay, notifier).detach();
    return 0;
  }
  // Without a notifier the call returns when the dial is over.
  lock.unlock();
  ULONGLONG due = GetTickCount64();
  for (const Step& step : steps) {
    if (step.error == 0) {
      due += static_cast<ULONGLONG>(delay);
      if (!PauseUntil(handle, due)) return ERROR_USER_DISCONNECTION;
    }
    if (!Advance(handle, step)) return ERROR_USER_DISCONNECTION;
    if (step.error != 0) return static_cast<DWORD>(step.error);
  }
  if (steps.back().state != kStateConnected) {
    // Never answers: a blocking dial would hang forever, so it ends as "no
    // answer"; the handle stays valid until the caller hangs up, as after a failure.
    auto relock = service.Lock();
    if (Connection* connection = service.Find(handle)) connection->phase = Phase::kFailed;
    return ERROR_NO_ANSWER;
  }
  return 0;
}

}  // namespace rassim
