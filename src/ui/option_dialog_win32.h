#pragma once
// The base of the option dialogs: a modal dialog made from a DIALOGEX template
// (DS_SHELLFONT, "MS Shell Dlg", laid out in dialog units, so it scales with the
// DPI by itself) whose window class carries the dialog's own name, placed over
// the main window by the program's dialog rule.
//
// How a dialog is built on it (the IP monitor, the method editor and the wizard
// reuse the same pieces):
//  - the template names the class (CLASS "TfrmKX..."); OK is IDOK (DEFPUSHBUTTON),
//    Cancel is IDCANCEL, so Enter, Escape and the close box need nothing more;
//  - derive, pass the class name and template id, and implement FormCreate (fill
//    the controls from the platform-free form, option_fields.h) and OkClick
//    (read the form, apply it, Refuse() a refusal, else save and Close(IDOK));
//    a FormFields table binds the form's texts and ticks to their controls, so
//    that filling and reading cannot drift apart;
//    OnCommand sees every control's notifications, those on tab pages included;
//  - tab pages: a tab control with WS_CLIPSIBLINGS in the template, one
//    template per page, pages_.Create(...) in FormCreate (tab_pages_win32.h);
//    more page sets (a notebook switched by radio buttons, tabs on a page) are
//    TabPages members made in FormCreate and announced with AddPages();
//  - spin + edit: the up-down right after its edit in the template
//    (kSpinStyle in option_dialog_ids.h), AttachSpin() in FormCreate, then the
//    edit's text as usual;
//  - a failed check: Refuse() warns, puts the field's text back, brings its
//    page to the front and focuses it.
#include <windows.h>

#include <initializer_list>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "app/dialog_win32.h"
#include "app/message_box.h"
#include "ui/option_fields.h"
#include "ui/tab_pages_win32.h"

namespace tarnwick {

// The controls of a form's fields: its texts in edits, its flags in check boxes.
template <typename Form>
struct TextField {
  int id;
  std::string Form::*field;
};
template <typename Form>
struct CheckField {
  int id;
  bool Form::*field;
};
template <typename Form>
struct FormFields {
  std::span<const TextField<Form>> texts;
  std::span<const CheckField<Form>> checks;
};

class OptionDialog : public Dialog {
 public:
  // Shows the dialog modally over `owner` (the main window; null: centred on
  // the screen) and returns once it is gone: IDOK after a confirmed OK, else
  // IDCANCEL. Throws Error when it cannot be shown.
  INT_PTR ShowModal(HWND owner);

  HWND hwnd() const { return hwnd_; }
  // A control of the dialog or of one of its pages.
  HWND Item(int id) const;
  // The controls Tab visits, in order: top to bottom, the tab strip before its
  // shown page, a radio group once (at its ticked button).
  std::vector<HWND> TabStops() const;

 protected:
  OptionDialog(const char* class_name, int template_id)
      : class_name_(class_name), template_id_(template_id) {}

  // WM_INITDIALOG: fill the controls. The dialog is placed afterwards, so it
  // may change its size here.
  virtual void FormCreate() = 0;
  // Where the dialog opens: over its owner by the dialog rule (centred on the
  // screen without one).
  virtual void Place(HWND owner);
  virtual void OkClick() = 0;
  virtual void CancelClick() { Close(IDCANCEL); }
  // Notifications of the other controls (BN_CLICKED, EN_CHANGE, ...).
  virtual void OnCommand(int /*id*/, int /*code*/) {}
  // Any other message; return TRUE when handled (the dialog procedure's rules).
  virtual INT_PTR OnMessage(UINT /*message*/, WPARAM /*wparam*/, LPARAM /*lparam*/) {
    return FALSE;
  }

  void Close(INT_PTR result);

  template <typename Form>
  void ShowForm(const Form& form, const FormFields<Form>& fields) {
    for (const TextField<Form>& text : fields.texts) SetText(text.id, form.*text.field);
    for (const CheckField<Form>& check : fields.checks) SetChecked(check.id, form.*check.field);
  }
  template <typename Form>
  void ReadForm(Form& form, const FormFields<Form>& fields) const {
    for (const TextField<Form>& text : fields.texts) form.*text.field = Text(text.id);
    for (const CheckField<Form>& check : fields.checks) form.*check.field = Checked(check.id);
  }

  std::string Text(int id) const;
  void SetText(int id, const std::string& text);
  bool Checked(int id) const;
  void SetChecked(int id, bool checked);
  void Enable(std::initializer_list<int> ids, bool enabled);
  void Show(std::initializer_list<int> ids, bool visible);
  // A hint shown while the mouse rests on control `id`.
  void AddHint(int id, const char* text);
  // Sets the range of the up-down `updown_id`.
  void AttachSpin(int updown_id, SpinRange range);
  // The dialog's top-left corner on the screen.
  ScreenPoint TopLeft() const;
  // Moves the focus as Tab would to `control`.
  void FocusControl(HWND control);

  // A failed check: the warning (centred on the screen unless `at`), then the
  // field `id` gets `reset_text` back, its tab comes to the front and it takes
  // the focus (a notebook's page stays as the user chose it).
  void Refuse(const std::string& message, int id, const std::optional<std::string>& reset_text,
              std::optional<ScreenPoint> at = std::nullopt);

  // A page set besides pages_, for Item(), the tab order and Refuse().
  void AddPages(TabPages& pages) { page_sets_.push_back(&pages); }
  // A page of any of the dialog's page sets.
  bool IsPage(HWND window) const;

  TabPages pages_;

 private:
  INT_PTR HandleMessage(UINT message, WPARAM wparam, LPARAM lparam) override;
  bool FollowsDpiItself() const override { return false; }
  void InitDialog();
  void MoveFocus(bool backwards);

  const char* class_name_;
  int template_id_;
  HWND owner_ = nullptr;
  HWND hints_ = nullptr;  // the tooltip window; goes with the dialog
  std::vector<TabPages*> page_sets_{&pages_};
};

}  // namespace tarnwick
