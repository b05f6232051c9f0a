#include "toolkit/ComboBoxItems.h"

#include "platform/CodePage.h"
#include "platform/Exception.h"
#include "platform/ScopeExit.h"
#include "toolkit/ComboBoxMessages.h"

namespace tk {

namespace {

const char* const kCannotInsert = "行を挿入できません";

}  // namespace

int ComboBoxItems::Count() const { return cb::GetCount(Box()); }

// The "A" form of the item text messages (CB_GETLBTEXT, LB_GETTEXT) overruns its buffer or
// crashes under Wine on items of some hundred characters and more. The list's own class
// procedure is asked in UTF-16 instead, past any subclass of the list, its length first.
std::string ComboBoxItems::Get(int index) const {
  HWND list = cb::ListWindow(Box());
  auto listProc = reinterpret_cast<WNDPROC>(GetClassLongPtrW(list, GCLP_WNDPROC));
  LRESULT length = CallWindowProcW(listProc, list, LB_GETTEXTLEN, index, 0);
  if (length == LB_ERR) return "";
  std::wstring text(length + 1, L'\0');
  length =
      CallWindowProcW(listProc, list, LB_GETTEXT, index, reinterpret_cast<LPARAM>(text.data()));
  text.resize(length == LB_ERR ? 0 : length);
  return platform::WideToAnsi(text);
}

intptr_t ComboBoxItems::Value(int index) const {
  LRESULT value = cb::GetItemData(Box(), index);
  if (value == CB_ERR) throw platform::ListIndexOutOfRange(index);
  return static_cast<intptr_t>(value);
}

void ComboBoxItems::SetValue(int index, intptr_t value) { cb::SetItemData(Box(), index, value); }

int ComboBoxItems::Add(const std::string& text) {
  int index = cb::AddString(Box(), text);
  if (index < 0) throw platform::OutOfResources(kCannotInsert);
  return index;
}

// Straight to the list window, in UTF-16, under one update: a long list is otherwise
// dominated by the round trips of one message per item through the box.
void ComboBoxItems::AddStrings(const std::vector<std::string>& texts) {
  if (texts.empty()) return;
  HWND list = cb::ListWindow(Box());
  size_t units = 0;
  for (const std::string& text : texts) units += text.size() + 1;
  // A hint; the list may refuse it.
  SendMessageW(list, LB_INITSTORAGE, texts.size(), static_cast<LPARAM>(units * sizeof(wchar_t)));
  BeginUpdate();
  platform::ScopeExit endUpdate([this] { EndUpdate(); });
  for (const std::string& text : texts) {
    std::wstring wide = platform::AnsiToWide(text);
    if (SendMessageW(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(wide.c_str())) < 0)
      throw platform::OutOfResources(kCannotInsert);
  }
}

void ComboBoxItems::Insert(int index, const std::string& text) {
  if (cb::InsertString(Box(), index, text) < 0) throw platform::OutOfResources(kCannotInsert);
}

void ComboBoxItems::Delete(int index) { cb::DeleteString(Box(), index); }

void ComboBoxItems::Clear() {
  HWND box = Box();
  if (!cb::EditWindow(box)) {
    cb::ResetContent(box);
    return;
  }
  // CB_RESETCONTENT empties the edit part too.
  std::string text = box_.Text();
  cb::ResetContent(box);
  box_.SetText(text);
  Redraw(RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW | RDW_ALLCHILDREN);
}

int ComboBoxItems::IndexOf(const std::string& text) const {
  return cb::FindStringExact(Box(), text);
}

void ComboBoxItems::Select(int index) {
  if (index >= Count()) index = -1;
  cb::SetCurSel(Box(), index);
}

void ComboBoxItems::KeepForNewWindow() {
  if (Count() == 0) return;
  auto items = std::make_unique<StringList>();
  items->Assign(*this);
  keptIndex_ = cb::GetCurSel(Box());
  kept_ = std::move(items);
}

void ComboBoxItems::RestoreInNewWindow() {
  if (!kept_) return;
  std::unique_ptr<StringList> items = std::move(kept_);
  Assign(*items);
  if (keptIndex_ != -1) Select(keptIndex_);
}

void ComboBoxItems::SetUpdateState(bool updating) {
  SendMessageW(Box(), WM_SETREDRAW, updating ? 0 : 1, 0);
  if (!updating) Redraw(RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_UPDATENOW | RDW_ALLCHILDREN);
}

void ComboBoxItems::Redraw(UINT flags) const { RedrawWindow(Box(), nullptr, nullptr, flags); }

}  // namespace tk
