#pragma once
// What a control tells screen readers. A window answers WM_GETOBJECT for its client area with
// the system's accessible object for it, under the toolkit's role, name and value. The
// system's own answer is wrong for our windows: Wine knows none of our class names and reports
// a plain window; Windows takes the platform class a window derives from, but names an edit
// after the window before it, which is not its label.

#include <windows.h>
// After windows.h: the roles (ROLE_SYSTEM_...).
#include <oleacc.h>

namespace tk {

struct AccessibleLook {
  long role;             // ROLE_SYSTEM_...
  HWND label = nullptr;  // the window whose text names the control; nullptr: the system's name
};

// The answer to WM_GETOBJECT for `window`: for its client area an object as `look` says,
// otherwise 0, which leaves the message to the default handling. An entry field
// (ROLE_SYSTEM_TEXT, ROLE_SYSTEM_COMBOBOX) has its text as its value.
LRESULT AnswerAccessibleObject(HWND window, WPARAM wParam, LPARAM lParam,
                               const AccessibleLook& look);

}  // namespace tk
