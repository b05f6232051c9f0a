#pragma once
// When hints show: the pointer rests on a control whose ShowHint is on and whose Hint is not
// empty; after the show delay the hint window appears below the pointer, and it goes after
// the hide delay, when the pointer moves to another control or leaves the control, or on a
// press. Timers on the message loop, nothing waits.

#include <windows.h>

#include "toolkit/HintWindow.h"

namespace tk {

class WinControl;

class Hints {
 public:
  Hints();
  ~Hints();
  Hints(const Hints&) = delete;
  Hints& operator=(const Hints&) = delete;

  // Every mouse move over a control, or over a part window of it.
  void MouseMove(WinControl& control);
  // Hides the hint; the control under the pointer shows it again only after the pointer has
  // been elsewhere.
  void Cancel();
  void Forget(WinControl& control);

 private:
  enum class State { Idle, Waiting, Showing, Done };
  static void CALLBACK Tick(HWND, UINT, UINT_PTR timer, DWORD);
  void Step();
  void Watch();
  bool PointerOver() const;
  static void Restart(UINT_PTR& timer, UINT period);
  static void Kill(UINT_PTR& timer);
  void Stop();

  WinControl* control_ = nullptr;
  State state_ = State::Idle;
  UINT_PTR stepTimer_ = 0;   // the show or the hide delay
  UINT_PTR watchTimer_ = 0;  // whether the pointer has left the control
  HintWindow window_;
};

}  // namespace tk
