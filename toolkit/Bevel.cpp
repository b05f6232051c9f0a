#include "toolkit/Bevel.h"

namespace tk {

Bevel::Bevel(WinControl* parent, std::string name) : WinControl(parent, std::move(name)) {}

void Bevel::GetCreateParams(CreateParams& params) {
  WinControl::GetCreateParams(params);
  params.className = "QuorvelBevel";
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
