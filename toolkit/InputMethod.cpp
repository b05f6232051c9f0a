#include "toolkit/InputMethod.h"

#include <imm.h>

namespace tk {

void ApplyImeMode(HWND window, ImeMode mode) {
  if (mode == ImeMode::DontCare || mode == ImeMode::Disable) return;
  HIMC context = ImmGetContext(window);
  if (!context) return;
  ImmSetOpenStatus(context, mode != ImeMode::Close);
  if (mode == ImeMode::Hiragana) {
    DWORD conversion = 0, sentence = 0;
    ImmGetConversionStatus(context, &conversion, &sentence);
    // Full-width hiragana; whether the user types romaji or kana, and the rest, stays theirs.
    conversion = (conversion & ~IME_CMODE_KATAKANA) | IME_CMODE_NATIVE | IME_CMODE_FULLSHAPE;
    ImmSetConversionStatus(context, conversion, sentence);
  }
  ImmReleaseContext(window, context);
}

void ImeFocus::Enter(HWND window, ImeMode mode) {
  Leave();
  if (mode == ImeMode::DontCare) return;
  window_ = window;
  mode_ = mode;
  if (mode == ImeMode::Disable) {
    detached_ = ImmAssociateContext(window, nullptr);
    return;
  }
  if (HIMC context = ImmGetContext(window)) {
    open_ = ImmGetOpenStatus(context);
    ImmGetConversionStatus(context, &conversion_, &sentence_);
    ImmReleaseContext(window, context);
  }
  ApplyImeMode(window, mode);
}

void ImeFocus::Leave() {
  if (!window_) return;
  HWND window = window_;
  window_ = nullptr;
  if (!IsWindow(window)) return;
  if (mode_ == ImeMode::Disable) {
    ImmAssociateContext(window, detached_);
    detached_ = nullptr;
    return;
  }
  if (HIMC context = ImmGetContext(window)) {
    ImmSetConversionStatus(context, conversion_, sentence_);
    ImmSetOpenStatus(context, open_);
    ImmReleaseContext(window, context);
  }
}

}  // namespace tk
