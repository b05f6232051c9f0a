#pragma once
// The platform's file-open dialog as a component: filter, file name, initial folder and
// default extension are set before Execute, the chosen path read after it. Paths are UTF-16,
// so that any folder name reaches the program as it is.

#include <string>

namespace tk {

class OpenDialog {
 public:
  // "description|pattern|description|pattern..."
  void SetFilter(const std::wstring& filter) { filter_ = filter; }
  void SetFileName(const std::wstring& name) { fileName_ = name; }
  const std::wstring& FileName() const { return fileName_; }
  void SetInitialDir(const std::wstring& folder) { initialDir_ = folder; }
  void SetDefaultExt(const std::wstring& extension) { defaultExt_ = extension; }

  // Shows the dialog modally over the active window: read-only box hidden, resizable, and
  // no demand that the typed file exist. True when the user confirmed a path.
  bool Execute();

  // Called by the dialog's window when the user confirms a full path of MAX_PATH characters
  // or more: the program takes it itself (see Execute).
  void TakeLongPath(std::wstring path) { longPath_ = std::move(path); }

 private:
  std::wstring longPath_;
  std::wstring filter_;
  std::wstring fileName_;
  std::wstring initialDir_;
  std::wstring defaultExt_;
};

}  // namespace tk
