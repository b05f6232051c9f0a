#include "toolkit/ComboBoxMessages.h"

namespace tk::cb {
namespace {

COMBOBOXINFO Info(HWND box) {
  COMBOBOXINFO info{};
  info.cbSize = sizeof info;
  GetComboBoxInfo(box, &info);
  return info;
}

}  // namespace

HWND ListWindow(HWND box) { return Info(box).hwndList; }

HWND EditWindow(HWND box) {
  if ((GetWindowLongW(box, GWL_STYLE) & 3) == CBS_DROPDOWNLIST) return nullptr;
  return Info(box).hwndItem;
}

void FitClosedHeight(HWND box, int height) {
  const int probe = 16;
  SetItemHeight(box, -1, probe);
  RECT closed;
  GetWindowRect(box, &closed);
  SetItemHeight(box, -1, probe + height - (closed.bottom - closed.top));
}

}  // namespace tk::cb
