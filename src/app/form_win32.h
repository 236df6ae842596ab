#pragma once
// The base of every window class: creates the window and routes its messages to
// a virtual handler. Exceptions never leave a window procedure: they end in the
// application's standard error box.
#include <windows.h>

#include <string>

namespace tarnwick {

// The text of a window or control, whatever its length.
std::string WindowText(HWND window);

class Form {
 public:
  Form() = default;
  virtual ~Form();
  Form(const Form&) = delete;
  Form& operator=(const Form&) = delete;

  HWND hwnd() const { return hwnd_; }

 protected:
  // Registers `class_name` once per process and creates the window.
  bool CreateForm(const char* class_name, const char* caption, DWORD style, DWORD ex_style,
                  int x, int y, int width, int height, HWND parent, HMENU menu, HICON icon);
  virtual LRESULT HandleMessage(UINT message, WPARAM wparam, LPARAM lparam);
  LRESULT Default(UINT message, WPARAM wparam, LPARAM lparam) {
    return DefWindowProcA(hwnd_, message, wparam, lparam);
  }

 private:
  static LRESULT CALLBACK WindowProc(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam);
  HWND hwnd_ = nullptr;
};

}  // namespace tarnwick
