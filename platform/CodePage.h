#pragma once
// The one place where text changes code page: the program holds Shift-JIS (code page 932) text
// and meets UTF-16 only at these two conversions, both with the platform's default behaviour
// (no flags), so a character the code page lacks becomes the platform's substitute. The code
// page is named, never the system's: the same bytes mean the same text on a Windows of any
// language setting.

#include <cstddef>
#include <string>
#include <string_view>

namespace platform {

// The code page of the program's text: Shift-JIS.
constexpr unsigned kCodePage = 932;

// Whether `byte` begins a double-byte character of the code page.
bool IsLeadByte(char byte);

// The length of a text as the platform's text calls take it. They count in int: a longer text
// raises the system's overflow message rather than being cut short or wrapped around.
int TextCallLength(std::size_t length);

// The length in bytes of the ANSI character that begins at `at`: 2 for the lead byte of a
// double-byte character whose second byte follows, else 1. Text walked by it is never cut on
// a second byte, which can be the byte of "\" or of an ASCII letter.
std::size_t CharacterLength(std::string_view text, std::size_t at);

// Shift-JIS bytes to UTF-16 units (MultiByteToWideChar, code page 932).
std::wstring AnsiToWide(std::string_view text);

// UTF-16 units to Shift-JIS bytes (WideCharToMultiByte, code page 932, no default-character
// override).
std::string WideToAnsi(std::wstring_view text);

// The text composed to Unicode normal form C (NormalizeString): a kana and a following voicing
// mark U+3099, as macOS writes names, become one kana the code page holds. A text the platform
// cannot compose (a lone surrogate) comes back as it is.
std::wstring ComposeText(std::wstring_view text);

}  // namespace platform
