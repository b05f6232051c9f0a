#include "toolkit/ComboBoxMessages.h"

namespace tk::cb {

HWND ListWindow(HWND box) {
  COMBOBOXINFO info{sizeof info};
  GetComboBoxInfo(box, &info);
  return info.hwndList;
}

HWND EditWindow(HWND box) {
  if ((GetWindowLongA(box, GWL_STYLE) & 3) == CBS_DROPDOWNLIST) return nullptr;
  COMBOBOXINFO info{sizeof info};
  GetComboBoxInfo(box, &info);
  return info.hwndItem;
}

void FitClosedHeight(HWND box, int height) {
  const int probe = 16;
  SetItemHeight(box, -1, probe);
  RECT closed;
  GetWindowRect(box, &closed);
  SetItemHeight(box, -1, probe + height - (closed.bottom - closed.top));
}

}  // namespace tk::cb
