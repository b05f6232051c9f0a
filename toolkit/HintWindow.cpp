#include "toolkit/HintWindow.h"

#include <algorithm>

#include "platform/CodePage.h"
#include "platform/Exception.h"

namespace tk {
namespace {

const wchar_t* const kClassName = L"QuorvelHint";
constexpr int kPadding = 3;

}  // namespace

HintWindow::~HintWindow() {
  if (window_ && IsWindow(window_)) DestroyWindow(window_);
  if (font_) DeleteObject(font_);
}

void HintWindow::Create() {
  HINSTANCE instance = GetModuleHandleW(nullptr);
  WNDCLASSEXW wc{};
  wc.cbSize = sizeof wc;
  if (!GetClassInfoExW(instance, kClassName, &wc)) {
    wc.lpfnWndProc = Proc;
    wc.hInstance = instance;
    wc.hCursor = LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_INFOBK + 1);
    wc.lpszClassName = kClassName;
    if (!RegisterClassExW(&wc))
      throw platform::Win32Error("Cannot register the hint window", GetLastError());
  }
  window_ = CreateWindowExW(WS_EX_TOOLWINDOW | WS_EX_TOPMOST | WS_EX_NOACTIVATE, kClassName, L"",
                            WS_POPUP | WS_BORDER, 0, 0, 0, 0, nullptr, nullptr, instance, this);
  if (!window_) throw platform::Win32Error("Cannot create the hint window", GetLastError());
  // The platform's status-bar font is the one its own tooltips use.
  NONCLIENTMETRICSW metrics{};
  metrics.cbSize = sizeof metrics;
  if (SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0))
    font_ = CreateFontIndirectW(&metrics.lfStatusFont);
}

void HintWindow::Show(const std::string& text, POINT at) {
  if (!window_) Create();
  std::wstring wide = platform::AnsiToWide(text);
  SetWindowTextW(window_, wide.c_str());
  HDC dc = GetDC(window_);
  HGDIOBJ old = SelectObject(dc, font_ ? font_ : GetStockObject(DEFAULT_GUI_FONT));
  RECT area{0, 0, GetSystemMetrics(SM_CXSCREEN) / 2, 0};
  DrawTextW(dc, wide.c_str(), -1, &area, DT_CALCRECT | DT_NOPREFIX | DT_WORDBREAK);
  SelectObject(dc, old);
  ReleaseDC(window_, dc);
  int width = area.right + 2 * kPadding + 2 * GetSystemMetrics(SM_CXBORDER);
  int height = area.bottom + 2 * kPadding + 2 * GetSystemMetrics(SM_CYBORDER);
  RECT work{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
  SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
  int left = std::max<int>(work.left, std::min<int>(at.x, work.right - width));
  int top = std::max<int>(work.top, std::min<int>(at.y, work.bottom - height));
  SetWindowPos(window_, HWND_TOPMOST, left, top, width, height, SWP_NOACTIVATE | SWP_SHOWWINDOW);
  InvalidateRect(window_, nullptr, TRUE);
}

void HintWindow::Hide() {
  if (window_ && IsWindowVisible(window_)) ShowWindow(window_, SW_HIDE);
}

void HintWindow::Paint() {
  PAINTSTRUCT paint;
  HDC dc = BeginPaint(window_, &paint);
  RECT area;
  GetClientRect(window_, &area);
  InflateRect(&area, -kPadding, -kPadding);
  wchar_t text[1024];
  int length = GetWindowTextW(window_, text, sizeof text / sizeof text[0]);
  HGDIOBJ old = SelectObject(dc, font_ ? font_ : GetStockObject(DEFAULT_GUI_FONT));
  SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, GetSysColor(COLOR_INFOTEXT));
  DrawTextW(dc, text, length, &area, DT_NOPREFIX | DT_WORDBREAK);
  SelectObject(dc, old);
  EndPaint(window_, &paint);
}

LRESULT CALLBACK HintWindow::Proc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_NCCREATE)
    BindWindow(window,
               static_cast<HintWindow*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams));
  auto* self = dynamic_cast<HintWindow*>(WindowTargetOf(window));
  switch (message) {
    // The pointer sees the control beneath, so a hint never stands between them.
    case WM_NCHITTEST:
      return HTTRANSPARENT;
    case WM_MOUSEACTIVATE:
      return MA_NOACTIVATE;
    case WM_PAINT:
      if (self) {
        self->Paint();
        return 0;
      }
      break;
    case WM_NCDESTROY:
      UnbindWindow(window);
      if (self) self->window_ = nullptr;
      break;
  }
  return DefWindowProcW(window, message, wParam, lParam);
}

}  // namespace tk
