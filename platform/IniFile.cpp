#include "platform/IniFile.h"

#include <windows.h>

#include "platform/CodePage.h"
#include "platform/Exception.h"
#include "platform/Files.h"
#include "platform/ScopeExit.h"

namespace platform {

namespace {

constexpr std::string_view kUtf16LittleEndianMark = "\xFF\xFE";
constexpr std::string_view kUtf16BigEndianMark = "\xFE\xFF";

bool CodePageHolds(const std::wstring& text) { return AnsiToWide(WideToAnsi(text)) == text; }

// The profile calls read and write an ANSI file in the system's code page. Where that is not
// Shift-JIS (an English Windows has 1252, a Windows set to UTF-8 has 65001), a Shift-JIS file
// must reach them as UTF-16, which they read the same everywhere.
bool ProfileCallsReadShiftJis() { return GetACP() == kCodePage; }

// The bytes of a file whose Shift-JIS text is given as UTF-16 behind its byte-order mark.
std::string Utf16FileBytes(std::string_view shiftJis) {
  std::wstring text = L"\xFEFF" + AnsiToWide(shiftJis);
  return std::string(reinterpret_cast<const char*>(text.data()), text.size() * sizeof(wchar_t));
}

std::wstring ReadProfileString(const std::wstring& path, const std::wstring& section,
                               const std::wstring& key, const std::wstring& fallback) {
  wchar_t buffer[2048];
  DWORD length = GetPrivateProfileStringW(section.c_str(), key.c_str(), fallback.c_str(), buffer,
                                          sizeof buffer / sizeof buffer[0], path.c_str());
  return std::wstring(buffer, length);
}

// A value read from a UTF-16 copy of a Shift-JIS file in the temporary folder; the file itself
// stays as it is. A file that cannot be read or copied reads as `fallback`, as a missing one.
std::wstring ReadThroughUtf16Copy(const std::wstring& path, const std::wstring& section,
                                  const std::wstring& key, const std::wstring& fallback) {
  wchar_t folder[MAX_PATH + 1], copy[MAX_PATH + 1];
  if (!GetTempPathW(MAX_PATH + 1, folder) || !GetTempFileNameW(folder, L"ini", 0, copy))
    return fallback;
  ScopeExit removed([&copy] { DeleteFileW(copy); });
  try {
    ReplaceFileContents(copy,
                        Utf16FileBytes(ReadWholeFile(path, FILE_SHARE_READ | FILE_SHARE_WRITE)));
  } catch (const Exception&) {
    return fallback;
  }
  return ReadProfileString(copy, section, key, fallback);
}

}  // namespace

IniFile::~IniFile() { Flush(); }

void IniFile::Flush() const {
  WritePrivateProfileStringW(nullptr, nullptr, nullptr, path_.c_str());
}

std::wstring IniFile::ReadString(const std::wstring& section, const std::wstring& key,
                                 const std::wstring& fallback) const {
  if (ProfileCallsReadShiftJis() || !FileExists(path_) || IsUtf16())
    return ReadProfileString(path_, section, key, fallback);
  return ReadThroughUtf16Copy(path_, section, key, fallback);
}

void IniFile::WriteString(const std::wstring& section, const std::wstring& key,
                          const std::wstring& value) {
  // A value the code page holds is written as the platform writes ANSI files, the same bytes
  // as ever; any other would be stored with substitutes, a path to nowhere. Where the platform
  // would write an ANSI file in another code page, it writes a UTF-16 form of the Shift-JIS
  // file, which then goes back to Shift-JIS: the bytes a Japanese system writes.
  bool backToShiftJis = false;
  RaiseAsWriteError([&] {
    const bool holds = CodePageHolds(value);
    if ((holds && ProfileCallsReadShiftJis()) || IsUtf16()) return;
    backToShiftJis = holds;
    ConvertToUtf16();
  });
  if (!RetryWhileHeld([&] {
        return WritePrivateProfileStringW(section.c_str(), key.c_str(), value.c_str(),
                                          path_.c_str()) != FALSE;
      }))
    throw WriteError(GetLastError());
  if (backToShiftJis) RaiseAsWriteError([this] { ConvertToShiftJis(); });
}

void IniFile::RaiseAsWriteError(const std::function<void()>& step) const {
  try {
    step();
  } catch (const Win32Error& error) {
    throw WriteError(error.Code());
  } catch (const Exception&) {
    throw WriteError(ERROR_WRITE_FAULT);
  }
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
  ReplaceFileContents(path_, Utf16FileBytes(ansi));
}

// Rewrites the file's UTF-16 text, as ConvertToUtf16 made it, as Shift-JIS when the code page
// holds all of it.
void IniFile::ConvertToShiftJis() {
  Flush();
  std::string bytes = ReadWholeFile(path_, FILE_SHARE_READ);
  if (bytes.substr(0, 2) != kUtf16LittleEndianMark) return;
  std::wstring text(reinterpret_cast<const wchar_t*>(bytes.data() + 2), (bytes.size() - 2) / 2);
  if (CodePageHolds(text)) ReplaceFileContents(path_, WideToAnsi(text));
}

}  // namespace platform
