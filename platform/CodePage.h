#pragma once
// The one place where text changes code page: the program holds ANSI (Shift-JIS) text and
// meets UTF-16 only at these two conversions, both with the platform's default behaviour
// (no flags), so a character the code page lacks becomes the platform's substitute.

#include <string>
#include <string_view>

namespace platform {

// ANSI bytes to UTF-16 units (MultiByteToWideChar, CP_ACP).
std::wstring AnsiToWide(std::string_view text);

// UTF-16 units to ANSI bytes (WideCharToMultiByte, CP_ACP, no default-character override).
std::string WideToAnsi(std::wstring_view text);

}  // namespace platform
