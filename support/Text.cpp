#include "support/Text.h"

#include <algorithm>

namespace {

bool IsBlankOrControl(char c) { return static_cast<unsigned char>(c) <= 32; }

bool IsContinuation(unsigned char c) { return c >= 0x80 && c <= 0xBF; }

}  // namespace

std::string Trim(std::string_view text) { return std::string(TrimView(text)); }

std::string_view TrimView(std::string_view text) {
  size_t begin = 0;
  size_t end = text.size();
  while (begin < end && IsBlankOrControl(text[begin])) ++begin;
  while (end > begin && IsBlankOrControl(text[end - 1])) --end;
  return text.substr(begin, end - begin);
}

std::string AsciiUpper(std::string text) {
  for (char& c : text) {
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  }
  return text;
}

namespace {

template <typename Char>
std::vector<std::basic_string<Char>> SplitLinesOf(std::basic_string_view<Char> text) {
  static constexpr Char kTerminators[] = {'\r', '\n', 0};
  text = text.substr(0, text.find(Char(0)));
  std::vector<std::basic_string<Char>> lines;
  size_t start = 0;
  while (start < text.size()) {
    size_t end = text.find_first_of(kTerminators, start);
    if (end == text.npos) end = text.size();
    lines.emplace_back(text.substr(start, end - start));
    start = end + 1;
    if (end < text.size() && text[end] == '\r' && start < text.size() && text[start] == '\n') {
      ++start;
    }
  }
  return lines;
}

}  // namespace

std::vector<std::string> SplitLines(std::string_view text) { return SplitLinesOf(text); }

std::vector<std::wstring> SplitLines(std::wstring_view text) { return SplitLinesOf(text); }

std::string_view WithoutByteOrderMark(std::string_view bytes) {
  constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";
  if (bytes.substr(0, kByteOrderMark.size()) == kByteOrderMark) {
    bytes.remove_prefix(kByteOrderMark.size());
  }
  return bytes;
}

namespace {

// A four-byte sequence at `at` as UTF-8 has it: lead F0-F4, three continuation bytes and a
// value in U+10000-U+10FFFF. Returns 4 with the value, or 0 when the bytes are no such
// sequence and the older two- and three-byte rule reads them.
size_t DecodeFourBytes(std::string_view line, size_t at, char32_t& value) {
  unsigned char lead = static_cast<unsigned char>(line[at]);
  if (lead < 0xF0 || lead > 0xF4 || line.size() - at < 4) return 0;
  char32_t decoded = lead & 0x07;
  for (size_t i = 1; i < 4; ++i) {
    unsigned char next = static_cast<unsigned char>(line[at + i]);
    if (!IsContinuation(next)) return 0;
    decoded = (decoded << 6) | (next & 0x3F);
  }
  if (decoded < 0x10000 || decoded > 0x10FFFF) return 0;
  value = decoded;
  return 4;
}

// Decodes the character that starts at `at` into `value`; returns its length in bytes, or 0
// when it breaks the rule.
size_t DecodeUtf8Char(std::string_view line, size_t at, char32_t& value) {
  unsigned char lead = static_cast<unsigned char>(line[at]);
  if (lead < 0x80) {
    value = lead;
    return 1;
  }
  if (size_t length = DecodeFourBytes(line, at, value)) return length;
  size_t following = (lead & 0x20) ? 2 : 1;
  if (line.size() - at - 1 < following) return 0;
  unsigned char second = static_cast<unsigned char>(line[at + 1]);
  if (!IsContinuation(second)) return 0;
  if (following == 1) {
    value = ((lead & 0x1F) << 6) | (second & 0x3F);
    return 2;
  }
  unsigned char third = static_cast<unsigned char>(line[at + 2]);
  if (!IsContinuation(third)) return 0;
  value = ((lead & 0x0F) << 12) | ((second & 0x3F) << 6) | (third & 0x3F);
  return 3;
}

// A character above U+FFFF takes a surrogate pair.
void AppendUnits(std::wstring& units, char32_t value) {
  if (value < 0x10000) {
    units.push_back(static_cast<wchar_t>(value));
    return;
  }
  value -= 0x10000;
  units.push_back(static_cast<wchar_t>(0xD800 | (value >> 10)));
  units.push_back(static_cast<wchar_t>(0xDC00 | (value & 0x3FF)));
}

}  // namespace

std::optional<std::wstring> DecodeUtf8Line(std::string_view line) {
  std::wstring units;
  units.reserve(line.size());
  char32_t value;
  for (size_t i = 0, length; i < line.size(); i += length) {
    length = DecodeUtf8Char(line, i, value);
    if (length == 0) return std::nullopt;
    AppendUnits(units, value);
  }
  return units;
}

std::string_view TrimUtf8Line(std::string_view line) {
  size_t begin = line.size(), end = 0;
  char32_t value;
  for (size_t i = 0, length; i < line.size(); i += length) {
    length = DecodeUtf8Char(line, i, value);
    if (length == 0) return {};
    if (value <= 32) continue;
    begin = std::min(begin, i);
    end = i + length;
  }
  return begin < end ? line.substr(begin, end - begin) : std::string_view();
}

namespace {

bool IsHighSurrogate(unsigned unit) { return unit >= 0xD800 && unit <= 0xDBFF; }

bool IsLowSurrogate(unsigned unit) { return unit >= 0xDC00 && unit <= 0xDFFF; }

}  // namespace

std::string EncodeUtf8(std::wstring_view text) {
  std::string bytes;
  bytes.reserve(text.size() * 3);
  for (size_t i = 0; i < text.size(); ++i) {
    unsigned value = static_cast<unsigned>(text[i]) & 0xFFFF;
    if (value == 0) {
      // The decoder gets U+0000 only from C0 80; a raw NUL byte would end the text there.
      bytes.append("\xC0\x80");
    } else if (value < 0x80) {
      bytes.push_back(static_cast<char>(value));
    } else if (value < 0x800) {
      bytes.push_back(static_cast<char>(0xC0 | (value >> 6)));
      bytes.push_back(static_cast<char>(0x80 | (value & 0x3F)));
    } else if (IsHighSurrogate(value) && i + 1 < text.size() && IsLowSurrogate(text[i + 1])) {
      value = 0x10000 + ((value & 0x3FF) << 10) + (text[++i] & 0x3FF);
      bytes.push_back(static_cast<char>(0xF0 | (value >> 18)));
      bytes.push_back(static_cast<char>(0x80 | ((value >> 12) & 0x3F)));
      bytes.push_back(static_cast<char>(0x80 | ((value >> 6) & 0x3F)));
      bytes.push_back(static_cast<char>(0x80 | (value & 0x3F)));
    } else {
      bytes.push_back(static_cast<char>(0xE0 | (value >> 12)));
      bytes.push_back(static_cast<char>(0x80 | ((value >> 6) & 0x3F)));
      bytes.push_back(static_cast<char>(0x80 | (value & 0x3F)));
    }
  }
  return bytes;
}

std::optional<std::wstring> DecodeUtf16WithMark(std::string_view bytes) {
  bool little = bytes.starts_with("\xFF\xFE"), big = bytes.starts_with("\xFE\xFF");
  if (!little && !big) return std::nullopt;
  std::wstring units;
  units.reserve(bytes.size() / 2);
  for (size_t i = 2; i + 1 < bytes.size(); i += 2) {
    unsigned first = static_cast<unsigned char>(bytes[i]);
    unsigned second = static_cast<unsigned char>(bytes[i + 1]);
    units.push_back(static_cast<wchar_t>(little ? first | (second << 8) : (first << 8) | second));
  }
  return units;
}

bool IsValidUtf8(std::string_view bytes) {
  int expected = 0;
  for (char c : bytes) {
    unsigned char byte = static_cast<unsigned char>(c);
    if (expected > 0) {
      if (!IsContinuation(byte)) return false;
      --expected;
    } else if (byte < 0x80) {
      continue;
    } else if (byte >= 0xC0 && byte <= 0xDF) {
      expected = 1;
    } else if (byte >= 0xE0 && byte <= 0xEF) {
      expected = 2;
    } else if (byte >= 0xF0 && byte <= 0xF7) {
      expected = 3;
    } else {
      return false;
    }
  }
  return expected == 0;
}
