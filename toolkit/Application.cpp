#include "toolkit/Application.h"

#include <commctrl.h>

#include <algorithm>

#include "platform/CodePage.h"
#include "platform/Exception.h"
#include "toolkit/Control.h"
#include "toolkit/Drag.h"
#include "toolkit/Form.h"
#include "toolkit/Hints.h"

namespace tk {

Application& Application::Instance() {
  static Application application;
  return application;
}

Application::~Application() = default;

void Application::Initialize() {
  INITCOMMONCONTROLSEX controls{sizeof controls, ICC_STANDARD_CLASSES | ICC_WIN95_CLASSES};
  InitCommonControlsEx(&controls);
}

void Application::AddForm(Form* form) {
  forms_.push_back(form);
  if (!mainForm_) mainForm_ = form;
}

void Application::RemoveForm(Form* form) {
  forms_.erase(std::remove(forms_.begin(), forms_.end(), form), forms_.end());
  if (mainForm_ == form) mainForm_ = nullptr;
  if (activeForm_ == form) activeForm_ = nullptr;
}

bool Application::Run() {
  if (!mainForm_) return false;
  try {
    mainForm_->Show();
  } catch (...) {
    HandleException(std::current_exception());
    return false;
  }
  MSG msg;
  while (!terminated_) {
    if (GetMessageW(&msg, nullptr, 0, 0) <= 0) break;
    HandleMessage(msg);
  }
  return true;
}

void Application::Terminate() {
  terminated_ = true;
  PostQuitMessage(0);
}

void Application::ProcessMessages() {
  MSG msg;
  while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
    if (msg.message == WM_QUIT) {
      terminated_ = true;
      break;
    }
    HandleMessage(msg);
  }
}

bool Application::HandleMessage(MSG& msg) {
  if (msg.message == WM_QUIT) return false;
  if (!IsKeyMessage(msg)) {
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
  return true;
}

// The key pipeline, before a key message reaches its window: the control that owns the
// window gets it as a key notice. By default (WinControl::KeyNotice):
// 1. Tab, the arrows, Enter and Esc go to the form's dialog-key handling when the focused
//    window does not claim them (WM_GETDLGCODE);
// 2. the form's key preview, then the control's own key handlers; a key set to 0 is
//    consumed and never reaches the window.
// While a drag is under way, Esc cancels it and goes no further.
bool Application::IsKeyMessage(MSG& msg) {
  try {
    if (drag::KeyMessage(msg)) return true;
  } catch (...) {
    HandleException(std::current_exception());
    return true;
  }
  UINT notice = 0;
  switch (msg.message) {
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN:
    case WM_CHAR:
    case WM_SYSCHAR:
    case WM_KEYUP:
    case WM_SYSKEYUP:
      notice = CN_BASE + msg.message;
      break;
    default:
      return false;
  }
  WinControl* control = WinControl::OwnerOf(msg.hwnd);
  if (!control || !control->HandleAllocated()) return false;
  return SendMessageW(control->Handle(), notice, msg.wParam, reinterpret_cast<LPARAM>(&msg)) != 0;
}

void Application::HintMouseMessage(WinControl& control) {
  if (!hints_) hints_ = std::make_unique<Hints>();
  hints_->MouseMove(control);
}

void Application::CancelHint() {
  if (hints_) hints_->Cancel();
}

void Application::ForgetHintControl(WinControl& control) {
  if (hints_) hints_->Forget(control);
}

void Application::HandleException(std::exception_ptr error) {
  try {
    std::rethrow_exception(error);
  } catch (const platform::Abort&) {
  } catch (const std::exception& e) {
    ShowException(e.what());
  } catch (...) {
    ShowException("Unknown error");
  }
}

void Application::ShowException(const std::string& message) {
  if (showingException_) return;  // a failure inside the error box itself is not shown again
  showingException_ = true;
  std::string text = message;
  if (!text.empty() && static_cast<unsigned char>(text.back()) > '.') text += '.';
  try {
    ShowMessageBox(text, title_, MB_OK | MB_ICONERROR);
  } catch (...) {
  }
  showingException_ = false;
}

int Application::ShowMessageBox(const std::string& text, const std::string& caption, UINT flags) {
  HWND owner = GetActiveWindow();
  if (!owner && mainForm_ && mainForm_->HandleAllocated()) owner = mainForm_->Handle();
  return ::MessageBoxW(owner, platform::AnsiToWide(text).c_str(),
                       platform::AnsiToWide(caption).c_str(), flags);
}

}  // namespace tk
