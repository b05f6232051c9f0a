#include "platform/IniFile.h"

#include <windows.h>

#include "platform/CodePage.h"
#include "platform/Exception.h"
#include "platform/Files.h"

namespace platform {

namespace {

constexpr std::string_view kUtf16LittleEndianMark = "\xFF\xFE";
constexpr std::string_view kUtf16BigEndianMark = "\xFE\xFF";

bool CodePageHolds(const std::wstring& text) { return AnsiToWide(WideToAnsi(text)) == text; }

}  // namespace

IniFile::~IniFile() { Flush(); }

void IniFile::Flush() const {
  WritePrivateProfileStringW(nullptr, nullptr, nullptr, path_.c_str());
}

std::wstring IniFile::ReadString(const std::wstring& section, const std::wstring& key,
                                 const std::wstring& fallback) const {
  wchar_t buffer[2048];
  DWORD length = GetPrivateProfileStringW(section.c_str(), key.c_str(), fallback.c_str(), buffer,
                                          sizeof buffer / sizeof buffer[0], path_.c_str());
  return std::wstring(buffer, length);
}

void IniFile::WriteString(const std::wstring& section, const std::wstring& key,
                          const std::wstring& value) {
  // A value the code page holds is written as the platform writes ANSI files, the same bytes
  // as ever; any other would be stored with substitutes, a path to nowhere.
  if (!CodePageHolds(value)) {
    try {
      if (!IsUtf16()) ConvertToUtf16();
    } catch (const Win32Error& error) {
      throw WriteError(error.Code());
    } catch (const Exception&) {
      throw WriteError(ERROR_WRITE_FAULT);
    }
  }
  if (!RetryWhileHeld([&] {
        return WritePrivateProfileStringW(section.c_str(), key.c_str(), value.c_str(),
                                          path_.c_str()) != FALSE;
      }))
    throw WriteError(GetLastError());
}

Win32Error IniFile::WriteError(unsigned long code) const {
  return Win32Error(Format("%s に書き込めません", DisplayPath(path_).c_str()), code);
}

bool IniFile::IsUtf16() const {
  if (!FileExists(path_)) return false;
  std::string head = ReadWholeFile(path_, FILE_SHARE_READ | FILE_SHARE_WRITE).substr(0, 2);
  return head == kUtf16LittleEndianMark || head == kUtf16BigEndianMark;
}

// Rewrites the file's ANSI text as UTF-16 behind its byte-order mark, all else unchanged.
// What the platform still holds of earlier writes reaches the file first.
void IniFile::ConvertToUtf16() {
  Flush();
  std::string ansi = FileExists(path_) ? ReadWholeFile(path_, FILE_SHARE_READ) : std::string();
  std::wstring text = L"\xFEFF" + AnsiToWide(ansi);
  ReplaceFileContents(path_, std::string_view(reinterpret_cast<const char*>(text.data()),
                                              text.size() * sizeof(wchar_t)));
}

}  // namespace platform
