// TDialUp's life and its asynchronous side: the hidden window, the delivery
// timer and the RAS notifier with the process-wide CurrentDialer.
#include <exception>
#include <mutex>

#include "app/error.h"
#include "app/message_box.h"
#include "ras/dialup.h"
#include "ras/dialup_internal_win32.h"
#include "ras/ras_state_text.h"

namespace tarnwick {
namespace {

constexpr char kWindowClass[] = "TarnwickDialUpWindow";
// Posted by the notifier after it filled the slot: arm the delivery timer
// (SetTimer works only on the window's own thread).
constexpr UINT kMsgNotificationPending = WM_APP + 1;

// The RAS notification carries no context: the instance that dialed last
// receives it. The hand-off is shared so that a notifier still running while
// the component goes away never touches freed memory.
struct CurrentDialerSlot {
  std::mutex mutex;
  TDialUp* dialer = nullptr;
  std::shared_ptr<DialHandoff> handoff;
  HWND window = nullptr;
};

CurrentDialerSlot& CurrentDialer() {
  static CurrentDialerSlot slot;
  return slot;
}

void RegisterWindowClass() {
  static const bool registered = [] {
    WNDCLASSEXA wc{};
    wc.cbSize = sizeof(wc);
    wc.lpfnWndProc = DefWindowProcA;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.lpszClassName = kWindowClass;
    return RegisterClassExA(&wc) != 0 || GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
  }();
  if (!registered) throw Error("Cannot register the RAS component's window class");
}

}  // namespace

// Runs on the RAS thread (notifier type 0).
void WINAPI RasDialNotifier(UINT /*message*/, RASCONNSTATE state, DWORD error) {
  std::shared_ptr<DialHandoff> handoff;
  HWND window = nullptr;
  {
    CurrentDialerSlot& current = CurrentDialer();
    std::lock_guard lock(current.mutex);
    handoff = current.handoff;
    window = current.window;
  }
  if (!handoff) return;
  if (handoff->Post({static_cast<int>(state), static_cast<int>(error)}, kNotifierSlotWait)) {
    PostMessageA(window, kMsgNotificationPending, 0, 0);
  }
}

TDialUp::TDialUp() {
  RegisterWindowClass();
  window_ = CreateWindowExA(0, kWindowClass, "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                            GetModuleHandleA(nullptr), nullptr);
  if (window_ == nullptr) throw Error("Cannot create the RAS component's window");
  SetWindowLongPtrA(window_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
  SetWindowLongPtrA(window_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&TDialUp::WindowProc));
  SetLanguage(ralgEnglish);
}

TDialUp::~TDialUp() {
  // Connections outlive the component: nothing is hung up here. Notifications
  // for this instance stop before its window goes.
  {
    CurrentDialerSlot& current = CurrentDialer();
    std::lock_guard lock(current.mutex);
    if (current.dialer == this) {
      current.dialer = nullptr;
      current.handoff.reset();
      current.window = nullptr;
    }
  }
  handoff_->Close();
  SetWindowLongPtrA(window_, GWLP_USERDATA, 0);
  DestroyWindow(window_);
}

void TDialUp::BecomeCurrentDialer() {
  CurrentDialerSlot& current = CurrentDialer();
  std::lock_guard lock(current.mutex);
  current.dialer = this;
  current.handoff = handoff_;
  current.window = window_;
}

void TDialUp::SetLanguage(TRasLanguage language) {
  language_ = language;
  text_base_ = StateTextBase(language);
}

LRESULT CALLBACK TDialUp::WindowProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  auto* self = reinterpret_cast<TDialUp*>(GetWindowLongPtrA(window, GWLP_USERDATA));
  if (self == nullptr) return DefWindowProcA(window, message, wparam, lparam);
  // Exceptions never leave a window procedure: they end in the standard error box.
  try {
    if (message == kMsgNotificationPending) {
      SetTimer(window, kDialUpDeliveryTimerId, kDialUpDeliveryIntervalMs, nullptr);
      return 0;
    }
    if (message == WM_TIMER && wparam == kDialUpDeliveryTimerId) {
      self->DeliveryTick();
      return 0;
    }
  } catch (const std::exception& e) {
    ShowErrorBox(e.what());
    return 0;
  }
  return DefWindowProcA(window, message, wparam, lparam);
}

void TDialUp::DeliveryTick() {
  KillTimer(window_, kDialUpDeliveryTimerId);
  // Keep the hand-off alive even if a handler destroys this component.
  std::shared_ptr<DialHandoff> handoff = handoff_;
  handoff->Collect();
  // Every report that is in, in order: one per tick would let them trail the
  // dial (a tick comes once per pass of a waiting handler).
  handoff->DeliverPending([this](const DialNotification& next) {
    if (OnAsyncEvent) OnAsyncEvent(*this, next.state, next.error, StatusText(next.state, next.error));
  });
  // The handler may have destroyed this component.
  if (handoff->Closed()) return;
  // A tick nested in a handler's message processing only collects; the tick
  // that raised the handler re-arms when it is done.
  if (handoff->HasWork() && !handoff->Delivering()) {
    SetTimer(window_, kDialUpDeliveryTimerId, kDialUpDeliveryIntervalMs, nullptr);
  }
}

}  // namespace tarnwick
