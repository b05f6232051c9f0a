#pragma once
// The object behind each window of this thread that the toolkit made or subclassed: a
// control's own window, a part of a control that the control subclasses, a pop-up of the
// toolkit's own. A window property would do, but under Wine every GetProp is a round trip to
// the server and the look-up runs for every message; a window's messages are always handled on
// the thread that made it.

#include <windows.h>

namespace tk {

class WinControl;

class WindowTarget {
 public:
  virtual ~WindowTarget() = default;
  // The control whose own window this is; nullptr for a part or a pop-up.
  virtual WinControl* AsControl() { return nullptr; }
};

// From WM_NCCREATE (or the subclassing) to WM_NCDESTROY.
void BindWindow(HWND window, WindowTarget* target);
void UnbindWindow(HWND window);
// nullptr for a window that is not bound.
WindowTarget* WindowTargetOf(HWND window);

}  // namespace tk
