#pragma once
// A platform INI file (Shift-JIS text, CR LF) read and written through the profile calls.

#include <string>

namespace platform {

class IniFile {
 public:
  explicit IniFile(std::string path) : path_(std::move(path)) {}
  // Flushes whatever the platform still holds of the writes.
  ~IniFile();
  const std::string& Path() const { return path_; }
  // A missing file, section or key reads as `fallback`; values are cut at 2047 bytes.
  std::string ReadString(const std::string& section, const std::string& key,
                         const std::string& fallback) const;
  // Raises "<path> に書き込めません" when the platform refuses the write.
  void WriteString(const std::string& section, const std::string& key, const std::string& value);

 private:
  std::string path_;
};

}  // namespace platform
