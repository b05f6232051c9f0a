#include "toolkit/Canvas.h"

#include "platform/CodePage.h"

namespace tk {

void Canvas::Attach(HDC dc, HWND window) {
  Release();
  dc_ = dc;
  window_ = window;
  savedState_ = SaveDC(dc_);
  Select();
}

void Canvas::Release() {
  if (dc_) {
    RestoreDC(dc_, savedState_);
    if (window_) ReleaseDC(window_, dc_);
  }
  dc_ = nullptr;
  window_ = nullptr;
  if (brush_) DeleteObject(brush_);
  if (pen_) DeleteObject(pen_);
  brush_ = nullptr;
  pen_ = nullptr;
}

void Canvas::Select() {
  if (!dc_) return;
  if (font_) SelectObject(dc_, font_);
  SetTextColor(dc_, fontColour_);
  SetBkMode(dc_, TRANSPARENT);
}

void Canvas::SetFont(HFONT font, COLORREF colour) {
  font_ = font;
  fontColour_ = colour;
  Select();
}

void Canvas::SetFontColour(COLORREF colour) {
  fontColour_ = colour;
  Select();
}

void Canvas::SetBrushColour(COLORREF colour) {
  if (brush_ && colour == brushColour_) return;
  brushColour_ = colour;
  if (brush_) DeleteObject(brush_);
  brush_ = nullptr;
}

HBRUSH Canvas::Brush() {
  if (!brush_) brush_ = CreateSolidBrush(brushColour_);
  return brush_;
}

void Canvas::SetPenColour(COLORREF colour) {
  penColour_ = colour;
  if (pen_) DeleteObject(pen_);
  pen_ = nullptr;
}

int Canvas::TextWidth(const std::string& text) {
  SIZE size{0, 0};
  if (!dc_) return 0;
  std::wstring wide = platform::AnsiToWide(text);
  GetTextExtentPoint32W(dc_, wide.data(), static_cast<int>(wide.size()), &size);
  return size.cx;
}

void Canvas::FillRect(const RECT& r) {
  if (dc_) ::FillRect(dc_, &r, Brush());
}

void Canvas::FrameRect(const RECT& r) {
  if (dc_) ::FrameRect(dc_, &r, Brush());
}

void Canvas::Polyline(const std::vector<POINT>& points) {
  if (!dc_ || points.empty()) return;
  if (!pen_) pen_ = CreatePen(PS_SOLID, 1, penColour_);
  HGDIOBJ old = SelectObject(dc_, pen_);
  ::Polyline(dc_, points.data(), static_cast<int>(points.size()));
  SelectObject(dc_, old);
}

void Canvas::TextOut(int x, int y, const std::string& text) {
  if (!dc_) return;
  UINT options = rightToLeft_ ? ETO_RTLREADING : 0;
  std::wstring wide = platform::AnsiToWide(text);
  ExtTextOutW(dc_, x, y, options, nullptr, wide.data(), static_cast<UINT>(wide.size()), nullptr);
}

}  // namespace tk
