#include "ui/tab_pages_win32.h"

#include <commctrl.h>
#include <uxtheme.h>

#include <algorithm>

#include "app/error.h"

namespace tarnwick {

void TabPages::Create(HWND dialog, int tab_id, std::initializer_list<PageTemplate> pages) {
  notebook_ = false;
  CreatePages(dialog, tab_id, pages);
}

void TabPages::CreateNotebook(HWND dialog, int area_id, std::initializer_list<PageTemplate> pages) {
  notebook_ = true;
  CreatePages(dialog, area_id, pages);
}

void TabPages::CreatePages(HWND dialog, int anchor_id, std::initializer_list<PageTemplate> pages) {
  dialog_ = dialog;
  tab_ = GetDlgItem(dialog, anchor_id);
  if (!tab_)
    throw Error(notebook_ ? "The dialog has no place for its pages."
                          : "The dialog has no tab control.");
  const HINSTANCE module = GetModuleHandleA(nullptr);
  for (const PageTemplate& page : pages) {
    if (!notebook_) {
      TCITEMA item{};
      item.mask = TCIF_TEXT;
      item.pszText = const_cast<char*>(page.caption);
      SendMessageA(tab_, TCM_INSERTITEMA, pages_.size(), reinterpret_cast<LPARAM>(&item));
    }
    HWND window = CreateDialogParamA(module, MAKEINTRESOURCEA(page.template_id), dialog, PageProc,
                                     reinterpret_cast<LPARAM>(this));
    if (!window) throw Error(std::string("Unable to create the page \"") + page.caption + "\".");
    pages_.push_back(window);
  }
  FitPages();
  Select(0);
}

void TabPages::FitPages() {
  RECT area{};
  GetWindowRect(tab_, &area);
  MapWindowPoints(nullptr, dialog_, reinterpret_cast<POINT*>(&area), 2);
  if (!notebook_) SendMessageA(tab_, TCM_ADJUSTRECT, FALSE, reinterpret_cast<LPARAM>(&area));
  for (HWND page : pages_) {
    // Just above the tab control: the page paints over the tab's body and takes
    // its clicks (and follows the placeholder in the tab order).
    HWND above = GetWindow(tab_, GW_HWNDPREV);
    SetWindowPos(page, above ? above : HWND_TOP, area.left, area.top, area.right - area.left,
                 area.bottom - area.top, SWP_NOACTIVATE);
  }
}

void TabPages::Select(int index) {
  if (index < 0 || index >= Count()) return;
  selected_ = index;
  if (!notebook_) SendMessageA(tab_, TCM_SETCURSEL, index, 0);
  ShowWindow(pages_[index], SW_SHOW);
  for (int i = 0; i < Count(); ++i) {
    if (i != index) ShowWindow(pages_[i], SW_HIDE);
  }
}

int TabPages::Selected() const {
  if (!tab_ || notebook_) return selected_;
  return static_cast<int>(SendMessageA(tab_, TCM_GETCURSEL, 0, 0));
}

HWND TabPages::Page(int index) const {
  return index >= 0 && index < Count() ? pages_[index] : nullptr;
}

bool TabPages::IsPage(HWND window) const {
  return std::find(pages_.begin(), pages_.end(), window) != pages_.end();
}

int TabPages::PageOf(HWND control) const {
  for (int i = 0; i < Count(); ++i) {
    if (control == pages_[i] || IsChild(pages_[i], control)) return i;
  }
  return -1;
}

bool TabPages::OnNotify(const NMHDR& header) {
  if (!tab_ || notebook_ || header.hwndFrom != tab_ || header.code != TCN_SELCHANGE) return false;
  Select(Selected());
  return true;
}

INT_PTR CALLBACK TabPages::PageProc(HWND page, UINT message, WPARAM wparam, LPARAM lparam) {
  if (message == WM_INITDIALOG) {
    SetWindowLongPtrA(page, DWLP_USER, lparam);
    // Under visual styles a tab's page takes the tab's body as its background.
    if (!reinterpret_cast<const TabPages*>(lparam)->notebook_) {
      EnableThemeDialogTexture(page, ETDT_ENABLETAB);
    }
    return FALSE;
  }
  const auto* self = reinterpret_cast<const TabPages*>(GetWindowLongPtrA(page, DWLP_USER));
  if (!self) return FALSE;
  switch (message) {
    case WM_COMMAND:
    case WM_NOTIFY:
      SetWindowLongPtrA(page, DWLP_MSGRESULT, SendMessageA(self->dialog_, message, wparam, lparam));
      return TRUE;
    case WM_CTLCOLORSTATIC: {
      const auto color = self->colors_.find(GetDlgCtrlID(reinterpret_cast<HWND>(lparam)));
      if (color == self->colors_.end()) return FALSE;
      const auto dc = reinterpret_cast<HDC>(wparam);
      ::SetTextColor(dc, color->second);
      // The text goes over whatever the page painted (the tab's body under visual styles).
      SetBkMode(dc, TRANSPARENT);
      return reinterpret_cast<INT_PTR>(GetStockObject(NULL_BRUSH));
    }
    default:
      return FALSE;
  }
}

}  // namespace tarnwick
