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

std::vector<std::string> SplitLines(std::string_view text) {
  text = text.substr(0, text.find('\0'));
  std::vector<std::string> lines;
  size_t start = 0;
  while (start < text.size()) {
    size_t end = text.find_first_of("\r\n", start);
    if (end == std::string_view::npos) end = text.size();
    lines.emplace_back(text.substr(start, end - start));
    start = end + 1;
    if (end < text.size() && text[end] == '\r' && start < text.size() && text[start] == '\n') {
      ++start;
    }
  }
  return lines;
}

std::string_view WithoutByteOrderMark(std::string_view bytes) {
  constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";
  if (bytes.substr(0, kByteOrderMark.size()) == kByteOrderMark) {
    bytes.remove_prefix(kByteOrderMark.size());
  }
  return bytes;
}

namespace {

// Decodes the character that starts at `at` into `unit`; returns its length in bytes, or 0
// when it breaks the rule.
size_t DecodeUtf8Char(std::string_view line, size_t at, wchar_t& unit) {
  unsigned char lead = static_cast<unsigned char>(line[at]);
  if (lead < 0x80) {
    unit = lead;
    return 1;
  }
  size_t following = (lead & 0x20) ? 2 : 1;
  if (line.size() - at - 1 < following) return 0;
  unsigned char second = static_cast<unsigned char>(line[at + 1]);
  if (!IsContinuation(second)) return 0;
  if (following == 1) {
    unit = static_cast<wchar_t>(((lead & 0x1F) << 6) | (second & 0x3F));
    return 2;
  }
  unsigned char third = static_cast<unsigned char>(line[at + 2]);
  if (!IsContinuation(third)) return 0;
  unit = static_cast<wchar_t>(((lead & 0x0F) << 12) | ((second & 0x3F) << 6) | (third & 0x3F));
  return 3;
}

}  // namespace

std::optional<std::wstring> DecodeUtf8Line(std::string_view line) {
  std::wstring units;
  units.reserve(line.size());
  wchar_t unit;
  for (size_t i = 0, length; i < line.size(); i += length) {
    length = DecodeUtf8Char(line, i, unit);
    if (length == 0) return std::nullopt;
    units.push_back(unit);
  }
  return units;
}

std::string_view TrimUtf8Line(std::string_view line) {
  size_t begin = line.size(), end = 0;
  wchar_t unit;
  for (size_t i = 0, length; i < line.size(); i += length) {
    length = DecodeUtf8Char(line, i, unit);
    if (length == 0) return {};
    if (unit <= 32) continue;
    begin = std::min(begin, i);
    end = i + length;
  }
  return begin < end ? line.substr(begin, end - begin) : std::string_view();
}

std::string EncodeUtf8(std::wstring_view text) {
  std::string bytes;
  bytes.reserve(text.size() * 3);
  for (wchar_t unit : text) {
    unsigned value = static_cast<unsigned>(unit) & 0xFFFF;
    if (value == 0) {
      // The decoder gets U+0000 only from C0 80; a raw NUL byte would end the text there.
      bytes.append("\xC0\x80");
    } else if (value < 0x80) {
      bytes.push_back(static_cast<char>(value));
    } else if (value < 0x800) {
      bytes.push_back(static_cast<char>(0xC0 | (value >> 6)));
      bytes.push_back(static_cast<char>(0x80 | (value & 0x3F)));
    } else {
      bytes.push_back(static_cast<char>(0xE0 | (value >> 12)));
      bytes.push_back(static_cast<char>(0x80 | ((value >> 6) & 0x3F)));
      bytes.push_back(static_cast<char>(0x80 | (value & 0x3F)));
    }
  }
  return bytes;
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
