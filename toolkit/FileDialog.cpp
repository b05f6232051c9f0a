#include "toolkit/FileDialog.h"

#include <windows.h>
#include <commctrl.h>
#include <commdlg.h>

#include <cwchar>
#include <vector>

#include "platform/Exception.h"
#include "platform/Files.h"
#include "platform/ScopeExit.h"
#include "platform/SystemLibrary.h"
#include "toolkit/Application.h"
#include "toolkit/Form.h"

namespace tk {
namespace {

// The common dialogs library pulls in the shell and the printing libraries: it is loaded
// on the first use of the dialog rather than at start-up.
struct CommonDialogs {
  decltype(&GetOpenFileNameW) getOpenFileName = nullptr;
  decltype(&CommDlgExtendedError) extendedError = nullptr;
};

const CommonDialogs& LoadCommonDialogs() {
  static CommonDialogs dialogs = [] {
    return CommonDialogs{
        platform::SystemFunction<decltype(&GetOpenFileNameW)>(L"comdlg32.dll", "GetOpenFileNameW"),
        platform::SystemFunction<decltype(&CommDlgExtendedError)>(L"comdlg32.dll",
                                                                  "CommDlgExtendedError")};
  }();
  if (!dialogs.getOpenFileName || !dialogs.extendedError)
    throw platform::Win32Error("comdlg32.dll cannot be loaded", GetLastError());
  return dialogs;
}

// Wine's file dialog cannot hold a path of MAX_PATH characters or more: a longer initial
// folder, or a longer full path confirmed (typed in full, or a name in a folder near that
// length), makes it overrun a buffer and crash the program. The dialog is therefore started
// in the deepest folder of the initial one that it holds, and a long path confirmed in its
// file-name box is taken by the program before the dialog sees it.
constexpr int kFileNameBox = 1148;     // cmb13: the file-name box of the explorer-style dialog
constexpr int kOldFileNameBox = 1152;  // edt1

// An initial folder of 259 characters (its final "\" included) already makes the 64-bit
// dialog write through a null pointer; 258 works.
std::wstring FolderTheDialogHolds(std::wstring folder) {
  while (folder.size() >= MAX_PATH - 1) {
    size_t cut = folder.find_last_of(L'\\', folder.size() - 2);
    if (cut == std::wstring::npos) return std::wstring();
    folder.resize(cut + 1);
  }
  return folder;
}

bool IsFullPath(const std::wstring& path) {
  return (path.size() > 2 && path[1] == L':' && path[2] == L'\\') || path.starts_with(L"\\\\");
}

// The full path a confirmed name stands for: the name itself when it is a full path, else the
// name in the folder the dialog shows. A name relative to a drive or its root stays as typed.
std::wstring ConfirmedPath(HWND dialog, const std::wstring& typed) {
  if (typed.empty() || IsFullPath(typed) || typed.find(L':') != std::wstring::npos ||
      typed[0] == L'\\')
    return typed;
  std::wstring folder(32768, L'\0');
  LRESULT length = SendMessageW(dialog, CDM_GETFOLDERPATH, folder.size(),
                                reinterpret_cast<LPARAM>(folder.data()));
  if (length <= 0) return typed;
  folder.resize(std::wcslen(folder.c_str()));
  if (!folder.ends_with(L'\\')) folder += L'\\';
  return platform::ExpandFileName(folder + typed);
}

// A file's path the dialog cannot hold. Patterns and folders stay the dialog's own, which
// lists or opens them.
bool IsLongFilePath(const std::wstring& path) {
  if (path.size() < MAX_PATH || path.find_first_of(L"*?") != std::wstring::npos) return false;
  DWORD attributes = GetFileAttributesW(platform::CallablePath(path).c_str());
  return attributes == INVALID_FILE_ATTRIBUTES || !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

std::wstring TextOf(HWND window) {
  std::wstring text(GetWindowTextLengthW(window) + 1, L'\0');
  text.resize(GetWindowTextW(window, text.data(), static_cast<int>(text.size())));
  return text;
}

LRESULT CALLBACK TakeLongPaths(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                               DWORD_PTR data) {
  try {
    if (message == WM_COMMAND && LOWORD(wParam) == IDOK) {
      HWND box = GetDlgItem(dialog, kFileNameBox);
      if (!box) box = GetDlgItem(dialog, kOldFileNameBox);
      // Other dialogs come up while the file dialog runs (a message box, a prompt for
      // credentials): the file dialog is the one with a file-name box and an Open button.
      bool fileDialog = box && GetDlgItem(dialog, IDOK);
      std::wstring path = fileDialog ? ConfirmedPath(dialog, TextOf(box)) : std::wstring();
      if (IsFullPath(path) && IsLongFilePath(path)) {
        reinterpret_cast<OpenDialog*>(data)->TakeLongPath(path);
        PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
        return 0;
      }
    }
    if (message == WM_NCDESTROY) RemoveWindowSubclass(dialog, TakeLongPaths, 0);
  } catch (...) {
    Application::Instance().HandleException(std::current_exception());
  }
  return DefSubclassProc(dialog, message, wParam, lParam);
}

// While the dialog runs, every top-level dialog window the thread creates watches for long
// paths; when it is created it holds no controls yet to tell the file dialog by.
OpenDialog* hookedDialog = nullptr;

LRESULT CALLBACK WatchDialogCreation(int code, WPARAM wParam, LPARAM lParam) {
  if (code == HCBT_CREATEWND && hookedDialog) {
    HWND window = reinterpret_cast<HWND>(wParam);
    wchar_t kind[16] = L"";
    GetClassNameW(window, kind, 16);
    if (std::wstring_view(kind) == L"#32770" && !(GetWindowLongW(window, GWL_STYLE) & WS_CHILD))
      SetWindowSubclass(window, TakeLongPaths, 0, reinterpret_cast<DWORD_PTR>(hookedDialog));
  }
  return CallNextHookEx(nullptr, code, wParam, lParam);
}

}  // namespace

bool OpenDialog::Execute() {
  const CommonDialogs& dialogs = LoadCommonDialogs();
  // The filter's "|" separators become the NULs the platform expects, with two at the end.
  std::wstring filter = filter_;
  for (wchar_t& ch : filter)
    if (ch == L'|') ch = L'\0';
  filter.append(2, L'\0');
  // Room for the longest path the platform has, far beyond MAX_PATH.
  std::vector<wchar_t> name(32768, L'\0');
  fileName_.copy(name.data(), name.size() - 1);
  const std::wstring initialDir = FolderTheDialogHolds(initialDir_);

  OPENFILENAMEW ofn{};
  ofn.lStructSize = sizeof ofn;
  ofn.hwndOwner = GetActiveWindow();
  if (!ofn.hwndOwner && Application::Instance().MainForm())
    ofn.hwndOwner = Application::Instance().MainForm()->Handle();
  ofn.lpstrFilter = filter_.empty() ? nullptr : filter.c_str();
  ofn.nFilterIndex = 1;
  ofn.lpstrFile = name.data();
  ofn.nMaxFile = static_cast<DWORD>(name.size());
  ofn.lpstrInitialDir = initialDir.empty() ? nullptr : initialDir.c_str();
  ofn.lpstrDefExt = defaultExt_.empty() ? nullptr : defaultExt_.c_str();
  ofn.Flags = OFN_HIDEREADONLY | OFN_ENABLESIZING | OFN_EXPLORER;
  longPath_.clear();
  hookedDialog = this;
  HHOOK hook = SetWindowsHookExW(WH_CBT, WatchDialogCreation, nullptr, GetCurrentThreadId());
  platform::ScopeExit unhook([hook] {
    hookedDialog = nullptr;
    if (hook) UnhookWindowsHookEx(hook);
  });
  if (!dialogs.getOpenFileName(&ofn)) {
    DWORD error = dialogs.extendedError();
    if (error != 0)
      throw platform::Exception(
          platform::Format("File dialog error %lu", static_cast<unsigned long>(error)));
    if (longPath_.empty()) return false;
    fileName_ = longPath_;
    return true;
  }
  fileName_ = name.data();
  return true;
}

}  // namespace tk
