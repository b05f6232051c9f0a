#include "toolkit/Bevel.h"

#include "toolkit/Accessibility.h"

namespace tk {

Bevel::Bevel(WinControl* parent, std::string name) : WinControl(parent, std::move(name)) {}

void Bevel::GetCreateParams(CreateParams& params) {
  WinControl::GetCreateParams(params);
  params.className = "QuorvelBevel";
  // A line between the fields and the buttons: nothing for a screen reader to read out.
  params.accessibleRole = ROLE_SYSTEM_SEPARATOR;
}

LRESULT Bevel::WndProc(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_NCHITTEST:
      return HTTRANSPARENT;
    case WM_PAINT: {
      PAINTSTRUCT paint;
      HDC dc = BeginPaint(handle_, &paint);
      RECT area;
      GetClientRect(handle_, &area);
      DrawEdge(dc, &area, BDR_SUNKENOUTER, BF_RECT);
      EndPaint(handle_, &paint);
      return 0;
    }
  }
  return WinControl::WndProc(message, wParam, lParam);
}

}  // namespace tk
