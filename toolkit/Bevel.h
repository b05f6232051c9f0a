#pragma once

#include "toolkit/Control.h"

namespace tk {

// A lowered box, drawn as a separator.
class Bevel : public WinControl {
 public:
  Bevel(WinControl* parent, std::string name);

 protected:
  void GetCreateParams(CreateParams& params) override;
  LRESULT WndProc(UINT message, WPARAM wParam, LPARAM lParam) override;
};

}  // namespace tk
