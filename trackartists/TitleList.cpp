#include "trackartists/TitleList.h"

#include <windows.h>

#include "metadata/OriginalTexts.h"
#include "support/CaseIgnoringSet.h"
#include "support/Text.h"
#include "toolkit/CodePage.h"
#include "toolkit/Files.h"

namespace {

bool IsAsciiDigit(char c) { return c >= '0' && c <= '9'; }

bool IsLeadingSeparator(char c) { return c == ' ' || c == '-' || c == '.' || c == '_'; }

bool IsCutExtension(std::string_view tail) {
  if (tail.size() != 4) return false;
  std::string upper = AsciiUpper(std::string(tail));
  return upper == ".MP3" || upper == ".WAV";
}

// The one place where a title line of a UTF-8 file becomes ANSI text. A list item cannot
// hold a NUL, so a decoded U+0000 (C0 80) ends the title, as the list would show it.
std::string TitleFromUtf8(std::string_view line) {
  std::optional<std::wstring> units = DecodeUtf8Line(line);
  if (!units) return std::string();
  return tk::WideToAnsi(std::wstring_view(*units).substr(0, units->find(L'\0')));
}

// A Shift-JIS line as the platform reads it: invalid byte pairs and a lead byte left without
// its trail byte become the substitute character. The list control holds its items in
// UTF-16 and gives back this form anyway; a raw lead byte at the very end would make its
// conversion read past the terminator.
std::string WellFormedAnsi(std::string_view line) { return tk::WideToAnsi(tk::AnsiToWide(line)); }

// The lines of a title.txt as read, a leading byte-order mark skipped, and whether the text
// up to the first NUL is UTF-8: decided once for the whole file.
struct TitleFile {
  std::vector<std::string> lines;
  bool utf8;
};

TitleFile SplitTitleFile(std::string_view bytes) {
  bytes = WithoutByteOrderMark(bytes);
  return {SplitLines(bytes), IsValidUtf8(bytes.substr(0, bytes.find('\0')))};
}

std::string ConvertedLine(const std::string& line, bool utf8) {
  return utf8 ? TitleFromUtf8(line) : WellFormedAnsi(line);
}

}  // namespace

void NormalizeTitle(std::string& title) {
  title = Trim(title);
  size_t dot = title.rfind('.');
  if (dot != std::string::npos && IsCutExtension(std::string_view(title).substr(dot)))
    title.resize(dot);
  // A blank before the extension would stay in the title, but not in the key read back.
  while (!title.empty() && static_cast<unsigned char>(title.back()) <= 32) title.pop_back();
  size_t start = 0;
  while (start < title.size() && IsAsciiDigit(title[start])) ++start;
  while (start < title.size() && IsLeadingSeparator(title[start])) ++start;
  title.erase(0, start);
}

std::vector<std::string> TitleFileLines(std::string_view bytes) {
  TitleFile file = SplitTitleFile(bytes);
  for (std::string& line : file.lines) line = ConvertedLine(line, file.utf8);
  return file.lines;
}

std::vector<std::string> TitlesOf(std::string_view bytes, OriginalTexts* originals) {
  TitleFile file = SplitTitleFile(bytes);
  std::vector<std::string> titles;
  CaseIgnoringSet seen;
  for (const std::string& line : file.lines) {
    std::string title = ConvertedLine(line, file.utf8);
    NormalizeTitle(title);
    if (title.empty() || !seen.Insert(title)) continue;
    if (originals && file.utf8) originals->NoteListedTitle(line, title);
    titles.push_back(std::move(title));
  }
  return titles;
}

std::vector<std::string> ReadTitles(const std::string& path, OriginalTexts* originals) {
  return TitlesOf(tk::ReadWholeFile(path, FILE_SHARE_READ), originals);
}
