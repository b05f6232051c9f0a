#include "toolkit/Drag.h"

#include <windowsx.h>

#include <cstdlib>
#include <vector>

#include "platform/ScopeExit.h"
#include "toolkit/Application.h"
#include "toolkit/Control.h"

namespace tk::drag {
namespace {

struct Operation {
  WinControl* source = nullptr;
  bool started = false;
  POINT press{0, 0};  // screen
  int thresholdX = 0, thresholdY = 0;
  WinControl* target = nullptr;
  bool accepted = false;
  POINT last{0, 0};  // screen
};

// The drag under way, and the drags whose end handlers are running (a handler may begin and
// end another one).
Operation current;
std::vector<Operation*> ending;

POINT ScreenPoint(WinControl& control, LPARAM lParam) {
  POINT point{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
  ClientToScreen(control.Handle(), &point);
  return point;
}

POINT ClientPoint(WinControl& control, POINT screen) {
  ScreenToClient(control.Handle(), &screen);
  return screen;
}

WinControl* ControlAt(POINT screen) { return WinControl::OwnerOf(WindowFromPoint(screen)); }

bool Accepts(WinControl& target, WinControl& source, POINT screen, DragState state) {
  bool accept = false;
  if (target.OnDragOver) {
    POINT at = ClientPoint(target, screen);
    target.OnDragOver(target, source, at.x, at.y, state, accept);
  }
  return accept;
}

// Ends the drag without any handler: after a failure in one of them.
void Abandon() {
  WinControl* source = current.source;
  current = {};
  if (source && source->HandleAllocated() && GetCapture() == source->Handle()) ReleaseCapture();
}

void Over(POINT screen) {
  WinControl* source = current.source;
  current.last = screen;
  WinControl* target = ControlAt(screen);
  DragState state = dsDragMove;
  if (target != current.target) {
    WinControl* left = current.target;
    current.target = nullptr;
    current.accepted = false;
    if (left) Accepts(*left, *source, screen, dsDragLeave);
    if (current.source != source) return;  // a handler ended the drag
    current.target = target;
    state = dsDragEnter;
  }
  bool accepted = target && Accepts(*target, *source, screen, state);
  if (current.source != source) return;
  current.accepted = accepted && current.target == target;
  SetCursor(LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(current.accepted ? IDC_ARROW : IDC_NO)));
}

void Start() {
  WinControl* source = current.source;
  current.started = true;
  Application::Instance().CancelHint();
  if (source->OnStartDrag) source->OnStartDrag(*source);
}

void Move(POINT screen) {
  if (!current.started) {
    if (std::abs(screen.x - current.press.x) <= current.thresholdX &&
        std::abs(screen.y - current.press.y) <= current.thresholdY)
      return;
    WinControl* source = current.source;
    Start();
    if (current.source != source) return;
  }
  Over(screen);
}

}  // namespace

WinControl* Source() { return current.source; }

void Begin(WinControl& source, bool immediate, int threshold) {
  if (current.source) return;  // one drag at a time
  SetCapture(source.Handle());
  Operation operation;
  operation.source = &source;
  // Where the pointer was at the press being handled, not where it is by now.
  DWORD at = GetMessagePos();
  operation.press = {GET_X_LPARAM(at), GET_Y_LPARAM(at)};
  operation.last = operation.press;
  operation.thresholdX = threshold < 0 ? GetSystemMetrics(SM_CXDRAG) : threshold;
  operation.thresholdY = threshold < 0 ? GetSystemMetrics(SM_CYDRAG) : threshold;
  current = operation;
  if (!immediate) return;
  try {
    Start();
    if (current.source == &source) Over(operation.press);
  } catch (...) {
    Abandon();
    throw;
  }
}

void End(bool drop) {
  if (!current.source) return;
  // Cleared first: the handlers below may begin the next drag.
  Operation operation = current;
  current = {};
  WinControl* source = operation.source;
  if (source->HandleAllocated() && GetCapture() == source->Handle()) ReleaseCapture();
  if (!operation.started) return;
  SetCursor(LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW)));
  ending.push_back(&operation);
  platform::ScopeExit ended([] { ending.pop_back(); });
  POINT screen = operation.last;
  bool accepted = drop && operation.accepted;
  if (WinControl* target = operation.target) Accepts(*target, *source, screen, dsDragLeave);
  WinControl* target = accepted ? operation.target : nullptr;  // nullptr once it went away
  if (target && operation.source && target->OnDragDrop) {
    POINT at = ClientPoint(*target, screen);
    target->OnDragDrop(*target, *source, at.x, at.y);
  }
  if (!operation.source) return;  // the source went away in a handler
  target = accepted ? operation.target : nullptr;
  POINT at = target ? ClientPoint(*target, screen) : POINT{0, 0};
  if (source->OnEndDrag) source->OnEndDrag(*source, target, at.x, at.y);
}

bool SourceMessage(WinControl& source, UINT message, WPARAM /*wParam*/, LPARAM lParam) {
  try {
    switch (message) {
      case WM_MOUSEMOVE:
        Move(ScreenPoint(source, lParam));
        return true;
      case WM_LBUTTONUP:
        if (!current.started) {
          // Not a drag after all: the window sees the release as it would have.
          End(false);
          return false;
        }
        Move(ScreenPoint(source, lParam));
        if (current.source == &source) End(true);
        return true;
      case WM_CAPTURECHANGED:
        if (reinterpret_cast<HWND>(lParam) != source.Handle()) End(false);
        return false;
    }
  } catch (...) {
    Abandon();
    throw;
  }
  return false;
}

bool KeyMessage(const MSG& msg) {
  if (!current.source || msg.message != WM_KEYDOWN || msg.wParam != VK_ESCAPE) return false;
  End(false);
  return true;
}

void Forget(WinControl& control) {
  std::vector<Operation*> operations = ending;
  operations.push_back(&current);
  for (Operation* operation : operations) {
    if (operation->target == &control) {
      operation->target = nullptr;
      operation->accepted = false;
    }
    if (operation->source == &control) operation->source = nullptr;
  }
  // The source's window, and so the capture, goes with it.
  if (!current.source) current = {};
}

}  // namespace tk::drag
