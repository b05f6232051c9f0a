#pragma once
// Text rules shared by the readers of metadata.txt and title.txt: trimming, upper-casing of
// key words, line splitting and the program's own UTF-8 decoding and encoding. Byte texts
// are ANSI (Shift-JIS) unless a function says UTF-8.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

// The text without the bytes of code 32 or less (blanks, control characters) at either end.
// Works on bytes: the ideographic space and the trail bytes of Shift-JIS are never removed.
std::string Trim(std::string_view text);
// The same, as a view into `text`, for readers that need to know where the trimmed part stands.
std::string_view TrimView(std::string_view text);

// The text with a-z turned into A-Z; every other byte stays.
std::string AsciiUpper(std::string text);

// The lines of a text: each ends at CR LF, a lone CR or a lone LF; a terminator at the very
// end adds no line; a NUL byte ends the text. Empty input gives no lines.
std::vector<std::string> SplitLines(std::string_view text);
// The same for UTF-16 units: a U+0000 ends the text.
std::vector<std::wstring> SplitLines(std::wstring_view text);

// The text without a UTF-8 byte-order mark (EF BB BF) at its very start. Other tools write
// one in front of UTF-8; it is no part of the first line.
std::string_view WithoutByteOrderMark(std::string_view bytes);

// Decodes one line of UTF-8 into UTF-16 units, byte by byte: a valid four-byte sequence (lead
// F0-F4, three continuation bytes, U+10000-U+10FFFF) becomes a surrogate pair; otherwise a lead
// byte with bit 0x20 set takes two continuation bytes, any other lead byte one; continuation
// bytes lie in 0x80-0xBF. Nothing else is checked (overlong forms and surrogates pass).
// Nullopt when the line breaks the rule anywhere: the whole line is then unusable.
std::optional<std::wstring> DecodeUtf8Line(std::string_view line);

// The bytes of a UTF-8 line without the characters of code 32 or less at either end, the
// characters read as DecodeUtf8Line reads them (so an encoded U+0000 at an end goes too). Empty
// for a line that breaks the decoding rule.
std::string_view TrimUtf8Line(std::string_view line);

// Encodes UTF-16 units as UTF-8: below 0x80 one byte, below 0x800 two, a surrogate pair four,
// any other unit (a lone surrogate included) three. U+0000 becomes C0 80, so that the text
// holds no NUL byte and decodes back to the same units. No byte-order mark.
std::string EncodeUtf8(std::wstring_view text);

// The UTF-16 units of bytes that begin with a UTF-16 byte-order mark, FF FE (little-endian) or
// FE FF (big-endian), read in that order without the mark; a last odd byte is no unit.
// Nullopt for bytes without such a mark.
std::optional<std::wstring> DecodeUtf16WithMark(std::string_view bytes);

// Whether the bytes form structurally valid UTF-8: every lead byte 0xC0-0xF7 is followed by
// as many bytes 0x80-0xBF as it announces. Overlong forms, surrogates and values above
// U+10FFFF pass; the empty text is valid.
bool IsValidUtf8(std::string_view bytes);
