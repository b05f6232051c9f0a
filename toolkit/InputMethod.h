#pragma once
// Input-method settings that a control applies to its window while it has the focus.

#include <windows.h>

namespace tk {

// DontCare leaves the input method as the user left it; Disable detaches it from the window;
// Close and Open switch it off or on; Hiragana opens it in full-width hiragana.
enum class ImeMode { DontCare, Disable, Close, Open, Hiragana };

// Applies `mode` to the input method of `window`. Disable is left to ImeFocus, which can
// give the input method back.
void ApplyImeMode(HWND window, ImeMode mode);

// What a focused window's input method was before a mode was applied to it, to be put back
// when the focus leaves.
class ImeFocus {
 public:
  void Enter(HWND window, ImeMode mode);
  void Leave();

 private:
  HWND window_ = nullptr;
  ImeMode mode_ = ImeMode::DontCare;
  HIMC detached_ = nullptr;
  BOOL open_ = FALSE;
  DWORD conversion_ = 0;
  DWORD sentence_ = 0;
};

}  // namespace tk
