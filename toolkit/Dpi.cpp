#include "toolkit/Dpi.h"

#include "platform/SystemLibrary.h"

namespace tk {

namespace {

template <typename Function>
Function User32(const char* name) {
  return platform::SystemFunction<Function>(L"user32.dll", name);
}

}  // namespace

int SystemDpi() {
  static const int dpi = [] {
    if (auto forSystem = User32<UINT(WINAPI*)()>("GetDpiForSystem")) return int(forSystem());
    HDC screen = GetDC(nullptr);
    int logPixels = GetDeviceCaps(screen, LOGPIXELSY);
    ReleaseDC(nullptr, screen);
    return logPixels > 0 ? logPixels : kDesignDpi;
  }();
  return dpi;
}

namespace {

int SystemWindowDpi(HWND window) {
  static const auto forWindow = User32<UINT(WINAPI*)(HWND)>("GetDpiForWindow");
  UINT dpi = forWindow && window ? forWindow(window) : 0;
  return dpi ? static_cast<int>(dpi) : SystemDpi();
}

WindowDpiQuery windowDpiQuery = SystemWindowDpi;

}  // namespace

int WindowDpi(HWND window) { return windowDpiQuery(window); }

WindowDpiQuery SetWindowDpiQuery(WindowDpiQuery query) {
  WindowDpiQuery previous = windowDpiQuery;
  windowDpiQuery = query ? query : SystemWindowDpi;
  return previous;
}

void AdjustWindowRectForDpi(RECT& rect, DWORD style, DWORD exStyle, int dpi) {
  static const auto forDpi =
      User32<BOOL(WINAPI*)(RECT*, DWORD, BOOL, DWORD, UINT)>("AdjustWindowRectExForDpi");
  if (!forDpi || !forDpi(&rect, style, FALSE, exStyle, dpi))
    AdjustWindowRectEx(&rect, style, FALSE, exStyle);
}

}  // namespace tk
