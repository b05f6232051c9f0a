#include "toolkit/Edit.h"

#include "platform/CodePage.h"
#include "platform/ScopeExit.h"
#include "toolkit/Accessibility.h"
#include "toolkit/Form.h"

namespace tk {

Edit::Edit(WinControl* parent, std::string name) : WinControl(parent, std::move(name)) {
  SetTabStop(true);
}

void Edit::GetCreateParams(CreateParams& params) {
  WinControl::GetCreateParams(params);
  params.baseClass = "EDIT";
  params.accessibleRole = ROLE_SYSTEM_TEXT;
  params.className = "QuorvelEdit";
  params.style |= ES_LEFT | ES_AUTOHSCROLL;
  params.exStyle |= WS_EX_CLIENTEDGE;
}

void Edit::AfterCreate() {
  SendMessageW(handle_, EM_LIMITTEXT, 0, 0);  // no length limit
}

void Edit::SelectAll() { SendMessageW(Handle(), EM_SETSEL, 0, -1); }

std::pair<int, int> Edit::Selection() {
  DWORD start = 0, end = 0;
  SendMessageW(Handle(), EM_GETSEL, reinterpret_cast<WPARAM>(&start),
               reinterpret_cast<LPARAM>(&end));
  // The window counts UTF-16 units; the text's Shift-JIS bytes before each end are counted.
  std::wstring text = platform::AnsiToWide(Text());
  auto bytes = [&text](DWORD units) {
    return static_cast<int>(platform::WideToAnsi(std::wstring_view(text).substr(0, units)).size());
  };
  return {bytes(start), bytes(end)};
}

LRESULT Edit::WndProc(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_SETFOCUS: {
      if (!FormTakesFocus()) return 0;
      LRESULT result = DefaultProc(message, wParam, lParam);
      ApplyImeMode(handle_, imeMode_);
      if (!clicking_ && FocusFromSameWindow(handle_, reinterpret_cast<HWND>(wParam)))
        SendMessageW(handle_, EM_SETSEL, 0, -1);
      return result;
    }
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK: {
      clicking_ = true;
      platform::ScopeExit clicked([this] { clicking_ = false; });
      return WinControl::WndProc(message, wParam, lParam);
    }
  }
  return WinControl::WndProc(message, wParam, lParam);
}

}  // namespace tk
