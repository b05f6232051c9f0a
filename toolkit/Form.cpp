#include "toolkit/Form.h"

#include <algorithm>

#include "platform/CodePage.h"
#include "platform/Exception.h"
#include "platform/ScopeExit.h"
#include "toolkit/Application.h"

namespace tk {
namespace {

// The visible, enabled top-level windows of the thread other than the modal form.
struct ModalDisabled {
  HWND modal;
  std::vector<HWND> windows;
};

BOOL CALLBACK CollectEnabledWindows(HWND window, LPARAM data) {
  auto* collected = reinterpret_cast<ModalDisabled*>(data);
  if (window != collected->modal && IsWindowVisible(window) && IsWindowEnabled(window))
    collected->windows.push_back(window);
  return TRUE;
}

}  // namespace

Form::Form(std::string name) : WinControl(nullptr, std::move(name)) {
  SetVisible(false);
  Application::Instance().AddForm(this);
}

Form::~Form() {
  DestroyHandle();
  if (font_) DeleteObject(font_);
  Application::Instance().RemoveForm(this);
}

void Form::Place(std::initializer_list<Placement> layout) {
  std::vector<WinControl*> order;
  for (const Placement& item : layout) {
    item.control.SetBounds(item.left, item.top, item.width, item.height);
    item.control.SetText(item.text);
    item.control.SetTabOrder(item.tabOrder);
    order.push_back(&item.control);
  }
  SetChildOrder(order);
}

void Form::SetClientSize(int width, int height) { clientSize_ = {width, height}; }

void Form::SetFont(const FontSpec& font) {
  fontSpec_ = font;
  if (font_) {
    DeleteObject(font_);
    font_ = nullptr;
  }
}

HFONT Form::FontHandle() {
  if (!font_) {
    LOGFONTW lf{};
    // Negative: the character height, not the cell height.
    lf.lfHeight = -ScaleToDpi(fontSpec_.height, Dpi());
    lf.lfWeight = FW_NORMAL;
    lf.lfCharSet = fontSpec_.charset;
    lf.lfQuality = DEFAULT_QUALITY;
    lf.lfPitchAndFamily = DEFAULT_PITCH;
    lstrcpynW(lf.lfFaceName, platform::AnsiToWide(fontSpec_.face).c_str(), LF_FACESIZE);
    font_ = CreateFontIndirectW(&lf);
    if (!font_) font_ = static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
  }
  return font_;
}

int Form::Dpi() {
  if (!dpi_) dpi_ = handle_ ? WindowDpi(handle_) : SystemDpi();
  return dpi_;
}

void Form::ApplyDpi(int dpi, const RECT& suggested) {
  HFONT old = font_;
  font_ = nullptr;
  dpi_ = dpi;
  SetBounds(suggested.left, suggested.top, suggested.right - suggested.left,
            suggested.bottom - suggested.top);
  for (WinControl* child : Children()) child->DpiChanged();
  if (old) DeleteObject(old);
  RedrawWindow(handle_, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
}

void Form::GetCreateParams(CreateParams& params) {
  params.className = "QuorvelForm";
  params.style = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN;
  if (border_ == FormBorder::Single && minimizeBox_) params.style |= WS_MINIMIZEBOX;
  params.exStyle =
      border_ == FormBorder::Dialog ? WS_EX_DLGMODALFRAME | WS_EX_WINDOWEDGE : WS_EX_WINDOWEDGE;
}

void Form::CreateWnd() {
  CreateParams params;
  GetCreateParams(params);
  dpi_ = SystemDpi();
  RECT frame{0, 0, ScaleToDpi(clientSize_.cx, dpi_), ScaleToDpi(clientSize_.cy, dpi_)};
  AdjustWindowRectForDpi(frame, params.style, params.exStyle, dpi_);
  SetBounds(0, 0, frame.right - frame.left, frame.bottom - frame.top);
  // Made where it shows: a move after creation costs a round trip to the display.
  Centre();
  WinControl::CreateWnd();
}

void Form::AfterCreate() {
  int monitorDpi = WindowDpi(handle_);
  if (monitorDpi == dpi_) return;
  // The frame as the system draws it on that monitor, around the client area at its dpi, with
  // the same centre as before.
  RECT frame, client;
  GetWindowRect(handle_, &frame);
  GetClientRect(handle_, &client);
  int width = frame.right - frame.left - client.right + ScaleToDpi(clientSize_.cx, monitorDpi);
  int height = frame.bottom - frame.top - client.bottom + ScaleToDpi(clientSize_.cy, monitorDpi);
  int left = (frame.left + frame.right - width) / 2;
  int top = (frame.top + frame.bottom - height) / 2;
  ApplyDpi(monitorDpi, {left, top, left + width, top + height});
}

void Form::Centre() {
  RECT area{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
  Form* main = Application::Instance().MainForm();
  if (position_ == FormPosition::MainFormCenter && main && main != this && main->HandleAllocated())
    GetWindowRect(main->Handle(), &area);
  int left = area.left + ((area.right - area.left) - Width()) / 2;
  int top = area.top + ((area.bottom - area.top) - Height()) / 2;
  SetBounds(left, top, Width(), Height());
}

void Form::Show() {
  HWND window = Handle();
  // One show that activates too: showing without activation first would cost a second
  // round of window messages and requests to the display.
  visible_ = true;
  ShowWindow(window, SW_SHOW);
  SetForegroundWindow(window);
  UpdateWindow(window);
}

int Form::ShowModal() {
  if (modal_) throw platform::Exception("Form '" + Name() + "' is already shown modally");
  ModalDisabled modal{Handle(), {}};
  EnumThreadWindows(GetCurrentThreadId(), CollectEnabledWindows, reinterpret_cast<LPARAM>(&modal));
  for (HWND window : modal.windows) EnableWindow(window, FALSE);
  Form* previousActive = Application::Instance().ActiveForm();
  ShowOwnedBy(previousActive, modal.windows);
  if (previousActive && previousActive->HandleAllocated())
    SetActiveWindow(previousActive->Handle());
  return modalResult_;
}

// Owned by the form it was shown from, the form stays above that form and has no taskbar
// button of its own. The window may exist from before, so the owner is set on it for the
// showing only, and taken away however the showing ends.
void Form::ShowOwnedBy(Form* owner, const std::vector<HWND>& disabled) {
  HWND ownerWindow = owner && owner != this && owner->HandleAllocated() ? owner->Handle() : nullptr;
  SetWindowLongPtrW(Handle(), GWLP_HWNDPARENT, reinterpret_cast<LONG_PTR>(ownerWindow));
  platform::ScopeExit unowned([this] {
    if (HandleAllocated()) SetWindowLongPtrW(handle_, GWLP_HWNDPARENT, 0);
  });
  RunModalLoop(disabled);
  SetVisible(false);
}

void Form::RunModalLoop(const std::vector<HWND>& disabled) {
  modal_ = true;
  modalResult_ = 0;
  // However the loop ends, the other forms are enabled again; after a close, before the form
  // hides, so that the platform activates the owner.
  platform::ScopeExit ended([this, &disabled] {
    modal_ = false;
    for (HWND window : disabled) EnableWindow(window, TRUE);
  });
  Centre();
  Show();
  Application& app = Application::Instance();
  MSG msg;
  while (modalResult_ == 0) {
    if (!GetMessageW(&msg, nullptr, 0, 0)) {
      PostQuitMessage(static_cast<int>(msg.wParam));
      break;
    }
    app.HandleMessage(msg);
  }
}

void Form::Close() {
  CloseAction action = CloseAction::Hide;
  if (OnClose) OnClose(*this, action);
  if (action == CloseAction::None) return;
  if (modal_) {
    if (modalResult_ == 0) modalResult_ = IDCANCEL;
  } else if (Application::Instance().MainForm() == this) {
    Application::Instance().Terminate();
  } else {
    SetVisible(false);
  }
}

WinControl* Form::ActiveControl() {
  HWND focus = GetFocus();
  if (!focus || !HandleAllocated() || !IsChild(Handle(), focus)) focus = savedFocus_;
  WinControl* control = focus ? OwnerOf(focus) : nullptr;
  return control && control != this && control->ParentForm() == this ? control : nullptr;
}

bool Form::Holds(const WinControl* control) const {
  std::vector<const WinControl*> pending{this};
  while (!pending.empty()) {
    const WinControl* next = pending.back();
    pending.pop_back();
    for (const WinControl* child : next->Children()) {
      if (child == control) return true;
      pending.push_back(child);
    }
  }
  return false;
}

bool Form::SetFocusedControl(WinControl& control) {
  if (control.focusing_) return false;
  int change = ++focusChanges_;
  // The control that had the focus may have gone since.
  WinControl* previous = Holds(focusedControl_) ? focusedControl_ : nullptr;
  focusedControl_ = &control;
  if (previous == &control) return true;
  control.focusing_ = true;
  platform::ScopeExit focused([&control] { control.focusing_ = false; });
  if (previous && previous->OnExit) previous->OnExit(*previous);
  if (focusChanges_ == change && control.OnEnter) control.OnEnter(control);
  return focusChanges_ == change;
}

std::vector<WinControl*> Form::TabList() {
  std::vector<WinControl*> list;
  for (WinControl* child : Children())
    if (child->TabOrder() >= 0) list.push_back(child);
  std::stable_sort(list.begin(), list.end(),
                   [](WinControl* a, WinControl* b) { return a->TabOrder() < b->TabOrder(); });
  return list;
}

void Form::SelectNext(WinControl* current, bool forward) {
  std::vector<WinControl*> list = TabList();
  if (list.empty()) return;
  auto at = std::find(list.begin(), list.end(), current);
  size_t start = at == list.end() ? (forward ? list.size() - 1 : 0) : at - list.begin();
  for (size_t step = 1; step <= list.size(); ++step) {
    size_t index = forward ? (start + step) % list.size()
                           : (start + list.size() - step % list.size()) % list.size();
    WinControl* candidate = list[index];
    if (candidate->TabStop() && candidate->CanFocus()) {
      candidate->SetFocus();
      return;
    }
  }
}

bool Form::DialogKey(WORD key, ShiftState shift) {
  if (key == VK_TAB && !(shift & (ssAlt | ssCtrl))) {
    SelectNext(ActiveControl(), !(shift & ssShift));
    return true;
  }
  if ((key == VK_LEFT || key == VK_RIGHT || key == VK_UP || key == VK_DOWN) && !(shift & ssAlt)) {
    WinControl* current = ActiveControl();
    if (!current) return false;
    std::vector<WinControl*> list = TabList();
    auto at = std::find(list.begin(), list.end(), current);
    if (at == list.end()) return false;
    bool forward = key == VK_RIGHT || key == VK_DOWN;
    size_t index = at - list.begin();
    index = forward ? (index + 1) % list.size() : (index + list.size() - 1) % list.size();
    if (list[index]->CanFocus()) list[index]->SetFocus();
    return true;
  }
  return false;
}

void Form::DoCreate() {
  if (OnCreate) OnCreate(*this);
}

void Form::DoActivate(bool active) {
  Application& app = Application::Instance();
  if (!active) {
    HWND focus = GetFocus();
    if (focus && IsChild(Handle(), focus)) savedFocus_ = focus;
    return;
  }
  // The platform focuses the frame itself; give the focus back to the control that had it.
  if (savedFocus_ && IsWindow(savedFocus_) && IsChild(Handle(), savedFocus_))
    ::SetFocus(savedFocus_);
  else
    SelectNext(nullptr, true);
  // Only a change between the program's forms counts as activating this form: closing a
  // message box or the file-open dialog gives the activation back to the same form.
  if (app.ActiveForm() != this) {
    app.SetActiveForm(this);
    if (OnActivate) OnActivate(*this);
  }
}

LRESULT Form::WndProc(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_ACTIVATE:
      if (LOWORD(wParam) == WA_INACTIVE) {
        DoActivate(false);
        return DefaultProc(message, wParam, lParam);
      }
      if (!HIWORD(wParam)) {  // not minimised
        DoActivate(true);
        return 0;
      }
      break;
    case WM_CLOSE:
      Close();
      return 0;
    case WM_DPICHANGED:
      ApplyDpi(LOWORD(wParam), *reinterpret_cast<const RECT*>(lParam));
      return 0;
    case WM_SYSCOLORCHANGE:
      NotifyControls(CM_PARENTCOLORCHANGED);
      break;
    case WM_SETFOCUS:
      // A form never keeps the focus itself while it has a control that can take it.
      if (WinControl* control = ActiveControl()) {
        ::SetFocus(control->Handle());
        return 0;
      }
      break;
  }
  return WinControl::WndProc(message, wParam, lParam);
}

}  // namespace tk
