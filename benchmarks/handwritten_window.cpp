// The limit of what the editor's main window can cost: the same window with the same 17
// child windows written with plain Win32 calls and the platform's own classes, the same
// font, the visual-styles manifest, and the year and disc lists filled. No toolkit.

#include <windows.h>
#include <commctrl.h>

#include <cstdio>

static LRESULT CALLBACK MainProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_DESTROY) PostQuitMessage(0);
  return DefWindowProcA(window, message, wParam, lParam);
}

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
  INITCOMMONCONTROLSEX controls{sizeof controls, ICC_STANDARD_CLASSES | ICC_WIN95_CLASSES};
  InitCommonControlsEx(&controls);
  WNDCLASSA wc{};
  wc.lpfnWndProc = MainProc;
  wc.hInstance = instance;
  wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
  wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  wc.lpszClassName = "HandWritten";
  RegisterClassA(&wc);
  DWORD style = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_CLIPCHILDREN;
  RECT frame{0, 0, 592, 237};
  AdjustWindowRectEx(&frame, style, FALSE, WS_EX_WINDOWEDGE);
  int width = frame.right - frame.left, height = frame.bottom - frame.top;
  HWND main = CreateWindowExA(WS_EX_WINDOWEDGE, "HandWritten", "Quorvel 1.02", style,
                              (GetSystemMetrics(SM_CXSCREEN) - width) / 2,
                              (GetSystemMetrics(SM_CYSCREEN) - height) / 2, width, height, nullptr,
                              nullptr, instance, nullptr);
  LOGFONTA lf{};
  lf.lfHeight = -13;
  lf.lfCharSet = SHIFTJIS_CHARSET;
  lstrcpynA(lf.lfFaceName, "ＭＳ Ｐゴシック", LF_FACESIZE);
  HFONT font = CreateFontIndirectA(&lf);
  struct Child {
    const char* kind;
    DWORD style;
    DWORD exStyle;
    int left, top, width, height;
    const char* text;
  };
  const DWORD child = WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS;
  const DWORD edit = child | WS_TABSTOP | ES_AUTOHSCROLL;
  const DWORD combo = child | WS_TABSTOP | WS_VSCROLL | CBS_DROPDOWN | CBS_HASSTRINGS;
  const DWORD button = child | WS_TABSTOP | BS_PUSHBUTTON;
  const Child children[] = {
      {"STATIC", child, 0, 16, 13, 64, 13, "アルバム名"},
      {"STATIC", child, 0, 16, 43, 128, 13, "アルバムアーティスト名"},
      {"STATIC", child, 0, 16, 69, 77, 13, "アーティスト名"},
      {"STATIC", child, 0, 16, 95, 90, 13, "アルバム発表年"},
      {"STATIC", child, 0, 16, 123, 46, 13, "ジャンル"},
      {"STATIC", child, 0, 16, 149, 90, 13, "ディスクナンバー"},
      {"STATIC", child | SS_SUNKEN, 0, 0, 172, 607, 7, ""},
      {"EDIT", edit, WS_EX_CLIENTEDGE, 148, 11, 425, 21, ""},
      {"EDIT", edit, WS_EX_CLIENTEDGE, 148, 35, 425, 21, ""},
      {"EDIT", edit, WS_EX_CLIENTEDGE, 148, 61, 425, 21, ""},
      {"COMBOBOX", combo, 0, 148, 87, 71, 200, ""},
      {"EDIT", edit, WS_EX_CLIENTEDGE, 148, 115, 149, 21, "J-POP"},
      {"COMBOBOX", combo, 0, 148, 141, 48, 200, ""},
      {"BUTTON", button, 0, 18, 195, 187, 29, "曲別参加アーティスト(F6)"},
      {"BUTTON", button, 0, 271, 196, 93, 29, "読込(F5)"},
      {"BUTTON", button, 0, 378, 196, 93, 29, "保存(F9)"},
      {"BUTTON", button, 0, 485, 196, 93, 29, "終了（F12)"},
  };
  HWND windows[17];
  for (int i = 0; i < 17; ++i) {
    const Child& c = children[i];
    windows[i] =
        CreateWindowExA(c.exStyle, c.kind, c.text, c.style, c.left, c.top, c.width, c.height, main,
                        reinterpret_cast<HMENU>(100 + i), instance, nullptr);
    SendMessageA(windows[i], WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
  }
  SYSTEMTIME today;
  GetLocalTime(&today);
  char text[8];
  for (int year = today.wYear - 3; year <= today.wYear + 3; ++year) {
    std::snprintf(text, sizeof text, "%04d", year);
    SendMessageA(windows[10], CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text));
  }
  SendMessageA(windows[10], CB_SETCURSEL, 3, 0);
  for (int disc = 1; disc <= 12; ++disc) {
    std::snprintf(text, sizeof text, "%2d", disc);
    SendMessageA(windows[12], CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text));
  }
  SendMessageA(windows[12], CB_SETCURSEL, 0, 0);
  ShowWindow(main, SW_SHOWNORMAL);
  SetForegroundWindow(main);
  SetFocus(windows[7]);
  UpdateWindow(main);
  MSG msg;
  while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
    if (IsDialogMessageA(main, &msg)) continue;
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
  }
  DeleteObject(font);
  return 0;
}
