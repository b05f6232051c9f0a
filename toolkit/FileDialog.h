#pragma once
// The platform's file-open dialog as a component: filter, file name, initial folder and
// default extension are set before Execute, the chosen path read after it.

#include <string>

namespace tk {

class OpenDialog {
 public:
  // "description|pattern|description|pattern..."
  void SetFilter(const std::string& filter) { filter_ = filter; }
  void SetFileName(const std::string& name) { fileName_ = name; }
  const std::string& FileName() const { return fileName_; }
  void SetInitialDir(const std::string& folder) { initialDir_ = folder; }
  void SetDefaultExt(const std::string& extension) { defaultExt_ = extension; }

  // Shows the dialog modally over the active window: read-only box hidden, resizable, and
  // no demand that the typed file exist. True when the user confirmed a path.
  bool Execute();

 private:
  std::string filter_;
  std::string fileName_;
  std::string initialDir_;
  std::string defaultExt_;
};

}  // namespace tk
