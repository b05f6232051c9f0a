#include "toolkit/Control.h"

#include <algorithm>
#include <windowsx.h>

#include <map>
#include <optional>

#include "platform/CodePage.h"
#include "platform/Exception.h"
#include "platform/ScopeExit.h"
#include "toolkit/Accessibility.h"
#include "toolkit/Application.h"
#include "toolkit/Drag.h"
#include "toolkit/Form.h"

namespace tk {
namespace {

// Window procedures of the platform classes our classes derive from, by class name.
std::map<std::string, WNDPROC>& BaseProcs() {
  static std::map<std::string, WNDPROC> procs;
  return procs;
}

ShiftState MouseShiftState(WPARAM wParam) {
  ShiftState shift = 0;
  if (wParam & MK_SHIFT) shift |= ssShift;
  if (wParam & MK_CONTROL) shift |= ssCtrl;
  if (GetKeyState(VK_MENU) < 0) shift |= ssAlt;
  if (wParam & MK_LBUTTON) shift |= ssLeft;
  if (wParam & MK_RBUTTON) shift |= ssRight;
  if (wParam & MK_MBUTTON) shift |= ssMiddle;
  return shift;
}

}  // namespace

ShiftState KeyboardShiftState() {
  ShiftState shift = 0;
  if (GetKeyState(VK_SHIFT) < 0) shift |= ssShift;
  if (GetKeyState(VK_CONTROL) < 0) shift |= ssCtrl;
  if (GetKeyState(VK_MENU) < 0) shift |= ssAlt;
  return shift;
}

bool FocusFromSameWindow(HWND control, HWND previous) {
  if (!previous || !IsWindow(previous) || previous == control || IsChild(control, previous))
    return false;
  HWND root = GetAncestor(control, GA_ROOT);
  // The form's own window passes the focus on at activation: that is no move between controls.
  return previous != root && GetAncestor(previous, GA_ROOT) == root;
}

bool PressTypedChar(WPARAM& unit, const std::function<bool(char&)>& press) {
  const wchar_t typed = static_cast<wchar_t>(unit);
  const std::string bytes = platform::WideToAnsi({&typed, 1});
  std::string pressed = bytes;
  for (char& byte : pressed)
    if (press(byte)) return true;
  if (pressed != bytes) unit = static_cast<WPARAM>(platform::AnsiToWide(pressed).at(0));
  return false;
}

WinControl::WinControl(WinControl* parent, std::string name)
    : parent_(parent), name_(std::move(name)) {
  if (parent_) parent_->children_.push_back(this);
}

WinControl::~WinControl() {
  drag::Forget(*this);
  Application::Instance().ForgetHintControl(*this);
  DestroyHandle();
  if (parent_) {
    auto& siblings = parent_->children_;
    siblings.erase(std::remove(siblings.begin(), siblings.end(), this), siblings.end());
    for (WinControl* sibling : siblings)
      if (sibling->label_ == this) sibling->label_ = nullptr;
  }
}

Form* WinControl::ParentForm() {
  WinControl* control = this;
  while (control->parent_) control = control->parent_;
  return dynamic_cast<Form*>(control);
}

HWND WinControl::Handle() {
  if (!handle_) {
    if (creating_) throw platform::Exception("Control '" + name_ + "' has no parent window");
    creating_ = true;
    platform::ScopeExit created([this] { creating_ = false; });
    if (parent_) parent_->Handle();
    if (!handle_) CreateWnd();
  }
  return handle_;
}

void WinControl::GetCreateParams(CreateParams& params) {
  params.style = WS_CHILD | WS_CLIPSIBLINGS;
  if (visible_) params.style |= WS_VISIBLE;
  if (tabStop_) params.style |= WS_TABSTOP;
  if (!enabled_) params.style |= WS_DISABLED;
}

WNDPROC WinControl::RegisterClassFor(const CreateParams& params) {
  auto found = BaseProcs().find(params.className);
  if (found != BaseProcs().end()) return found->second;
  HINSTANCE instance = GetModuleHandleW(nullptr);
  WNDCLASSEXW wc{};
  wc.cbSize = sizeof wc;
  if (params.baseClass) {
    if (!GetClassInfoExW(nullptr, platform::AnsiToWide(params.baseClass).c_str(), &wc))
      throw platform::Win32Error("No window class " + std::string(params.baseClass),
                                 GetLastError());
  } else {
    wc.lpfnWndProc = DefWindowProcW;
    wc.hCursor = LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    wc.style = CS_DBLCLKS;
  }
  WNDPROC base = wc.lpfnWndProc;
  wc.cbSize = sizeof wc;
  wc.lpfnWndProc = StaticWndProc;
  wc.hInstance = instance;
  std::wstring className = platform::AnsiToWide(params.className);
  wc.lpszClassName = className.c_str();
  wc.style &= ~CS_GLOBALCLASS;
  if (!RegisterClassExW(&wc))
    throw platform::Win32Error("Cannot register window class " + params.className, GetLastError());
  BaseProcs()[params.className] = base;
  return base;
}

void WinControl::CreateWnd() {
  CreateParams params;
  GetCreateParams(params);
  baseProc_ = RegisterClassFor(params);
  accessibleRole_ = params.accessibleRole;
  HWND parentWindow = parent_ ? parent_->ParentHandleForChildren() : nullptr;
  // Child windows get an id of their own, by which WM_MEASUREITEM names its control.
  static int nextControlId = 100;
  HMENU id = nullptr;
  if (params.style & WS_CHILD) {
    if (!controlId_) controlId_ = nextControlId++;
    id = reinterpret_cast<HMENU>(static_cast<INT_PTR>(controlId_));
  }
  RECT place = WindowRect();
  HWND window = CreateWindowExW(params.exStyle, platform::AnsiToWide(params.className).c_str(),
                                platform::AnsiToWide(text_).c_str(), params.style, place.left,
                                place.top, place.right - place.left, place.bottom - place.top,
                                parentWindow, id, GetModuleHandleW(nullptr), this);
  if (!window) throw platform::Win32Error("Cannot create window " + name_, GetLastError());
  handle_ = window;
  FontNeeded();
  AfterCreate();
  CreateChildren();
}

void WinControl::FontNeeded() {
  if (Form* form = ParentForm(); form && form != this)
    SendMessageW(handle_, WM_SETFONT, reinterpret_cast<WPARAM>(form->FontHandle()), FALSE);
}

void WinControl::SetChildOrder(const std::vector<WinControl*>& order) {
  std::vector<WinControl*> arranged = order;
  for (WinControl* child : children_)
    if (std::find(order.begin(), order.end(), child) == order.end()) arranged.push_back(child);
  children_ = arranged;
}

void WinControl::CreateChildren() {
  for (WinControl* child : children_)
    if (!child->handle_) child->CreateWnd();
}

void WinControl::DestroyHandle() {
  if (!handle_) return;
  for (WinControl* child : children_) child->BeforeDestroy();
  BeforeDestroy();
  text_ = Text();
  for (WinControl* child : children_) child->text_ = child->Text();
  HWND window = handle_;
  DestroyWindow(window);  // WM_NCDESTROY unbinds this control and its children
}

void WinControl::RecreateWnd() {
  if (!handle_) return;
  DestroyHandle();
  Handle();
}

void WinControl::SetBounds(int left, int top, int width, int height) {
  bounds_ = {left, top, left + width, top + height};
  if (handle_) MoveToPlace(true);
}

void WinControl::MoveToPlace(bool repaint) {
  RECT place = WindowRect();
  MoveWindow(handle_, place.left, place.top, place.right - place.left, place.bottom - place.top,
             repaint);
}

int WinControl::Dpi() {
  Form* form = ParentForm();  // a form's own when this is one
  return form ? form->Dpi() : kDesignDpi;
}

RECT WinControl::WindowRect() {
  return {Scaled(bounds_.left), Scaled(bounds_.top), Scaled(bounds_.right), Scaled(bounds_.bottom)};
}

void WinControl::DpiChanged() {
  if (!handle_) return;
  MoveToPlace(false);
  FontNeeded();
  for (WinControl* child : children_) child->DpiChanged();
}

std::string WinControl::Text() const {
  if (!handle_) return text_;
  int length = GetWindowTextLengthW(handle_);
  std::wstring text(length + 1, L'\0');
  length = GetWindowTextW(handle_, text.data(), length + 1);
  text.resize(length > 0 ? length : 0);
  return platform::WideToAnsi(text);
}

void WinControl::SetText(const std::string& text) {
  text_ = text;
  if (handle_) SetWindowTextW(handle_, platform::AnsiToWide(text).c_str());
}

void WinControl::SetEnabled(bool enabled) {
  enabled_ = enabled;
  if (handle_) EnableWindow(handle_, enabled);
}

void WinControl::SetVisible(bool visible) {
  visible_ = visible;
  if (handle_) ShowWindow(handle_, visible ? SW_SHOWNA : SW_HIDE);
}

void WinControl::SetTabStop(bool tabStop) {
  tabStop_ = tabStop;
  if (!handle_) return;
  LONG_PTR style = GetWindowLongPtrW(handle_, GWL_STYLE);
  style = tabStop ? (style | WS_TABSTOP) : (style & ~WS_TABSTOP);
  SetWindowLongPtrW(handle_, GWL_STYLE, style);
}

bool WinControl::Focused() const {
  HWND focus = GetFocus();
  return handle_ && focus && (focus == handle_ || IsChild(handle_, focus));
}

bool WinControl::CanFocus() const {
  for (const WinControl* c = this; c; c = c->parent_)
    if (!c->visible_ || !c->enabled_) return false;
  return true;
}

void WinControl::SetFocus() {
  if (!Focused()) ::SetFocus(Handle());
}

bool WinControl::FormTakesFocus() {
  Form* form = ParentForm();
  return !form || form == this || form->SetFocusedControl(*this);
}

void WinControl::NotifyControls(UINT notice) {
  for (WinControl* child : children_) {
    if (child->handle_) SendMessageW(child->handle_, notice, 0, 0);
    child->NotifyControls(notice);
  }
}

bool WinControl::ShowHint() const {
  return parentShowHint_ && parent_ ? parent_->ShowHint() : showHint_;
}

void WinControl::SetShowHint(bool show) {
  showHint_ = show;
  parentShowHint_ = false;
}

void WinControl::BeginDrag(bool immediate, int threshold) {
  drag::Begin(*this, immediate, threshold);
}

bool WinControl::Dragging() const { return drag::Source() == this; }

void WinControl::EndDrag(bool drop) {
  if (Dragging()) drag::End(drop);
}

WinControl* WinControl::FromHandle(HWND window) {
  WindowTarget* target = window ? WindowTargetOf(window) : nullptr;
  return target ? target->AsControl() : nullptr;
}

WinControl* WinControl::OwnerOf(HWND window) {
  for (; window; window = GetParent(window))
    if (WinControl* control = FromHandle(window)) return control;
  return nullptr;
}

namespace {

// The form's key preview first, then the control's own handler; 0 consumes the key.
template <typename Key, typename Handler, typename... Extra>
bool DispatchKey(WinControl& control, Handler WinControl::*handler, Key& key, Extra... extra) {
  Form* form = control.ParentForm();
  if (form && form != &control && form->KeyPreview() && form->*handler) {
    (form->*handler)(*form, key, extra...);
    if (key == 0) return true;
  }
  if (control.*handler) (control.*handler)(control, key, extra...);
  return key == 0;
}

}  // namespace

bool WinControl::DoKeyDown(WORD& key, ShiftState shift) {
  return DispatchKey(*this, &WinControl::OnKeyDown, key, shift);
}

bool WinControl::DoKeyPress(char& key) { return DispatchKey(*this, &WinControl::OnKeyPress, key); }

bool WinControl::DoKeyUp(WORD& key, ShiftState shift) {
  return DispatchKey(*this, &WinControl::OnKeyUp, key, shift);
}

bool WinControl::DialogKeyStep(MSG& msg, HWND codeWindow) {
  WORD key = static_cast<WORD>(msg.wParam);
  UINT mask = 0;
  switch (key) {
    case VK_TAB:
      mask = DLGC_WANTTAB;
      break;
    case VK_LEFT:
    case VK_RIGHT:
    case VK_UP:
    case VK_DOWN:
      mask = DLGC_WANTARROWS;
      break;
    case VK_RETURN:
    case VK_ESCAPE:
    case VK_EXECUTE:
    case VK_CANCEL:
      mask = DLGC_WANTALLKEYS;
      break;
  }
  if (!mask) return false;
  LRESULT code = SendMessageW(codeWindow, WM_GETDLGCODE, key, reinterpret_cast<LPARAM>(&msg));
  Form* form = ParentForm();
  // DLGC_WANTALLKEYS (also named DLGC_WANTMESSAGE) claims Enter and Esc, never Tab.
  return !(code & mask) && form && form->DialogKey(key, KeyboardShiftState());
}

LRESULT WinControl::KeyNotice(UINT notice, MSG& msg) {
  ShiftState shift = KeyboardShiftState();
  switch (notice) {
    case CN_KEYDOWN:
    case CN_SYSKEYDOWN: {
      if (DialogKeyStep(msg, msg.hwnd)) return 1;
      WORD key = static_cast<WORD>(msg.wParam);
      if (DoKeyDown(key, shift)) return 1;
      msg.wParam = key;
      return 0;
    }
    case CN_CHAR:
      return PressTypedChar(msg.wParam, [this](char& key) { return DoKeyPress(key); }) ? 1 : 0;
    case CN_KEYUP:
    case CN_SYSKEYUP: {
      WORD key = static_cast<WORD>(msg.wParam);
      if (DoKeyUp(key, shift)) return 1;
      msg.wParam = key;
      return 0;
    }
  }
  return 0;
}

COLORREF WinControl::ParentBackgroundColour() {
  HWND parent = handle_ ? GetParent(handle_) : nullptr;
  auto brush = parent ? GetClassLongPtrW(parent, GCLP_HBRBACKGROUND) : 0;
  if (brush == 0) return GetSysColor(COLOR_BTNFACE);
  if (brush <= COLOR_MENUBAR + 1) return GetSysColor(static_cast<int>(brush - 1));
  LOGBRUSH info{};
  GetObjectW(reinterpret_cast<HBRUSH>(brush), sizeof info, &info);
  return info.lbColor;
}

LRESULT WinControl::DefaultProc(UINT message, WPARAM wParam, LPARAM lParam) {
  return CallWindowProcW(baseProc_, handle_, message, wParam, lParam);
}

LRESULT WinControl::MousePress(UINT message, WPARAM wParam, LPARAM lParam) {
  Application::Instance().CancelHint();
  if (message == WM_LBUTTONDOWN || message == WM_RBUTTONDOWN || message == WM_MBUTTONDOWN) {
    // A press elsewhere in the form closes what the focused control has open.
    if (Form* form = ParentForm(); form && form != this) {
      WinControl* focused = form->ActiveControl();
      if (focused && focused != this && focused->handle_)
        SendMessageW(focused->handle_, CM_CANCELMODE, 0, reinterpret_cast<LPARAM>(this));
    }
  }
  if (!OnMouseDown) return DefaultProc(message, wParam, lParam);
  // The press has its platform effect (such as focusing the control) first.
  LRESULT result = DefaultProc(message, wParam, lParam);
  MouseButton button =
      (message == WM_RBUTTONDOWN || message == WM_RBUTTONDBLCLK)   ? MouseButton::Right
      : (message == WM_MBUTTONDOWN || message == WM_MBUTTONDBLCLK) ? MouseButton::Middle
                                                                   : MouseButton::Left;
  ShiftState shift = MouseShiftState(wParam);
  if (message == WM_LBUTTONDBLCLK || message == WM_RBUTTONDBLCLK || message == WM_MBUTTONDBLCLK)
    shift |= ssDouble;
  OnMouseDown(*this, button, shift, GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam));
  return result;
}

std::optional<LRESULT> WinControl::ReflectNotification(UINT message, WPARAM wParam, LPARAM lParam) {
  HWND child = nullptr;
  switch (message) {
    case WM_COMMAND:
      child = reinterpret_cast<HWND>(lParam);  // nullptr for a menu or an accelerator
      break;
    case WM_DRAWITEM:
      child = reinterpret_cast<DRAWITEMSTRUCT*>(lParam)->hwndItem;
      break;
    case WM_MEASUREITEM:
      // The item's window is found by its control id, which is the window itself here.
      child = GetDlgItem(handle_,
                         static_cast<int>(reinterpret_cast<MEASUREITEMSTRUCT*>(lParam)->CtlID));
      break;
  }
  WinControl* target = child ? FromHandle(child) : nullptr;
  if (!target || target == this) return std::nullopt;
  return SendMessageW(child, CN_BASE + message, wParam, lParam);
}

LRESULT WinControl::KeyNoticeCaught(UINT notice, LPARAM lParam) {
  // A failure ends the handling of the key: it does not reach the window either.
  try {
    return KeyNotice(notice, *reinterpret_cast<MSG*>(lParam));
  } catch (...) {
    Application::Instance().HandleException(std::current_exception());
    return 1;
  }
}

LRESULT WinControl::WndProc(UINT message, WPARAM wParam, LPARAM lParam) {
  if (std::optional<LRESULT> result = ReflectNotification(message, wParam, lParam)) return *result;
  switch (message) {
    case CN_COMMAND:
      CommandNotify(HIWORD(wParam));
      return 0;
    case CN_KEYDOWN:
    case CN_SYSKEYDOWN:
    case CN_CHAR:
    case CN_SYSCHAR:
    case CN_KEYUP:
    case CN_SYSKEYUP:
      return KeyNoticeCaught(message, lParam);
    case WM_SETFOCUS:
      if (!FormTakesFocus()) return 0;
      break;
    case WM_KILLFOCUS:
      // A focus that comes and goes while the control's own focus handlers run (a message
      // box they show) is not the control's: it gets its focus once they are done.
      if (focusing_) return 0;
      break;
    case WM_MOUSEMOVE:
      Application::Instance().HintMouseMessage(*this);
      break;
    case WM_GETOBJECT:
      if (accessibleRole_) {
        if (LRESULT object =
                AnswerAccessibleObject(handle_, wParam, lParam, {accessibleRole_, LabelWindow()}))
          return object;
      }
      break;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK: {
      LRESULT result = MousePress(message, wParam, lParam);
      if (dragMode_ == dmAutomatic && !Dragging()) BeginDrag(false);
      return result;
    }
    case WM_RBUTTONDOWN:
    case WM_MBUTTONDOWN:
    case WM_RBUTTONDBLCLK:
    case WM_MBUTTONDBLCLK:
      return MousePress(message, wParam, lParam);
  }
  return DefaultProc(message, wParam, lParam);
}

LRESULT CALLBACK WinControl::StaticWndProc(HWND window, UINT message, WPARAM wParam,
                                           LPARAM lParam) {
  WinControl* control = FromHandle(window);
  if (!control && message == WM_NCCREATE) {
    control = static_cast<WinControl*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
    if (control) {
      BindWindow(window, control);
      control->handle_ = window;
    }
  }
  if (!control) {
    wchar_t className[256];
    int length = GetClassNameW(window, className, sizeof className / sizeof className[0]);
    auto found = BaseProcs().find(platform::WideToAnsi({className, static_cast<size_t>(length)}));
    WNDPROC base = found != BaseProcs().end() ? found->second : DefWindowProcW;
    return CallWindowProcW(base, window, message, wParam, lParam);
  }
  if (message == WM_NCDESTROY) {
    LRESULT result = CallWindowProcW(control->baseProc_, window, message, wParam, lParam);
    UnbindWindow(window);
    control->handle_ = nullptr;
    return result;
  }
  // Exceptions must never unwind through the platform's frames.
  try {
    // The source of a drag takes its mouse messages from the drag.
    if (drag::Source() == control && drag::SourceMessage(*control, message, wParam, lParam))
      return 0;
    return control->WndProc(message, wParam, lParam);
  } catch (...) {
    Application::Instance().HandleException(std::current_exception());
    return 0;
  }
}

}  // namespace tk
