#pragma once
// The platform combo box's messages, one typed call each, so that no raw CB_ message with its
// casts spreads through the controls. `box` is a "COMBOBOX" window.

#include <windows.h>

#include <commctrl.h>

#include <string>

#include "platform/CodePage.h"

namespace tk::cb {

inline int GetCount(HWND box) { return static_cast<int>(SendMessageW(box, CB_GETCOUNT, 0, 0)); }
inline int GetCurSel(HWND box) { return static_cast<int>(SendMessageW(box, CB_GETCURSEL, 0, 0)); }
inline void SetCurSel(HWND box, int index) { SendMessageW(box, CB_SETCURSEL, index, 0); }
// The new item's index, or a negative value when the platform refused it.
inline int AddString(HWND box, const std::string& text) {
  return static_cast<int>(SendMessageW(
      box, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(platform::AnsiToWide(text).c_str())));
}
inline int InsertString(HWND box, int index, const std::string& text) {
  return static_cast<int>(SendMessageW(
      box, CB_INSERTSTRING, index, reinterpret_cast<LPARAM>(platform::AnsiToWide(text).c_str())));
}
inline void DeleteString(HWND box, int index) { SendMessageW(box, CB_DELETESTRING, index, 0); }
inline void ResetContent(HWND box) { SendMessageW(box, CB_RESETCONTENT, 0, 0); }
// The first item, from the top, whose whole text equals `text` with letter case ignored.
inline int FindStringExact(HWND box, const std::string& text) {
  return static_cast<int>(
      SendMessageW(box, CB_FINDSTRINGEXACT, static_cast<WPARAM>(-1),
                   reinterpret_cast<LPARAM>(platform::AnsiToWide(text).c_str())));
}
inline LRESULT GetItemData(HWND box, int index) {
  return SendMessageW(box, CB_GETITEMDATA, index, 0);
}
inline void SetItemData(HWND box, int index, intptr_t value) {
  SendMessageW(box, CB_SETITEMDATA, index, static_cast<LPARAM>(value));
}
// `index` -1: the selection field.
inline int GetItemHeight(HWND box, int index) {
  return static_cast<int>(SendMessageW(box, CB_GETITEMHEIGHT, index, 0));
}
inline void SetItemHeight(HWND box, int index, int height) {
  SendMessageW(box, CB_SETITEMHEIGHT, index, height);
}
inline bool GetDroppedState(HWND box) { return SendMessageW(box, CB_GETDROPPEDSTATE, 0, 0) != 0; }
inline void ShowDropDown(HWND box, bool show) { SendMessageW(box, CB_SHOWDROPDOWN, show, 0); }
inline void SetDroppedWidth(HWND box, int width) {
  SendMessageW(box, CB_SETDROPPEDWIDTH, width, 0);
}
inline void SetMinVisible(HWND box, int rows) { SendMessageW(box, CB_SETMINVISIBLE, rows, 0); }
// 0: no limit.
inline void LimitText(HWND box, int length) { SendMessageW(box, CB_LIMITTEXT, length, 0); }

// The window of the box's list.
HWND ListWindow(HWND box);
// The edit part of an editable box; nullptr for a selection-only one.
HWND EditWindow(HWND box);
// Makes the box `height` pixels high while closed. Its closed height follows the height of its
// selection field, a fixed number of pixels less.
void FitClosedHeight(HWND box, int height);

}  // namespace tk::cb
