#pragma once
// The pages of a tab control in a dialog: one child dialog per page, made from
// its own template (DS_CONTROL | WS_CHILD, DS_SHELLFONT), laid over the tab
// control's display area, one shown at a time. The pages pass their controls'
// WM_COMMAND and WM_NOTIFY on to the dialog, so the dialog handles every control
// alike; control ids are unique across a dialog and its pages.
//
// A page sits just above its tab control in the z-order, so that it paints over
// the tab's body and takes the clicks; the tab control needs WS_CLIPSIBLINGS.
// The dialog's tab order is then not the z-order: OptionDialog orders it tab
// strip first, then the shown page, then the rest (TabStops).
//
// A notebook is the same without the strip: its pages lie over a placeholder
// control (a hidden static) and the code picks the page, as radio buttons do.
// Pages may hold tab controls or notebooks of their own; each page passes its
// controls' messages one level up, so they reach the dialog all the same.
#include <windows.h>

#include <initializer_list>
#include <map>
#include <vector>

namespace tarnwick {

class TabPages {
 public:
  struct PageTemplate {
    int template_id;
    const char* caption;
  };

  TabPages() = default;
  TabPages(const TabPages&) = delete;
  TabPages& operator=(const TabPages&) = delete;

  // Creates the pages over the tab control `tab_id` of `dialog` and shows the
  // first. The pages are the dialog's children and go with it.
  void Create(HWND dialog, int tab_id, std::initializer_list<PageTemplate> pages);
  // The same over the placeholder `area_id`, without a strip (the captions
  // only name the pages).
  void CreateNotebook(HWND dialog, int area_id, std::initializer_list<PageTemplate> pages);

  // Brings page `index` to the front: its tab selected, the page shown, the others hidden.
  void Select(int index);
  int Selected() const;
  int Count() const { return static_cast<int>(pages_.size()); }
  // The tab control, or a notebook's placeholder: the pages' place in the tab order.
  HWND Tab() const { return tab_; }
  bool IsNotebook() const { return notebook_; }
  HWND Page(int index) const;
  bool IsPage(HWND window) const;
  // The page that holds `control`, or -1.
  int PageOf(HWND control) const;

  // The tab control's notifications: a change of tab shows its page. True when handled.
  bool OnNotify(const NMHDR& header);

  // Draws the text of the static `id` on a page in `color`.
  void SetTextColor(int id, COLORREF color) { colors_[id] = color; }

 private:
  static INT_PTR CALLBACK PageProc(HWND page, UINT message, WPARAM wparam, LPARAM lparam);
  void CreatePages(HWND dialog, int anchor_id, std::initializer_list<PageTemplate> pages);
  void FitPages();

  HWND dialog_ = nullptr;
  HWND tab_ = nullptr;
  bool notebook_ = false;
  int selected_ = -1;
  std::vector<HWND> pages_;
  std::map<int, COLORREF> colors_;
};

}  // namespace tarnwick
