#pragma once
// Display scaling. Windows are designed in pixels at 96 dpi and laid out at the dpi of the
// monitor they stand on. The calls that tell a window's dpi exist from Windows 10 on; before,
// every window has the system's.

#include <windows.h>

namespace tk {

constexpr int kDesignDpi = 96;

// The system's dpi: what a window gets before it is on a monitor of its own.
int SystemDpi();
// The dpi of the monitor a window stands on.
int WindowDpi(HWND window);
// Where WindowDpi asks the system; a test puts in a monitor of another scale, which a machine
// with one display cannot show. Returns the previous query; nullptr restores the system's.
using WindowDpiQuery = int (*)(HWND window);
WindowDpiQuery SetWindowDpiQuery(WindowDpiQuery query);
// A length of the 96-dpi design at `dpi`.
inline int ScaleToDpi(int length, int dpi) { return MulDiv(length, dpi, kDesignDpi); }
// The outer rectangle of a client area at `dpi` (its caption and frame scale too).
void AdjustWindowRectForDpi(RECT& rect, DWORD style, DWORD exStyle, int dpi);

}  // namespace tk
