#pragma once
// The one drag under way on this thread: begun by a control's BeginDrag, it holds the mouse
// capture on the source's window, asks the control under the pointer whether it accepts,
// shows that by the cursor, and drops on the button's release. A drag that is not immediate
// starts only once the pointer has left the threshold around the press; a release before
// that ends it without a word, so a click stays a click.

#include <windows.h>

namespace tk {

class WinControl;

namespace drag {

// The source of the drag under way (waiting for the threshold or started), or nullptr.
WinControl* Source();
// `threshold` in pixels either side of the press; -1 for the platform's drag rectangle.
void Begin(WinControl& source, bool immediate, int threshold);
// Drops on the accepting control under the pointer (when `drop`) or cancels.
void End(bool drop);
// A message of the source's window while the drag is under way; true when the drag took it
// and the window must not see it.
bool SourceMessage(WinControl& source, UINT message, WPARAM wParam, LPARAM lParam);
// Esc cancels the drag; true when the key was taken.
bool KeyMessage(const MSG& msg);
// A control that goes away takes no further part.
void Forget(WinControl& control);

}  // namespace drag
}  // namespace tk
