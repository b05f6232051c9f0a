#pragma once
// Drawing on a device context that the canvas is lent: a font with its colour, a brush
// and a pen, each created on first use and released with the device context.

#include <windows.h>

#include <string>
#include <vector>

namespace tk {

class Canvas {
 public:
  Canvas() = default;
  ~Canvas() { Release(); }
  Canvas(const Canvas&) = delete;
  Canvas& operator=(const Canvas&) = delete;

  // Takes a device context to draw on; `window` set: the canvas got it with GetDC and
  // gives it back with ReleaseDC.
  void Attach(HDC dc, HWND window = nullptr);
  // Selects the original objects back into the device context and lets go of it.
  void Release();
  HDC Handle() const { return dc_; }

  void SetFont(HFONT font, COLORREF colour);
  void SetFontColour(COLORREF colour);
  void SetBrushColour(COLORREF colour);
  COLORREF BrushColour() const { return brushColour_; }
  void SetPenColour(COLORREF colour);
  // The right-to-left reading order for text output.
  void SetRightToLeft(bool rightToLeft) { rightToLeft_ = rightToLeft; }

  int TextWidth(const std::string& text);
  void FillRect(const RECT& r);
  void FrameRect(const RECT& r);
  // A line through the points, the last point excluded.
  void Polyline(const std::vector<POINT>& points);
  void TextOut(int x, int y, const std::string& text);

 private:
  HBRUSH Brush();
  void Select();

  HDC dc_ = nullptr;
  HWND window_ = nullptr;
  int savedState_ = 0;
  HFONT font_ = nullptr;
  COLORREF fontColour_ = RGB(0, 0, 0);
  COLORREF brushColour_ = RGB(255, 255, 255);
  HBRUSH brush_ = nullptr;
  COLORREF penColour_ = RGB(0, 0, 0);
  HPEN pen_ = nullptr;
  bool rightToLeft_ = false;
};

}  // namespace tk
