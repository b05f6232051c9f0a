#include "toolkit/FileDialog.h"

#include <windows.h>
#include <commdlg.h>

#include <vector>

#include "platform/Exception.h"
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
    CommonDialogs loaded;
    if (HMODULE module = LoadLibraryA("comdlg32.dll")) {
      loaded.getOpenFileName = reinterpret_cast<decltype(&GetOpenFileNameW)>(
          reinterpret_cast<void*>(GetProcAddress(module, "GetOpenFileNameW")));
      loaded.extendedError = reinterpret_cast<decltype(&CommDlgExtendedError)>(
          reinterpret_cast<void*>(GetProcAddress(module, "CommDlgExtendedError")));
    }
    return loaded;
  }();
  if (!dialogs.getOpenFileName || !dialogs.extendedError)
    throw platform::Win32Error("comdlg32.dll cannot be loaded", GetLastError());
  return dialogs;
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

  OPENFILENAMEW ofn{};
  ofn.lStructSize = sizeof ofn;
  ofn.hwndOwner = GetActiveWindow();
  if (!ofn.hwndOwner && Application::Instance().MainForm())
    ofn.hwndOwner = Application::Instance().MainForm()->Handle();
  ofn.lpstrFilter = filter_.empty() ? nullptr : filter.c_str();
  ofn.nFilterIndex = 1;
  ofn.lpstrFile = name.data();
  ofn.nMaxFile = static_cast<DWORD>(name.size());
  ofn.lpstrInitialDir = initialDir_.empty() ? nullptr : initialDir_.c_str();
  ofn.lpstrDefExt = defaultExt_.empty() ? nullptr : defaultExt_.c_str();
  ofn.Flags = OFN_HIDEREADONLY | OFN_ENABLESIZING | OFN_EXPLORER;
  if (!dialogs.getOpenFileName(&ofn)) {
    DWORD error = dialogs.extendedError();
    if (error != 0)
      throw platform::Exception(
          platform::Format("File dialog error %lu", static_cast<unsigned long>(error)));
    return false;
  }
  fileName_ = name.data();
  return true;
}

}  // namespace tk
