#include "platform/CodePage.h"

#include <windows.h>

#include <algorithm>
#include <climits>

#include "platform/Exception.h"
#include "platform/Files.h"

namespace platform {

int TextCallLength(size_t length) {
  if (length > static_cast<size_t>(INT_MAX)) {
    throw Win32Error(SysErrorMessage(ERROR_ARITHMETIC_OVERFLOW), ERROR_ARITHMETIC_OVERFLOW);
  }
  return static_cast<int>(length);
}

bool IsLeadByte(char byte) { return IsDBCSLeadByteEx(kCodePage, static_cast<BYTE>(byte)); }

size_t CharacterLength(std::string_view text, size_t at) {
  return IsLeadByte(text[at]) && at + 1 < text.size() ? 2 : 1;
}

namespace {

[[noreturn]] void ThrowLastError() {
  DWORD code = GetLastError();
  throw Win32Error(SysErrorMessage(code), code);
}

}  // namespace

std::wstring AnsiToWide(std::string_view text) {
  if (text.empty()) return {};
  int length = TextCallLength(text.size());
  int units = MultiByteToWideChar(kCodePage, 0, text.data(), length, nullptr, 0);
  if (units <= 0) ThrowLastError();
  std::wstring wide(units, L'\0');
  MultiByteToWideChar(kCodePage, 0, text.data(), length, wide.data(), units);
  return wide;
}

std::string WideToAnsi(std::wstring_view text) {
  if (text.empty()) return {};
  int length = TextCallLength(text.size());
  int bytes = WideCharToMultiByte(kCodePage, 0, text.data(), length, nullptr, 0, nullptr, nullptr);
  if (bytes <= 0) ThrowLastError();
  std::string ansi(bytes, '\0');
  WideCharToMultiByte(kCodePage, 0, text.data(), length, ansi.data(), bytes, nullptr, nullptr);
  return ansi;
}

std::wstring ComposeText(std::wstring_view text) {
  if (text.empty()) return {};
  int length = TextCallLength(text.size());
  // The first call gives an estimate; a buffer too small reports a larger one, negated.
  int estimate = NormalizeString(NormalizationC, text.data(), length, nullptr, 0);
  std::wstring composed;
  while (estimate > 0) {
    composed.resize(static_cast<size_t>(estimate));
    int units = NormalizeString(NormalizationC, text.data(), length, composed.data(), estimate);
    if (units > 0) {
      composed.resize(static_cast<size_t>(units));
      return composed;
    }
    if (GetLastError() != ERROR_INSUFFICIENT_BUFFER) break;
    estimate = std::max(-units, estimate * 2);
  }
  return std::wstring(text);
}

}  // namespace platform
