#include "controls/ComboBoxExVell.h"

#include <commctrl.h>
#include <windowsx.h>

#include <algorithm>

#include "platform/CodePage.h"
#include "platform/Exception.h"
#include "platform/ScopeExit.h"
#include "support/Text.h"
#include "toolkit/Accessibility.h"
#include "toolkit/Application.h"
#include "toolkit/Form.h"
#include "toolkit/ComboBoxMessages.h"

namespace {

// The characters that Ctrl+C, Ctrl+V and Ctrl+X type: copy, paste and cut pass the digits-only
// filter.
constexpr unsigned char kCopyChar = 0x03, kPasteChar = 0x16, kCutChar = 0x18;

// The 1-based byte position of `part` in `text`, 0 when absent; a match that would begin
// on the second byte of a double-byte character does not count.
size_t FindWhole(const std::string& text, const std::string& part) {
  for (size_t i = 0; i + part.size() <= text.size(); i += platform::CharacterLength(text, i))
    if (text.compare(i, part.size(), part) == 0) return i + 1;
  return 0;
}

}  // namespace

TCustomComboBoxExVell::TCustomComboBoxExVell(tk::WinControl* parent, std::string name)
    : tk::WinControl(parent, std::move(name)),
      FColor(GetSysColor(COLOR_WINDOW)),
      FFontColor(GetSysColor(COLOR_WINDOWTEXT)) {
  SetBounds(0, 0, 145, 25);
  SetTabStop(true);
}

TCustomComboBoxExVell::~TCustomComboBoxExVell() {
  // Destroying the control keeps nothing of its window.
  FDestroying = true;
  DestroyHandle();
  if (FBrush) DeleteObject(FBrush);
}

// ---- Properties ----

int TCustomComboBoxExVell::ItemIndex() { return tk::cb::GetCurSel(Handle()); }

void TCustomComboBoxExVell::SetItemIndex(int index) {
  if (ItemIndex() != index) FItems.Select(index);
}

bool TCustomComboBoxExVell::ListDropped() { return tk::cb::GetDroppedState(Handle()); }

void TCustomComboBoxExVell::SetListDropped(bool dropped) {
  tk::cb::ShowDropDown(Handle(), dropped);
  InvalidateRect(handle_, nullptr, TRUE);
}

void TCustomComboBoxExVell::SetStyle(TComboBoxStyle style) {
  if (style == FStyle) return;
  FStyle = style;
  FFixedHeight = style != csSimple;
  RecreateWnd();
}

int TCustomComboBoxExVell::ItemHeight() {
  if (FStyle == csOwnerDrawFixed || FStyle == csOwnerDrawVariable) return FItemHeight;
  if (!HandleAllocated()) return 0;
  return tk::cb::GetItemHeight(handle_, 0);
}

void TCustomComboBoxExVell::SetItemHeight(int height) {
  if (height <= 0) return;
  FItemHeight = height;
  RecreateWnd();
}

void TCustomComboBoxExVell::SetMaxLength(int length) {
  length = std::max(length, 0);
  if (length == FMaxLength) return;
  FMaxLength = length;
  if (HandleAllocated()) tk::cb::LimitText(handle_, length);
}

void TCustomComboBoxExVell::SetSorted(bool sorted) {
  if (sorted == FSorted) return;
  FSorted = sorted;
  RecreateWnd();
}

void TCustomComboBoxExVell::SetColor(COLORREF color) {
  FParentColor = false;
  TakeColor(color);
}

void TCustomComboBoxExVell::TakeColor(COLORREF color) {
  FColor = color;
  if (FBrush) DeleteObject(FBrush);
  FBrush = nullptr;
  if (HandleAllocated()) InvalidateRect(handle_, nullptr, TRUE);
}

void TCustomComboBoxExVell::SetParentColor(bool on) {
  FParentColor = on;
  if (on && HandleAllocated()) TakeColor(ParentBackgroundColour());
}

void TCustomComboBoxExVell::SetFontColor(COLORREF color) {
  FFontColor = color;
  if (HandleAllocated()) InvalidateRect(handle_, nullptr, TRUE);
}

void TCustomComboBoxExVell::SetCtl3D(bool on) {
  if (on == FCtl3D) return;
  FCtl3D = on;
  if (HandleAllocated()) SendMessageW(handle_, tk::CM_CTL3DCHANGED, 0, 0);
}

HBRUSH TCustomComboBoxExVell::Brush() {
  if (!FBrush) FBrush = CreateSolidBrush(FColor);
  return FBrush;
}

HFONT TCustomComboBoxExVell::FontHandle() {
  return reinterpret_cast<HFONT>(SendMessageW(Handle(), WM_GETFONT, 0, 0));
}

bool TCustomComboBoxExVell::HasFocus() const {
  if (!handle_) return false;
  HWND focus = GetFocus();
  if (!FEditWindow && !FListWindow) return focus == handle_;  // a list without parts
  return focus && (focus == FEditWindow || focus == FListWindow);
}

void TCustomComboBoxExVell::SetFocus() {
  HWND window = Handle();
  if (!HasFocus()) ::SetFocus(FEditWindow ? FEditWindow : window);
}

// ---- Window creation and destruction ----

void TCustomComboBoxExVell::GetCreateParams(CreateParams& params) {
  tk::WinControl::GetCreateParams(params);
  params.baseClass = "COMBOBOX";
  params.accessibleRole = ROLE_SYSTEM_COMBOBOX;
  params.className = ClassName();
  static const DWORD styleBits[] = {CBS_DROPDOWN, CBS_SIMPLE, CBS_DROPDOWNLIST,
                                    CBS_DROPDOWNLIST | CBS_OWNERDRAWFIXED,
                                    CBS_DROPDOWNLIST | CBS_OWNERDRAWVARIABLE};
  // No CBS_AUTOHSCROLL: the edit part takes only text that fits its visible width.
  params.style |= WS_VSCROLL | CBS_HASSTRINGS | styleBits[FStyle];
  if (FSorted) params.style |= CBS_SORT;
}

void TCustomComboBoxExVell::AfterCreate() {
  tk::cb::LimitText(handle_, FMaxLength);
  FItems.RestoreInNewWindow();
  FEditWindow = FListWindow = nullptr;
  if (FStyle == csDropDown || FStyle == csSimple) {
    for (HWND part = GetWindow(PartsParentWindow(), GW_CHILD); part;
         part = GetWindow(part, GW_HWNDNEXT)) {
      wchar_t kind[16] = L"";
      GetClassNameW(part, kind, sizeof kind / sizeof kind[0]);
      if (lstrcmpiW(kind, L"Edit") == 0)
        Subclass(FEditWindow = part, FEditProc);
      else if (FStyle == csSimple)
        Subclass(FListWindow = part, FListProc);
    }
  }
  if (FEditWindow) SendMessageW(FEditWindow, EM_SETMARGINS, EC_LEFTMARGIN | EC_RIGHTMARGIN, 0);
  if (FParentColor) TakeColor(ParentBackgroundColour());
  FitHeights();
}

// The closed box is as high as the control, and owner-drawn rows as high as ItemHeight, at
// the form's dpi.
void TCustomComboBoxExVell::FitHeights() {
  if (FStyle == csOwnerDrawFixed) tk::cb::SetItemHeight(handle_, 0, Scaled(FItemHeight));
  if (FFixedHeight) tk::cb::FitClosedHeight(handle_, Scaled(Height()));
}

void TCustomComboBoxExVell::DpiChanged() {
  tk::WinControl::DpiChanged();
  if (HandleAllocated()) FitHeights();
}

void TCustomComboBoxExVell::Subclass(HWND part, WNDPROC& previous) {
  tk::BindWindow(part, &FParts);
  previous = reinterpret_cast<WNDPROC>(
      SetWindowLongPtrW(part, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(PartProc)));
}

void TCustomComboBoxExVell::BeforeDestroy() {
  if (!FDestroying) FItems.KeepForNewWindow();
}

// ---- The parts ----

LRESULT CALLBACK TCustomComboBoxExVell::PartProc(HWND window, UINT message, WPARAM wParam,
                                                 LPARAM lParam) {
  auto* parts = dynamic_cast<Parts*>(tk::WindowTargetOf(window));
  if (!parts) return DefWindowProcW(window, message, wParam, lParam);
  TCustomComboBoxExVell* control = &parts->control;
  WNDPROC previous = window == control->FEditWindow ? control->FEditProc : control->FListProc;
  if (message == WM_NCDESTROY) {
    tk::UnbindWindow(window);
    SetWindowLongPtrW(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(previous));
    if (window == control->FEditWindow) control->FEditWindow = nullptr;
    if (window == control->FListWindow) control->FListWindow = nullptr;
    return CallWindowProcW(previous, window, message, wParam, lParam);
  }
  // A failure is shown, the message is done with, and the control stays usable.
  try {
    if (window == control->FEditWindow) return control->EditProc(message, wParam, lParam);
    return control->PartWindowProc(message, wParam, lParam, window, previous);
  } catch (...) {
    tk::Application::Instance().HandleException(std::current_exception());
    return 0;
  }
}

LRESULT TCustomComboBoxExVell::EditProc(UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_SYSCOMMAND) return WndProc(message, wParam, lParam);
  // The edit part has the focus, so a screen reader reads it first: it bears the box's name,
  // which Windows gives it and Wine does not.
  if (message == WM_GETOBJECT && LabelWindow()) {
    tk::AccessibleLook look{ROLE_SYSTEM_TEXT, LabelWindow()};
    if (LRESULT object = tk::AnswerAccessibleObject(FEditWindow, wParam, lParam, look))
      return object;
  }
  if (message >= WM_KEYFIRST && message <= WM_KEYLAST) {
    MSG key{};
    key.hwnd = FEditWindow;
    key.message = message;
    key.wParam = wParam;
    key.lParam = lParam;
    tk::Form* form = ParentForm();
    if (form && form->WantChildKey(*this, key)) return 0;
  }
  LRESULT result = PartWindowProc(message, wParam, lParam, FEditWindow, FEditProc);
  // The edit part resets its margins with every new font.
  if (message == WM_SETFONT && FEditWindow)
    SendMessageW(FEditWindow, EM_SETMARGINS, EC_LEFTMARGIN | EC_RIGHTMARGIN, 0);
  if ((message == WM_LBUTTONDOWN || message == WM_LBUTTONDBLCLK) && DragMode() == tk::dmAutomatic &&
      FEditWindow) {
    // The press has focused the edit and placed its caret; a release ends the edit's own
    // tracking, so that moving the pointer drags the control instead of selecting text.
    POINT at;
    GetCursorPos(&at);
    ScreenToClient(handle_, &at);
    SendMessageW(FEditWindow, WM_LBUTTONUP, 0, MAKELPARAM(at.x, at.y));
    BeginDrag(false);
  }
  return result;
}

LRESULT TCustomComboBoxExVell::PartWindowProc(UINT message, WPARAM wParam, LPARAM lParam, HWND part,
                                              WNDPROC previous) {
  PartMessage m{part, previous, message, wParam, lParam};
  switch (message) {
    case WM_SETFOCUS:
      return PartGetsFocus(m);
    case WM_KILLFOCUS:
      SetListDropped(false);
      FEnterWhileDropped = FCancelRestored = false;
      if (ReceivingFocus()) return 0;
      return m.PassOn();
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN:
    case WM_KEYUP:
    case WM_SYSKEYUP:
    case WM_CHAR:
      return PartKey(m);
    case WM_GETDLGCODE:
      if (ListDropped()) return DLGC_WANTALLKEYS;
      return m.PassOn();
    case WM_LBUTTONDBLCLK: {
      LRESULT result = m.PassOn();
      if (OnDblClick) OnDblClick(*this);
      return result;
    }
    case WM_MOUSEMOVE:
      tk::Application::Instance().HintMouseMessage(*this);
      return m.PassOn();
    case tk::CN_KEYDOWN:
    case tk::CN_CHAR:
    case tk::CN_SYSKEYDOWN:
    case tk::CN_SYSCHAR:
      return WndProc(message, wParam, lParam);
  }
  // WM_RBUTTONUP among them: the edit part's own context menu, not the control's.
  return m.PassOn();
}

LRESULT TCustomComboBoxExVell::PartGetsFocus(const PartMessage& m) {
  FEnterWhileDropped = FCancelRestored = false;
  if (!FormTakesFocus()) return 0;
  LRESULT result = m.PassOn();
  // Typing replaces the shown value when the focus comes from another control of the same
  // window, but not when the window is merely activated again.
  if (m.part == FEditWindow && tk::FocusFromSameWindow(handle_, reinterpret_cast<HWND>(m.wParam)))
    SendMessageW(FEditWindow, EM_SETSEL, 0, -1);
  return result;
}

// A key in a part goes to the control's handlers first; one that they set to 0 goes no
// further, any other reaches the part as they left it. The list part's key-downs are the
// list's alone.
LRESULT TCustomComboBoxExVell::PartKey(PartMessage& m) {
  switch (m.message) {
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN: {
      WORD key = static_cast<WORD>(m.wParam);
      CloseListForCommand(key);
      if (key == VK_RETURN && ListDropped()) FEnterWhileDropped = true;
      if (m.part != FListWindow) {
        if (DoKeyDown(key, tk::KeyboardShiftState())) return 0;
        m.wParam = key;
      }
      break;
    }
    case WM_KEYUP:
    case WM_SYSKEYUP: {
      WORD key = static_cast<WORD>(m.wParam);
      if (DoKeyUp(key, tk::KeyboardShiftState())) return 0;
      m.wParam = key;
      break;
    }
    case WM_CHAR:
      if (tk::PressTypedChar(m.wParam, [this](char& key) { return TypedChar(key); })) return 0;
      break;
  }
  return m.PassOn();
}

// A function key other than F4 (the list's own key) is a command, never a step in the list:
// an open list closes first as Esc closes it, so that the command sees what the box showed
// before the list opened rather than the row under the pointer.
void TCustomComboBoxExVell::CloseListForCommand(WORD key) {
  if (key >= VK_F1 && key <= VK_F24 && key != VK_F4 && ListDropped()) SetListDropped(false);
}

bool TCustomComboBoxExVell::TypedChar(char& key) {
  if (DoKeyPress(key)) return true;
  if ((key == VK_RETURN || key == VK_ESCAPE) && ListDropped()) {
    SetListDropped(false);
    return true;
  }
  auto byte = static_cast<unsigned char>(key);
  // The second byte of a double-byte character is never a letter of its own.
  bool trailByte = FTrailByteNext;
  FTrailByteNext = !trailByte && platform::IsLeadByte(key);
  if (FInNumeric && FStyle != csDropDownList) {
    bool passes = (byte >= '0' && byte <= '9') || byte == kCopyChar || byte == kPasteChar ||
                  byte == kCutChar || byte == VK_BACK;
    if (!passes) key = 0;
  }
  if (FInUpper && !trailByte && key >= 'a' && key <= 'z') key = static_cast<char>(key - 32);
  return false;
}

// ---- The control's own window ----

LRESULT TCustomComboBoxExVell::KeyNotice(UINT notice, MSG& msg) {
  // The control's own window is asked for its dialog code: it claims the arrows, and Enter
  // and Esc while the list is open. The handlers run when the key reaches a part.
  if ((notice == tk::CN_KEYDOWN || notice == tk::CN_SYSKEYDOWN) && DialogKeyStep(msg, handle_))
    return 1;
  return 0;
}

LRESULT TCustomComboBoxExVell::WndProc(UINT message, WPARAM wParam, LPARAM lParam) {
  if (std::optional<LRESULT> result = KeyMessage(message, wParam, lParam)) return *result;
  if (std::optional<LRESULT> result = PaintMessage(message, wParam, lParam)) return *result;
  if (std::optional<LRESULT> result = MouseMessage(message, wParam, lParam)) return *result;
  if (std::optional<LRESULT> result = PlatformMessage(message, wParam, lParam)) return *result;
  if (std::optional<LRESULT> result = ToolkitNotice(message, wParam, lParam)) return *result;
  return tk::WinControl::WndProc(message, wParam, lParam);
}

// Without an edit part (a selection-only box) the keys come to this window: the control's
// handlers first, then the platform with the key as they left it.
std::optional<LRESULT> TCustomComboBoxExVell::KeyMessage(UINT message, WPARAM wParam,
                                                         LPARAM lParam) {
  if (message < WM_KEYFIRST || message > WM_KEYLAST) return std::nullopt;
  if (FStyle == csDropDownList && LOWORD(wParam) == VK_RETURN && ListDropped())
    FEnterWhileDropped = true;
  switch (message) {
    case WM_CHAR:
      if (tk::PressTypedChar(wParam, [this](char& key) { return TypedChar(key); })) return 0;
      return DefaultProc(message, wParam, lParam);
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN: {
      WORD key = static_cast<WORD>(wParam);
      CloseListForCommand(key);
      if (DoKeyDown(key, tk::KeyboardShiftState())) return 0;
      return DefaultProc(message, key, lParam);
    }
    case WM_KEYUP:
    case WM_SYSKEYUP: {
      WORD key = static_cast<WORD>(wParam);
      if (DoKeyUp(key, tk::KeyboardShiftState())) return 0;
      return DefaultProc(message, key, lParam);
    }
  }
  return std::nullopt;
}

std::optional<LRESULT> TCustomComboBoxExVell::PaintMessage(UINT message, WPARAM wParam,
                                                           LPARAM lParam) {
  switch (message) {
    case WM_CTLCOLORMSGBOX:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORLISTBOX:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLORDLG:
    case WM_CTLCOLORSCROLLBAR:
    case WM_CTLCOLORSTATIC: {
      HDC dc = reinterpret_cast<HDC>(wParam);
      SetTextColor(dc, FFontColor);
      SetBkColor(dc, FColor);
      return reinterpret_cast<LRESULT>(Brush());
    }
    case WM_PAINT:
      Paint();
      return 0;
    case WM_ERASEBKGND:
      if (FStyle == csSimple) {
        RECT area;
        GetClientRect(handle_, &area);
        HBRUSH brush = CreateSolidBrush(ParentBackgroundColour());
        ::FillRect(reinterpret_cast<HDC>(wParam), &area, brush);
        DeleteObject(brush);
        return 1;
      }
      return DefaultProc(message, wParam, lParam);
  }
  return std::nullopt;
}

std::optional<LRESULT> TCustomComboBoxExVell::MouseMessage(UINT message, WPARAM wParam,
                                                           LPARAM lParam) {
  switch (message) {
    case WM_LBUTTONDOWN: {
      // A selection-only box drags from anywhere left of its arrow button; the platform does
      // not see that press, so the list does not open.
      if (DragMode() == tk::dmAutomatic && FStyle == csDropDownList && !Dragging() &&
          GET_X_LPARAM(lParam) < Scaled(Width()) - GetSystemMetrics(SM_CXHSCROLL)) {
        SetFocus();
        BeginDrag(false);
        return 0;
      }
      LRESULT result = MousePress(message, wParam, lParam);
      tk::Form* form = ParentForm();
      if (GetCapture() == handle_ && form && form->ActiveControl() != this) ReleaseCapture();
      return result;
    }
    case WM_LBUTTONDBLCLK:
      // Drags begin only where the control says so above, never on the arrow button.
      return MousePress(message, wParam, lParam);
  }
  return std::nullopt;
}

std::optional<LRESULT> TCustomComboBoxExVell::PlatformMessage(UINT message, WPARAM wParam,
                                                              LPARAM lParam) {
  switch (message) {
    case WM_SIZE:
      // The temporary height that sizes the drop-down list is not the control's height.
      if (FAdjustingDropDown) return DefaultProc(message, wParam, lParam);
      break;
    case WM_CREATE: {
      LRESULT result = DefaultProc(message, wParam, lParam);
      if (!HeldText().empty()) SetWindowTextW(handle_, platform::AnsiToWide(HeldText()).c_str());
      return result;
    }
    case WM_DRAWITEM:
    case WM_MEASUREITEM:
    case WM_DELETEITEM:
      return DefaultProc(message, wParam, lParam);
    case WM_GETDLGCODE: {
      LRESULT code = DefaultProc(message, wParam, lParam);
      if (ListDropped()) code |= DLGC_WANTALLKEYS;
      return code;
    }
  }
  return std::nullopt;
}

std::optional<LRESULT> TCustomComboBoxExVell::ToolkitNotice(UINT message, WPARAM wParam,
                                                            LPARAM lParam) {
  switch (message) {
    case tk::CM_PARENTCOLORCHANGED:
      if (FParentColor) TakeColor(ParentBackgroundColour());
      return 0;
    case tk::CM_CTL3DCHANGED:
      RecreateWnd();
      return 0;
    case CM_APPLYSPLITCHAR:
      ApplySplitChar();
      return 0;
    case tk::CM_CANCELMODE:
      if (reinterpret_cast<tk::WinControl*>(lParam) != this) tk::cb::ShowDropDown(handle_, false);
      return 0;
    case tk::CN_COMMAND:
      ComboNotify(HIWORD(wParam));
      return 0;
    case tk::CN_DRAWITEM:
      DrawItem(*reinterpret_cast<DRAWITEMSTRUCT*>(lParam));
      return TRUE;
    case tk::CN_MEASUREITEM: {
      auto* measure = reinterpret_cast<MEASUREITEMSTRUCT*>(lParam);
      int height = FItemHeight;
      if (FStyle == csOwnerDrawVariable) MeasureListItem(static_cast<int>(measure->itemID), height);
      measure->itemHeight = static_cast<UINT>(Scaled(height));
      return TRUE;
    }
  }
  return std::nullopt;
}

// ---- Notifications and the drop-down cycle ----

void TCustomComboBoxExVell::ComboNotify(WORD code) {
  switch (code) {
    case CBN_SELCHANGE:
      SetText(FItems.Get(ItemIndex()));
      if (OnClick) OnClick(*this);
      NotifyChange();
      break;
    case CBN_DBLCLK:
      if (OnDblClick) OnDblClick(*this);
      break;
    case CBN_SETFOCUS:
      FEnterWhileDropped = FCancelRestored = false;
      FFocusInside = FFocusMoved = true;
      FImeFocus.Enter(FEditWindow ? FEditWindow : handle_, FImeMode);
      break;
    case CBN_KILLFOCUS:
      SetListDropped(false);
      FEnterWhileDropped = FCancelRestored = false;
      FFocusInside = false;
      FFocusMoved = true;
      FImeFocus.Leave();
      break;
    case CBN_EDITCHANGE:
      NotifyChange();
      break;
    case CBN_DROPDOWN:
      FFocusMoved = false;
      FEnterWhileDropped = FCancelRestored = false;
      NotifyDropDown();
      FitDropDown();
      // A handler that moved the focus away makes the list close again.
      if (FFocusMoved) {
        PostMessageW(handle_, WM_CANCELMODE, 0, 0);
        if (!FFocusInside) PostMessageW(handle_, CB_SHOWDROPDOWN, FALSE, 0);
      }
      FDropDownText = Text();
      FDropDownIndex = ItemIndex();
      break;
    case CBN_SELENDCANCEL:
      // Esc, Enter, a press elsewhere and the focus leaving all close the list this way;
      // only a pick with the mouse does not.
      if (!ListDropped()) break;
      if (FEnterWhileDropped)
        TakeHighlightedItem();
      else
        RestoreDropDownState();
      break;
  }
}

// The open list moves its selection with the resting pointer and says nothing, so the
// selection may name an item the edit part does not show. Enter takes that item.
void TCustomComboBoxExVell::TakeHighlightedItem() {
  int index = ItemIndex();
  if (FStyle != csDropDown || index < 0) return;
  SetText(FItems.Get(index));
  NotifyChange();
}

// A cancelled list leaves the box as it was when the list opened: its text, and its
// selection too, which the pointer may have moved.
void TCustomComboBoxExVell::RestoreDropDownState() {
  FCancelRestored = true;
  if (FStyle == csDropDown || FStyle == csDropDownList) {
    SetItemIndex(FDropDownIndex);
    SetText(FDropDownText);
  }
  NotifyChange();
}

void TCustomComboBoxExVell::NotifyDropDown() {
  if (OnDropDown) OnDropDown(*this);
}

void TCustomComboBoxExVell::FitDropDown() {
  int rows = std::max(1, std::min(FItems.Count(), FDropDownCount));
  {
    // The platform takes the height of the open list from the height of the window.
    FAdjustingDropDown = true;
    platform::ScopeExit adjusted([this] { FAdjustingDropDown = false; });
    int rowHeight = FStyle == csOwnerDrawFixed || FStyle == csOwnerDrawVariable
                        ? Scaled(FItemHeight)
                        : ItemHeight();
    SetWindowPos(handle_, nullptr, 0, 0, Scaled(Width()), rowHeight * rows + Scaled(Height()) + 2,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOREDRAW | SWP_NOACTIVATE | SWP_HIDEWINDOW);
  }
  // Common controls 6 size the open list by its count of visible rows instead.
  tk::cb::SetMinVisible(handle_, rows);
  SetWindowPos(
      handle_, nullptr, 0, 0, 0, 0,
      SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_NOREDRAW | SWP_NOACTIVATE | SWP_SHOWWINDOW);
  FCanvas.Attach(GetDC(handle_), handle_);
  platform::ScopeExit released([this] { FCanvas.Release(); });
  FCanvas.SetFont(FontHandle(), FFontColor);
  int width = 0;
  for (int i = 0, count = FItems.Count(); i < count; ++i)
    width = std::max(width, FCanvas.TextWidth(FItems.Get(i)));
  width += Scaled(6);
  if (FItems.Count() > FDropDownCount) width += GetSystemMetrics(SM_CXVSCROLL);
  tk::cb::SetDroppedWidth(handle_, width);
}

void TCustomComboBoxExVell::NotifyChange() {
  SendMessageW(handle_, CM_APPLYSPLITCHAR, 0, 0);
  if (OnChange) OnChange(*this);
  // Once more after the platform has finished its own update of the edit part.
  PostMessageW(handle_, CM_APPLYSPLITCHAR, 0, 0);
}

void TCustomComboBoxExVell::ApplySplitChar() {
  if (FSplitChar.empty()) return;
  if (FStyle == csDropDownList && ListDropped() && FCancelRestored) {
    SetItemIndex(FDropDownIndex);
    SetText(FDropDownText);
  }
  int index = ItemIndex();
  size_t at = FindWhole(FItems.Get(index), FSplitChar);
  if (at == 0) return;
  std::string shown = Text().substr(0, at - 1);
  std::string item = FItems.Get(index).substr(0, at - 1);
  SetText(AsciiUpper(shown) == AsciiUpper(item) ? item : shown);
}

// ---- Painting ----

void TCustomComboBoxExVell::Paint() {
  DefaultProc(WM_PAINT, 0, 0);
  if (FBorderStyle != tk::bsNone) return;
  // Over the sunken edge: two rings in the control's colour, then the bottom row and the
  // right column in the parent's background, a flat field.
  tk::Canvas canvas;
  canvas.Attach(GetDC(handle_), handle_);
  RECT area;
  GetClientRect(handle_, &area);
  canvas.SetBrushColour(FColor);
  canvas.FrameRect(area);
  RECT inner = area;
  InflateRect(&inner, -1, -1);
  canvas.FrameRect(inner);
  canvas.SetPenColour(ParentBackgroundColour());
  canvas.Polyline({{area.left, area.bottom - 1}, {area.right, area.bottom - 1}});
  canvas.Polyline({{area.right - 1, area.top}, {area.right - 1, area.bottom}});
}

void TCustomComboBoxExVell::DrawItem(const DRAWITEMSTRUCT& item) {
  auto state = static_cast<TOwnerDrawState>(LOWORD(item.itemState));
  int index = static_cast<int>(item.itemID);
  FCanvas.Attach(item.hDC);
  platform::ScopeExit released([this] { FCanvas.Release(); });
  FCanvas.SetFont(FontHandle(), FFontColor);
  FCanvas.SetBrushColour(FColor);
  if (index >= 0 && (state & odSelected)) {
    FCanvas.SetBrushColour(GetSysColor(COLOR_HIGHLIGHT));
    FCanvas.SetFontColour(GetSysColor(COLOR_HIGHLIGHTTEXT));
  }
  if (index >= 0)
    DrawListItem(index, item.rcItem, state);
  else
    FCanvas.FillRect(item.rcItem);
  if (state & odFocused) DrawFocusRect(item.hDC, &item.rcItem);
}

void TCustomComboBoxExVell::DrawListItem(int index, RECT rect, TOwnerDrawState state) {
  FCanvas.SetRightToLeft(GetWindowLongW(handle_, GWL_EXSTYLE) & WS_EX_RTLREADING);
  if (OnDrawItem) {
    OnDrawItem(*this, index, rect, state);
    return;
  }
  FCanvas.FillRect(rect);
  FCanvas.TextOut(rect.left + 2, rect.top, FItems.Get(index));
}

void TCustomComboBoxExVell::MeasureListItem(int index, int& height) {
  if (OnMeasureItem) OnMeasureItem(*this, index, height);
}
