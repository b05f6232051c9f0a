#pragma once

#include "toolkit/Control.h"

namespace tk {

// Static text that sizes itself to its text at the form's font.
class Label : public WinControl {
 public:
  Label(WinControl* parent, std::string name);

 protected:
  void GetCreateParams(CreateParams& params) override;
  void AfterCreate() override;
  void DpiChanged() override;
  LRESULT WndProc(UINT message, WPARAM wParam, LPARAM lParam) override;

 private:
  void FitToText();
};

}  // namespace tk
