#pragma once
// Drives a modal dialog from inside its own modal loop, as a user would: a
// thread timer waits for the dialog's window to show, then runs one step per
// tick on it, so that messages a step posts (keys, clicks) go through the
// dialog's loop before the next step. Steps may name the dialog they act on,
// for a dialog that opens another. A dialog still showing after the last step
// is cancelled (and reported), so a test never hangs on it.
#include <windows.h>
// <commctrl.h> after <windows.h>.
#include <commctrl.h>

#include <functional>
#include <string>
#include <utility>
#include <vector>

namespace tarnwick::testing {

class ModalDriver {
 public:
  using Step = std::function<void(HWND dialog)>;
  // A step on a dialog of `window_class`: it waits until that dialog shows and
  // takes input (a dialog under a nested modal one is disabled).
  struct On {
    const char* window_class;
    Step step;
  };

  ModalDriver(const char* window_class, std::vector<Step> steps) {
    for (Step& step : steps) steps_.push_back({window_class, std::move(step)});
    Start();
  }
  explicit ModalDriver(std::vector<On> steps) : steps_(std::move(steps)) { Start(); }
  ~ModalDriver() {
    if (timer_) KillTimer(nullptr, timer_);
    current_ = nullptr;
  }
  ModalDriver(const ModalDriver&) = delete;
  ModalDriver& operator=(const ModalDriver&) = delete;

  // Every step ran.
  bool done() const { return next_ == steps_.size(); }
  // A dialog was still showing after the last step.
  bool left_open() const { return left_open_; }

 private:
  void Start() {
    current_ = this;
    timer_ = SetTimer(nullptr, 0, 10, Tick);
  }

  static HWND Ready(const char* window_class) {
    HWND dialog = FindWindowA(window_class, nullptr);
    return dialog && IsWindowVisible(dialog) && IsWindowEnabled(dialog) ? dialog : nullptr;
  }

  static void CALLBACK Tick(HWND, UINT, UINT_PTR, DWORD) {
    ModalDriver* self = current_;
    if (!self) return;
    if (self->next_ < self->steps_.size()) {
      On& on = self->steps_[self->next_];
      if (HWND dialog = Ready(on.window_class)) {
        ++self->next_;
        on.step(dialog);
      }
      return;
    }
    // Cancel whatever is still open, the innermost first.
    for (auto it = self->steps_.rbegin(); it != self->steps_.rend(); ++it) {
      if (HWND dialog = Ready(it->window_class)) {
        self->left_open_ = true;
        PostMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
        return;
      }
    }
  }

  static inline ModalDriver* current_ = nullptr;
  std::vector<On> steps_;
  size_t next_ = 0;
  bool left_open_ = false;
  UINT_PTR timer_ = 0;
};

// A control of `dialog` or of one of its tab pages.
inline HWND Control(HWND dialog, int id) {
  if (HWND direct = GetDlgItem(dialog, id)) return direct;
  struct Search {
    int id;
    HWND found;
  } search{id, nullptr};
  EnumChildWindows(
      dialog,
      [](HWND child, LPARAM param) -> BOOL {
        auto* s = reinterpret_cast<Search*>(param);
        if (GetDlgCtrlID(child) != s->id) return TRUE;
        s->found = child;
        return FALSE;
      },
      reinterpret_cast<LPARAM>(&search));
  return search.found;
}

inline std::string ControlText(HWND dialog, int id) {
  char text[512] = {};
  GetWindowTextA(Control(dialog, id), text, sizeof text);
  return text;
}

inline void SetControlText(HWND dialog, int id, const std::string& text) {
  SetWindowTextA(Control(dialog, id), text.c_str());
}

// A mouse click on a button, check box or radio button, by its own message.
inline void ClickControl(HWND dialog, int id) {
  SendMessageA(Control(dialog, id), BM_CLICK, 0, 0);
}

inline bool Ticked(HWND dialog, int id) {
  return SendMessageA(Control(dialog, id), BM_GETCHECK, 0, 0) == BST_CHECKED;
}

inline bool Enabled(HWND dialog, int id) {
  return IsWindowEnabled(Control(dialog, id)) != FALSE;
}

// Shown on the screen: the control and every window up to the dialog.
inline bool Showing(HWND dialog, int id) {
  return IsWindowVisible(Control(dialog, id)) != FALSE;
}

// The user picks tab `index` of the dialog's tab control.
inline void PickTab(HWND dialog, int index) {
  HWND tab = FindWindowExA(dialog, nullptr, WC_TABCONTROLA, nullptr);
  SendMessageA(tab, TCM_SETCURSEL, index, 0);
  NMHDR change{tab, static_cast<UINT_PTR>(GetDlgCtrlID(tab)), static_cast<UINT>(TCN_SELCHANGE)};
  SendMessageA(dialog, WM_NOTIFY, change.idFrom, reinterpret_cast<LPARAM>(&change));
}

// A key pressed where the focus is; the dialog's loop handles it after the step.
inline void PostKey(UINT key) {
  PostMessageA(GetFocus(), WM_KEYDOWN, key, 0);
  PostMessageA(GetFocus(), WM_KEYUP, key, 0xC0000000);
}

}  // namespace tarnwick::testing
