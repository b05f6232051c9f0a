#include "toolkit/ComboBox.h"

#include "toolkit/Accessibility.h"
#include "toolkit/ComboBoxMessages.h"

namespace tk {

ComboBox::ComboBox(WinControl* parent, std::string name) : WinControl(parent, std::move(name)) {
  SetTabStop(true);
}

void ComboBox::GetCreateParams(CreateParams& params) {
  WinControl::GetCreateParams(params);
  params.baseClass = "COMBOBOX";
  params.accessibleRole = ROLE_SYSTEM_COMBOBOX;
  params.className = "QuorvelComboBox";
  params.style |= (style_ == ComboBoxStyle::DropDownList ? CBS_DROPDOWNLIST : CBS_DROPDOWN) |
                  CBS_HASSTRINGS | WS_VSCROLL;
}

void ComboBox::AfterCreate() {
  if (style_ == ComboBoxStyle::DropDown) cb::LimitText(handle_, 0);
  FitHeights();
  items_.RestoreInNewWindow();
}

// The window's height includes the open list; the platform sizes the closed box itself, as
// high as its selection field, which the font decides. All at the form's dpi.
void ComboBox::FitHeights() {
  RECT place = WindowRect();
  MoveWindow(handle_, place.left, place.top, place.right - place.left,
             Scaled(Height() + itemHeight_ * dropDownCount_) + 2, FALSE);
  cb::FitClosedHeight(handle_, Scaled(Height()));
}

void ComboBox::DpiChanged() {
  WinControl::DpiChanged();
  if (HandleAllocated()) FitHeights();
}

void ComboBox::BeforeDestroy() { items_.KeepForNewWindow(); }

HWND ComboBox::ListHandle() { return cb::ListWindow(Handle()); }

HWND ComboBox::EditHandle() { return cb::EditWindow(Handle()); }

void ComboBox::SetFocus() {
  if (!Focused()) ::SetFocus(EditHandle() ? EditHandle() : Handle());
}

int ComboBox::ItemIndex() { return cb::GetCurSel(Handle()); }

void ComboBox::SetItemIndex(int index) {
  if (ItemIndex() != index) items_.Select(index);
}

void ComboBox::CommandNotify(WORD code) {
  if ((code == CBN_SELCHANGE || code == CBN_EDITCHANGE) && OnChange) OnChange(*this);
}

LRESULT ComboBox::WndProc(UINT message, WPARAM wParam, LPARAM lParam) {
  // Alt+F4 closes the window of the focused control by the platform's default handling. The
  // combo box does nothing else with it, but Wine's keeps every Alt key press to itself
  // (Windows' passes it on), so the press goes to the default handling directly.
  if (message == WM_SYSKEYDOWN && wParam == VK_F4 && (HIWORD(lParam) & KF_ALTDOWN))
    return DefWindowProcW(handle_, message, wParam, lParam);
  return WinControl::WndProc(message, wParam, lParam);
}

}  // namespace tk
