#include "controls/ComboBoxStrings.h"

#include "controls/ComboBoxExVell.h"
#include "platform/Exception.h"

namespace {

const char* const kCannotInsert = "行を挿入できません";

}  // namespace

LRESULT TComboBoxStrings::Send(UINT message, WPARAM wParam, LPARAM lParam) const {
  return SendMessageA(OwnerCombo.Handle(), message, wParam, lParam);
}

int TComboBoxStrings::Count() const { return static_cast<int>(Send(CB_GETCOUNT, 0, 0)); }

std::string TComboBoxStrings::Get(int index) const { return OwnerCombo.ItemText(index); }

intptr_t TComboBoxStrings::Value(int index) const {
  LRESULT value = Send(CB_GETITEMDATA, index, 0);
  if (value == CB_ERR)
    throw platform::ListIndexError(
        platform::Format("リストのインデックスが範囲を超えています(%d)", index));
  return static_cast<intptr_t>(value);
}

void TComboBoxStrings::SetValue(int index, intptr_t value) {
  Send(CB_SETITEMDATA, index, static_cast<LPARAM>(value));
}

int TComboBoxStrings::Add(const std::string& text) {
  LRESULT index = Send(CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text.c_str()));
  if (index < 0) throw platform::OutOfResources(kCannotInsert);
  return static_cast<int>(index);
}

void TComboBoxStrings::Insert(int index, const std::string& text) {
  if (Send(CB_INSERTSTRING, index, reinterpret_cast<LPARAM>(text.c_str())) < 0)
    throw platform::OutOfResources(kCannotInsert);
}

void TComboBoxStrings::Delete(int index) { Send(CB_DELETESTRING, index, 0); }

void TComboBoxStrings::Clear() {
  // CB_RESETCONTENT empties the edit part too.
  std::string text = OwnerCombo.Text();
  Send(CB_RESETCONTENT, 0, 0);
  OwnerCombo.SetText(text);
  RedrawWindow(OwnerCombo.Handle(), nullptr, nullptr,
               RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW | RDW_ALLCHILDREN);
}

int TComboBoxStrings::IndexOf(const std::string& text) const {
  return static_cast<int>(
      Send(CB_FINDSTRINGEXACT, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(text.c_str())));
}

void TComboBoxStrings::SetUpdateState(bool updating) {
  Send(WM_SETREDRAW, updating ? 0 : 1, 0);
  if (!updating)
    RedrawWindow(OwnerCombo.Handle(), nullptr, nullptr,
                 RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_UPDATENOW | RDW_ALLCHILDREN);
}
