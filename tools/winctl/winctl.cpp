// winctl: drives top-level windows from scripts (the demo and end-to-end tests).
//   winctl wait CLASS [TIMEOUT_MS]            wait for a window of CLASS
//   winctl wait-title TITLE [TIMEOUT_MS]      wait for a top-level window titled TITLE
//   winctl wait-gone CLASS [TIMEOUT_MS]       wait until no window of CLASS is left
//   winctl post CLASS MSG WPARAM LPARAM       PostMessage to it
//   winctl send CLASS MSG WPARAM LPARAM       SendMessage to it; prints the result
//   winctl end-session CLASS                  WM_QUERYENDSESSION, then WM_ENDSESSION(TRUE)
//   winctl texts TITLE                        prints the texts of the window and its children
//   winctl click TITLE BUTTON                 clicks the shown child button whose text is
//                                             BUTTON and waits until its program is idle
//   winctl pick TITLE INDEX                   selects item INDEX of the shown drop-down list
//   winctl visible CLASS                      prints 1 or 0
//   winctl rect TITLE                         prints the window's screen rectangle:
//                                             left top right bottom
//   winctl hold SECONDS                       keeps a window (and so Wine's desktop) alive
//   winctl add-root FILE.der                  adds a test authority to this prefix's
//                                             machine Root store (the TLS tests)
// Numbers may be decimal or 0x hexadecimal. Exit code 0 on success, 1 on failure.
#include <windows.h>
#include <wincrypt.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

DWORD Deadline(int argc, char** argv, int index, DWORD fallback) {
  return GetTickCount() + (argc > index ? std::strtoul(argv[index], nullptr, 0) : fallback);
}

void Pump() {
  MSG msg;
  while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&msg);
  Sleep(50);
}

HWND FindTitle(const char* title) { return FindWindowA(nullptr, title); }

std::vector<HWND> Children(HWND parent) {
  std::vector<HWND> result;
  EnumChildWindows(
      parent,
      [](HWND child, LPARAM list) -> BOOL {
        reinterpret_cast<std::vector<HWND>*>(list)->push_back(child);
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&result));
  return result;
}

std::string Text(HWND window) {
  char buffer[1024] = {};
  SendMessageTimeoutA(window, WM_GETTEXT, sizeof buffer, reinterpret_cast<LPARAM>(buffer),
                      SMTO_ABORTIFHUNG, 2000, nullptr);
  return buffer;
}

// Until the window's program has handled what it was sent and waits for input
// again, so that the next command finds the click's effect (a new page, say).
void WaitUntilIdle(HWND window) {
  DWORD pid = 0;
  GetWindowThreadProcessId(window, &pid);
  HANDLE process = OpenProcess(SYNCHRONIZE | PROCESS_QUERY_INFORMATION, FALSE, pid);
  if (!process) return;
  WaitForInputIdle(process, 5000);
  CloseHandle(process);
}

int Usage() {
  std::fputs(
      "usage: winctl wait|wait-title|wait-gone|post|send|end-session|texts|click|pick|rect|visible ...\n",
             stderr);
  return 2;
}

int AddRoot(const char* path) {
  FILE* file = std::fopen(path, "rb");
  if (!file) return 1;
  std::vector<BYTE> der(64 * 1024);
  der.resize(std::fread(der.data(), 1, der.size(), file));
  std::fclose(file);
  HCERTSTORE store = CertOpenStore(CERT_STORE_PROV_SYSTEM_A, 0, 0,
                                   CERT_SYSTEM_STORE_LOCAL_MACHINE, "Root");
  if (!store) return 1;
  const BOOL added = CertAddEncodedCertificateToStore(
      store, X509_ASN_ENCODING, der.data(), static_cast<DWORD>(der.size()),
      CERT_STORE_ADD_REPLACE_EXISTING, nullptr);
  CertCloseStore(store, 0);
  return added ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 3) return Usage();
  const std::string command = argv[1];
  const char* target = argv[2];

  if (command == "add-root") return AddRoot(target);

  if (command == "hold") {
    // Wine closes its virtual desktop when the last window of a session goes; a
    // test run that starts many short programs keeps one open instead of paying
    // for a new desktop each time.
    CreateWindowExA(0, "STATIC", "winctl hold", 0, 0, 0, 0, 0, nullptr, nullptr, nullptr, nullptr);
    const DWORD end = GetTickCount() + std::strtoul(target, nullptr, 0) * 1000;
    while (static_cast<LONG>(GetTickCount() - end) < 0) Pump();
    return 0;
  }
  if (command == "wait" || command == "wait-title") {
    const DWORD deadline = Deadline(argc, argv, 3, 10000);
    for (;;) {
      HWND found = command == "wait" ? FindWindowA(target, nullptr) : FindTitle(target);
      if (found) return 0;
      if (static_cast<LONG>(GetTickCount() - deadline) >= 0) return 1;
      Pump();
    }
  }
  if (command == "wait-gone") {
    const DWORD deadline = Deadline(argc, argv, 3, 10000);
    while (FindWindowA(target, nullptr)) {
      if (static_cast<LONG>(GetTickCount() - deadline) >= 0) return 1;
      Pump();
    }
    return 0;
  }
  if (command == "texts" || command == "click" || command == "pick" || command == "rect") {
    HWND window = FindTitle(target);
    if (!window) return 1;
    if (command == "rect") {
      // For real mouse input (xdotool) at a place inside a window that moves.
      RECT r{};
      GetWindowRect(window, &r);
      std::printf("%ld %ld %ld %ld\n", r.left, r.top, r.right, r.bottom);
      return 0;
    }
    if (command == "texts") {
      std::printf("%s\n", Text(window).c_str());
      for (HWND child : Children(window)) std::printf("%s\n", Text(child).c_str());
      return 0;
    }
    if (argc < 4) return Usage();
    if (command == "pick") {
      for (HWND child : Children(window)) {
        char name[32] = {};
        GetClassNameA(child, name, sizeof name);
        if (lstrcmpiA(name, "ComboBox") != 0 || !IsWindowVisible(child)) continue;
        const WPARAM index = std::strtoul(argv[3], nullptr, 0);
        if (SendMessageA(child, CB_SETCURSEL, index, 0) == CB_ERR) return 1;
        // As a user's choice does, tell the combo box's parent.
        SendMessageA(GetParent(child), WM_COMMAND,
                     MAKEWPARAM(GetDlgCtrlID(child), CBN_SELCHANGE),
                     reinterpret_cast<LPARAM>(child));
        return 0;
      }
      return 1;
    }
    // Wizards have a button of the same text on each page: only the shown one counts.
    for (HWND child : Children(window)) {
      if (!IsWindowVisible(child)) continue;
      std::string text = Text(child);
      std::string plain;
      for (char c : text) {
        if (c != '&') plain += c;
      }
      if (plain == argv[3]) {
        PostMessageA(child, BM_CLICK, 0, 0);
        WaitUntilIdle(window);
        return 0;
      }
    }
    return 1;
  }

  HWND window = FindWindowA(target, nullptr);
  if (!window) return 1;
  if (command == "visible") {
    std::printf("%d\n", IsWindowVisible(window) ? 1 : 0);
    return 0;
  }
  if (command == "end-session") {
    DWORD_PTR answer = 0;
    SendMessageTimeoutA(window, WM_QUERYENDSESSION, 0, 0, SMTO_NORMAL, 10000, &answer);
    std::printf("%lu\n", static_cast<unsigned long>(answer));
    SendMessageTimeoutA(window, WM_ENDSESSION, TRUE, 0, SMTO_NORMAL, 10000, nullptr);
    return 0;
  }
  if ((command == "post" || command == "send") && argc >= 6) {
    const UINT message = std::strtoul(argv[3], nullptr, 0);
    const WPARAM wparam = std::strtoull(argv[4], nullptr, 0);
    const LPARAM lparam = std::strtoll(argv[5], nullptr, 0);
    if (command == "post") return PostMessageA(window, message, wparam, lparam) ? 0 : 1;
    DWORD_PTR result = 0;
    if (!SendMessageTimeoutA(window, message, wparam, lparam, SMTO_NORMAL, 10000, &result)) {
      return 1;
    }
    std::printf("%lld\n", static_cast<long long>(result));
    return 0;
  }
  return Usage();
}
