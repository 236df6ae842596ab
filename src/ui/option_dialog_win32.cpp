#include "ui/option_dialog_win32.h"

#include <commctrl.h>

#include <algorithm>

#include "app/error.h"
#include "app/form_win32.h"
#include "ui/placement_win32.h"

namespace tarnwick {
namespace {

// A dialog template names its window class; the class must exist before the
// dialog is made from it, with the dialog manager's procedure and extra bytes.
void RegisterDialogClass(const char* name) {
  const HINSTANCE module = GetModuleHandleA(nullptr);
  WNDCLASSEXA wc{};
  wc.cbSize = sizeof(wc);
  if (GetClassInfoExA(module, name, &wc)) return;
  wc = {};
  wc.cbSize = sizeof(wc);
  wc.style = CS_DBLCLKS;
  wc.lpfnWndProc = DefDlgProcA;
  wc.cbWndExtra = DLGWINDOWEXTRA;
  wc.hInstance = module;
  wc.hCursor = LoadCursorA(nullptr, IDC_ARROW);
  wc.lpszClassName = name;
  if (!RegisterClassExA(&wc))
    throw Error(std::string("Unable to register the window class ") + name);
}

void InitControlClasses() {
  static const bool done = [] {
    INITCOMMONCONTROLSEX classes{sizeof(classes), ICC_STANDARD_CLASSES | ICC_TAB_CLASSES |
                                                      ICC_UPDOWN_CLASS | ICC_DATE_CLASSES};
    return InitCommonControlsEx(&classes) != FALSE;
  }();
  (void)done;
}

LONG StyleOf(HWND window) {
  return GetWindowLongA(window, GWL_STYLE);
}

// By style rather than IsWindowVisible: the order is wanted before the dialog shows.
bool Usable(HWND window) {
  const LONG style = StyleOf(window);
  return (style & WS_VISIBLE) && !(style & WS_DISABLED);
}

bool IsRadio(HWND control) {
  return (SendMessageA(control, WM_GETDLGCODE, 0, 0) & DLGC_RADIOBUTTON) != 0;
}

bool IsTicked(HWND button) {
  return SendMessageA(button, BM_GETCHECK, 0, 0) == BST_CHECKED;
}

// The tab stops among the children of `parent` in z-order; a page set's shown
// page after its tab control (or a notebook's placeholder). A radio group (from
// one WS_GROUP to the next) counts once, at its ticked button, else at its first.
void CollectTabStops(HWND parent, const std::vector<TabPages*>& sets, std::vector<HWND>& stops) {
  constexpr size_t kNoGroup = static_cast<size_t>(-1);
  size_t radio_slot = kNoGroup;
  bool radio_ticked = false;
  for (HWND child = GetWindow(parent, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
    if (StyleOf(child) & WS_GROUP) {
      radio_slot = kNoGroup;
      radio_ticked = false;
    }
    if (std::any_of(sets.begin(), sets.end(), [&](const TabPages* s) { return s->IsPage(child); }))
      continue;
    if (IsRadio(child)) {
      if (!Usable(child)) continue;
      if (radio_slot == kNoGroup) {
        radio_slot = stops.size();
        stops.push_back(child);
        radio_ticked = IsTicked(child);
      } else if (!radio_ticked && IsTicked(child)) {
        stops[radio_slot] = child;
        radio_ticked = true;
      }
    } else if ((StyleOf(child) & WS_TABSTOP) && Usable(child)) {
      stops.push_back(child);
    }
    for (const TabPages* set : sets) {
      if (child != set->Tab()) continue;
      HWND page = set->Page(set->Selected());
      if (page && (StyleOf(page) & WS_VISIBLE)) CollectTabStops(page, sets, stops);
    }
  }
}

}  // namespace

INT_PTR OptionDialog::ShowModal(HWND owner) {
  InitControlClasses();
  RegisterDialogClass(class_name_);
  owner_ = owner;
  hints_ = nullptr;
  const INT_PTR result = DialogBoxParamA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(template_id_),
                                         owner, DialogProc, reinterpret_cast<LPARAM>(this));
  hwnd_ = nullptr;
  if (result == -1) throw Error(std::string("Unable to show the window ") + class_name_ + ".");
  return result;
}

INT_PTR OptionDialog::HandleMessage(UINT message, WPARAM wparam, LPARAM lparam) {
  switch (message) {
    case WM_INITDIALOG:
      InitDialog();
      return FALSE;  // the focus is set
    case WM_COMMAND: {
      const int id = LOWORD(wparam);
      if (id == IDOK) {
        OkClick();
      } else if (id == IDCANCEL) {  // also Escape and the close box
        CancelClick();
      } else {
        OnCommand(id, HIWORD(wparam));
      }
      return TRUE;
    }
    case WM_NOTIFY:
      for (TabPages* set : page_sets_) {
        if (set->OnNotify(*reinterpret_cast<const NMHDR*>(lparam))) return TRUE;
      }
      break;
    case WM_NEXTDLGCTL:
      // Tab and Shift+Tab (lParam 0); a target given by handle is the dialog manager's.
      if (lparam == 0 && std::any_of(page_sets_.begin(), page_sets_.end(),
                                     [](const TabPages* set) { return set->Count() > 0; })) {
        MoveFocus(wparam != 0);
        return TRUE;
      }
      return FALSE;
    default:
      break;
  }
  return OnMessage(message, wparam, lparam);
}

void OptionDialog::InitDialog() {
  try {
    FormCreate();
  } catch (...) {
    EndDialog(hwnd_, IDCANCEL);  // a half-filled dialog must not be confirmed
    throw;
  }
  Place(owner_);
  const std::vector<HWND> stops = TabStops();
  if (!stops.empty()) FocusControl(stops.front());
}

void OptionDialog::Place(HWND owner) {
  PlaceDialogWindow(hwnd_, owner);
}

void OptionDialog::Close(INT_PTR result) {
  if (hwnd_) EndDialog(hwnd_, result);
}

HWND OptionDialog::Item(int id) const {
  if (HWND control = GetDlgItem(hwnd_, id)) return control;
  for (TabPages* set : page_sets_) {
    for (int i = 0; i < set->Count(); ++i) {
      if (HWND control = GetDlgItem(set->Page(i), id)) return control;
    }
  }
  return nullptr;
}

bool OptionDialog::IsPage(HWND window) const {
  return std::any_of(page_sets_.begin(), page_sets_.end(),
                     [&](const TabPages* set) { return set->IsPage(window); });
}

std::vector<HWND> OptionDialog::TabStops() const {
  std::vector<HWND> stops;
  if (hwnd_) CollectTabStops(hwnd_, page_sets_, stops);
  return stops;
}

void OptionDialog::MoveFocus(bool backwards) {
  const std::vector<HWND> stops = TabStops();
  if (stops.empty()) return;
  // The control that holds the focus, not a part of it (a combo box's edit).
  HWND focus = GetFocus();
  while (focus && GetParent(focus) != hwnd_ && !IsPage(GetParent(focus))) {
    focus = GetParent(focus);
  }
  const auto at = std::find(stops.begin(), stops.end(), focus);
  const size_t count = stops.size();
  size_t next = backwards ? count - 1 : 0;
  if (at != stops.end()) {
    const size_t index = static_cast<size_t>(at - stops.begin());
    next = backwards ? (index + count - 1) % count : (index + 1) % count;
  }
  FocusControl(stops[next]);
}

void OptionDialog::FocusControl(HWND control) {
  SendMessageA(hwnd_, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(control), TRUE);
}

std::string OptionDialog::Text(int id) const {
  return WindowText(Item(id));
}

void OptionDialog::SetText(int id, const std::string& text) {
  SetWindowTextA(Item(id), text.c_str());
}

bool OptionDialog::Checked(int id) const {
  return IsTicked(Item(id));
}

void OptionDialog::SetChecked(int id, bool checked) {
  SendMessageA(Item(id), BM_SETCHECK, checked ? BST_CHECKED : BST_UNCHECKED, 0);
}

void OptionDialog::Enable(std::initializer_list<int> ids, bool enabled) {
  for (int id : ids) EnableWindow(Item(id), enabled);
}

void OptionDialog::Show(std::initializer_list<int> ids, bool visible) {
  for (int id : ids) ShowWindow(Item(id), visible ? SW_SHOW : SW_HIDE);
}

void OptionDialog::AddHint(int id, const char* text) {
  if (!hints_) {
    hints_ = CreateWindowExA(WS_EX_TOPMOST, TOOLTIPS_CLASSA, nullptr, WS_POPUP | TTS_ALWAYSTIP,
                             CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, hwnd_,
                             nullptr, GetModuleHandleA(nullptr), nullptr);
    // Long hints wrap instead of running across the screen.
    SendMessageA(hints_, TTM_SETMAXTIPWIDTH, 0, 300);
  }
  HWND control = Item(id);
  TTTOOLINFOA tool{};
  tool.cbSize = sizeof(tool);
  tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
  tool.hwnd = GetParent(control);
  tool.uId = reinterpret_cast<UINT_PTR>(control);
  tool.lpszText = const_cast<char*>(text);
  SendMessageA(hints_, TTM_ADDTOOLA, 0, reinterpret_cast<LPARAM>(&tool));
}

void OptionDialog::AttachSpin(int updown_id, SpinRange range) {
  SendMessageA(Item(updown_id), UDM_SETRANGE32, static_cast<WPARAM>(range.min),
               static_cast<LPARAM>(range.max));
}

ScreenPoint OptionDialog::TopLeft() const {
  RECT r{};
  GetWindowRect(hwnd_, &r);
  return {r.left, r.top};
}

void OptionDialog::Refuse(const std::string& message, int id,
                          const std::optional<std::string>& reset_text,
                          std::optional<ScreenPoint> at) {
  ShowWarning(message, at);
  if (!hwnd_) return;  // the main window went, and the dialog with it, while the box showed
  HWND field = Item(id);
  if (reset_text) SetWindowTextA(field, reset_text->c_str());
  for (TabPages* set : page_sets_) {
    const int page = set->PageOf(field);
    if (page >= 0 && !set->IsNotebook()) set->Select(page);
  }
  // A field on a notebook page the user has not chosen stays where it is.
  if (IsWindowVisible(field) && IsWindowEnabled(field)) FocusControl(field);
}

}  // namespace tarnwick
