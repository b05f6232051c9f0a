#include "trackartists/TitleList.h"

#include <windows.h>

#include "metadata/Album.h"
#include "platform/CaseIgnoring.h"
#include "platform/CodePage.h"
#include "platform/Files.h"
#include "support/Text.h"

namespace {

bool IsAsciiDigit(char c) { return c >= '0' && c <= '9'; }

// Spreadsheets export a tab between the number and the title, also around a "-".
bool IsLeadingSeparator(char c) {
  return static_cast<unsigned char>(c) <= 32 || c == '-' || c == '.' || c == '_';
}

bool IsCutExtension(std::string_view tail) {
  if (tail.size() != 4) return false;
  std::string upper = AsciiUpper(std::string(tail));
  return upper == ".MP3" || upper == ".WAV";
}

// The title of a line of a Shift-JIS file: its bytes are cleaned as they stand, so that a
// stray lead byte cannot swallow the byte after it, and only the result is made well formed as
// the platform reads it (invalid byte pairs and a lone lead byte become the substitute
// character). The list control holds its items in UTF-16 and gives back this form anyway; a
// raw lead byte at the very end would make its conversion read past the terminator.
std::string TitleFromShiftJis(std::string_view line) {
  std::string title(line);
  NormalizeTitle(title);
  return platform::WideToAnsi(platform::AnsiToWide(title));
}

// The titles of a file in file order, each the first spelling met of titles that are equal
// with letter case ignored.
class TitleCollector {
 public:
  explicit TitleCollector(Album* album) : album_(album) {}
  // True when the title is listed: not empty and not listed already.
  bool Add(const std::string& title) { return !title.empty() && titles_.AddNew(title); }
  void AddUnits(std::wstring_view line);
  const std::vector<std::string>& Texts() const { return titles_.Texts(); }

 private:
  Album* album_;
  platform::CaseIgnoringList titles_;
};

// A line of a UTF-8 or UTF-16 file. A list item cannot hold a NUL, so a decoded U+0000 (C0 80)
// inside the title ends it, as the list would show it; one at either end is trimmed away
// first, like any other character of code 32 or less.
void TitleCollector::AddUnits(std::wstring_view text) {
  while (!text.empty() && text.front() <= 32) text.remove_prefix(1);
  ConvertedText line(std::wstring(text.substr(0, text.find(L'\0'))));
  std::string title = line.Ansi();
  NormalizeTitle(title);
  if (Add(title) && album_) album_->NoteListedTitle(line, title);
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

std::vector<std::string> TitlesOf(std::string_view bytes, Album* album) {
  TitleCollector titles(album);
  if (std::optional<std::wstring> units = DecodeUtf16WithMark(bytes)) {
    for (const std::wstring& line : SplitLines(*units)) titles.AddUnits(line);
    return titles.Texts();
  }
  bytes = WithoutByteOrderMark(bytes);
  bool utf8 = IsValidUtf8(bytes.substr(0, bytes.find('\0')));  // decided once for the file
  for (const std::string& line : SplitLines(bytes)) {
    if (!utf8)
      titles.Add(TitleFromShiftJis(line));
    else if (std::optional<std::wstring> lineUnits = DecodeUtf8Line(line))
      titles.AddUnits(*lineUnits);
  }
  return titles.Texts();
}

std::vector<std::string> ReadTitles(const std::wstring& path, Album* album) {
  return TitlesOf(platform::ReadWholeFile(path, FILE_SHARE_READ), album);
}
