#include "toolkit/Label.h"

#include "platform/CodePage.h"
#include "toolkit/Accessibility.h"

namespace tk {

Label::Label(WinControl* parent, std::string name) : WinControl(parent, std::move(name)) {}

void Label::GetCreateParams(CreateParams& params) {
  WinControl::GetCreateParams(params);
  params.baseClass = "STATIC";
  params.accessibleRole = ROLE_SYSTEM_STATICTEXT;
  params.className = "QuorvelLabel";
  params.style |= SS_LEFT | SS_NOPREFIX;
}

void Label::AfterCreate() { FitToText(); }

void Label::DpiChanged() {
  WinControl::DpiChanged();
  FitToText();
}

void Label::FitToText() {
  HDC dc = GetDC(handle_);
  HFONT font = reinterpret_cast<HFONT>(SendMessageW(handle_, WM_GETFONT, 0, 0));
  HGDIOBJ old = SelectObject(dc, font);
  std::wstring text = platform::AnsiToWide(Text());
  SIZE size{0, 0};
  GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &size);
  TEXTMETRICW metrics{};
  GetTextMetricsW(dc, &metrics);
  SelectObject(dc, old);
  ReleaseDC(handle_, dc);
  // Measured at the form's dpi; the bounds keep the 96-dpi design.
  RECT bounds = Bounds();
  int dpi = Dpi();
  SetBounds(bounds.left, bounds.top, MulDiv(size.cx, kDesignDpi, dpi),
            MulDiv(metrics.tmHeight, kDesignDpi, dpi));
}

LRESULT Label::WndProc(UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_NCHITTEST) return HTTRANSPARENT;  // presses go to the form beneath
  return WinControl::WndProc(message, wParam, lParam);
}

}  // namespace tk
