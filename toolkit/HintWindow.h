#pragma once
// The small pop-up that shows a control's hint text below the pointer: a top-most tool
// window that never takes the activation or the mouse. Its window is made when it first
// shows, so a program whose controls have no hints never creates it.

#include <windows.h>

#include <string>

#include "toolkit/WindowMap.h"

namespace tk {

class HintWindow : public WindowTarget {
 public:
  HintWindow() = default;
  ~HintWindow() override;
  HintWindow(const HintWindow&) = delete;
  HintWindow& operator=(const HintWindow&) = delete;

  // Shows `text` with its top-left corner at `at` (screen), kept on the screen.
  void Show(const std::string& text, POINT at);
  void Hide();
  bool Showing() const { return window_ && IsWindowVisible(window_); }

 private:
  static LRESULT CALLBACK Proc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  void Create();
  void Paint();

  HWND window_ = nullptr;
  HFONT font_ = nullptr;
};

}  // namespace tk
