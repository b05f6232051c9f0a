#pragma once

#include <utility>

#include "toolkit/Control.h"
#include "toolkit/InputMethod.h"

namespace tk {

// A single-line edit. It selects its whole text when the focus comes from another control of
// its window (the keyboard or the program moving between fields), not from a click into it
// and not when its window is merely activated again.
class Edit : public WinControl {
 public:
  Edit(WinControl* parent, std::string name);
  void SetImeMode(ImeMode mode) { imeMode_ = mode; }
  ImeMode GetImeMode() const { return imeMode_; }
  void SelectAll();
  // The selection as byte offsets [start, end).
  std::pair<int, int> Selection();

 protected:
  void GetCreateParams(CreateParams& params) override;
  void AfterCreate() override;
  LRESULT WndProc(UINT message, WPARAM wParam, LPARAM lParam) override;

 private:
  ImeMode imeMode_ = ImeMode::DontCare;
  bool clicking_ = false;
};

}  // namespace tk
