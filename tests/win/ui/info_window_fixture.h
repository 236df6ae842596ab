#pragma once
// A stand-in for the main window and small helpers for the information windows'
// tests.
#include <windows.h>

#include <string>

namespace tarnwick::testing {

// A visible top-level window where the main window would be.
class FakeMain {
 public:
  FakeMain(int left, int top, int width, int height, bool visible = true) {
    hwnd_ = CreateWindowExA(0, "STATIC", "Tarnwick", WS_OVERLAPPEDWINDOW, left, top, width, height,
                            nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
    if (visible) ShowWindow(hwnd_, SW_SHOWNORMAL);
  }
  ~FakeMain() {
    if (IsWindow(hwnd_)) DestroyWindow(hwnd_);
  }
  FakeMain(const FakeMain&) = delete;
  FakeMain& operator=(const FakeMain&) = delete;
  HWND hwnd() const { return hwnd_; }
  RECT Rect() const {
    RECT r;
    GetWindowRect(hwnd_, &r);
    return r;
  }

 private:
  HWND hwnd_;
};

inline std::string TextOf(HWND window) {
  char buffer[256] = {};
  GetWindowTextA(window, buffer, sizeof buffer);
  return buffer;
}

inline SIZE ClientSize(HWND window) {
  RECT r;
  GetClientRect(window, &r);
  return {r.right, r.bottom};
}

inline SIZE ChildSize(HWND dialog, int id) {
  RECT r;
  GetWindowRect(GetDlgItem(dialog, id), &r);
  return {r.right - r.left, r.bottom - r.top};
}

inline int ScreenWidth() {
  return GetSystemMetrics(SM_CXSCREEN);
}
inline int ScreenHeight() {
  return GetSystemMetrics(SM_CYSCREEN);
}

inline void PumpMessages() {
  MSG msg;
  while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
  }
}

}  // namespace tarnwick::testing
