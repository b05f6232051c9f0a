#pragma once
// A platform INI file read and written through the profile calls. The file is ANSI
// (Shift-JIS) text, CR LF, as the platform writes it, until a value the code page cannot hold
// is written: the file then becomes UTF-16 with its byte-order mark, which the profile calls
// read and write as UTF-16 from then on. On a system whose ANSI code page is not Shift-JIS,
// the profile calls get a Shift-JIS file as UTF-16 (a copy to read, the file itself for a
// write, which then goes back to Shift-JIS), so that the same file gives the same values and
// gets the same bytes on a Windows of any language setting.

#include <functional>
#include <string>

namespace platform {

class Win32Error;

class IniFile {
 public:
  explicit IniFile(std::wstring path) : path_(std::move(path)) {}
  // Flushes whatever the platform still holds of the writes.
  ~IniFile();
  const std::wstring& Path() const { return path_; }
  // A missing file, section or key reads as `fallback`; values are cut at 2047 characters.
  std::wstring ReadString(const std::wstring& section, const std::wstring& key,
                          const std::wstring& fallback) const;
  // Raises "<path> に書き込めません" when the platform refuses the write.
  void WriteString(const std::wstring& section, const std::wstring& key, const std::wstring& value);

 private:
  void Flush() const;
  bool IsUtf16() const;
  void ConvertToUtf16();
  void ConvertToShiftJis();
  // Runs `step`, raising any failure of it as the write error.
  void RaiseAsWriteError(const std::function<void()>& step) const;
  Win32Error WriteError(unsigned long code) const;

  std::wstring path_;
};

}  // namespace platform
