#pragma once

#include <windows.h>

#include <commctrl.h>

#include "toolkit/Control.h"

namespace tk {

// A push button with a 16 x 16 glyph left of its caption. A glyph bitmap may hold two
// images side by side, the second for the disabled state; the colour of its bottom-left
// pixel is transparent.
class BitmapButton : public WinControl {
 public:
  BitmapButton(WinControl* parent, std::string name);
  ~BitmapButton() override;
  // A 16 x 16 glyph; the same drawn at 24 and 32 pixels, for scaled displays, has the
  // resource identifier plus 100 and plus 200.
  void SetGlyph(int resourceId, int glyphCount);

 protected:
  void GetCreateParams(CreateParams& params) override;
  void AfterCreate() override;
  void DpiChanged() override;
  void CommandNotify(WORD code) override;

 private:
  HIMAGELIST images_ = nullptr;
  int glyphId_ = 0;
  int glyphCount_ = 1;
};

}  // namespace tk
