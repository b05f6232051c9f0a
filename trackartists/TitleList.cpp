#include "trackartists/TitleList.h"

#include <windows.h>

#include "metadata/Album.h"
#include "platform/CaseIgnoring.h"
#include "platform/CodePage.h"
#include "platform/Files.h"
#include "support/Text.h"

namespace {

bool IsAsciiDigit(char c) { return c >= '0' && c <= '9'; }

bool IsLeadingSeparator(char c) { return c == ' ' || c == '-' || c == '.' || c == '_'; }

bool IsCutExtension(std::string_view tail) {
  if (tail.size() != 4) return false;
  std::string upper = AsciiUpper(std::string(tail));
  return upper == ".MP3" || upper == ".WAV";
}

// The title of a line of a UTF-8 file, cleaned. A list item cannot hold a NUL, so a decoded
// U+0000 (C0 80) inside the title ends it, as the list would show it; one at either end is
// trimmed away first, like any other character of code 32 or less.
std::string TitleFromUtf8(std::string_view line) {
  std::optional<std::wstring> units = DecodeUtf8Line(line);
  if (!units) return std::string();
  std::wstring_view text = *units;
  while (!text.empty() && text.front() <= 32) text.remove_prefix(1);
  std::string title = platform::WideToAnsi(text.substr(0, text.find(L'\0')));
  NormalizeTitle(title);
  return title;
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
  // Spreadsheets export a tab between the number and the title.
  while (start < title.size() && static_cast<unsigned char>(title[start]) <= 32) ++start;
  title.erase(0, start);
}

std::vector<std::string> TitlesOf(std::string_view bytes, Album* album) {
  TitleFile file = SplitTitleFile(bytes);
  platform::CaseIgnoringList titles;
  for (const std::string& line : file.lines) {
    std::string title = file.utf8 ? TitleFromUtf8(line) : TitleFromShiftJis(line);
    if (title.empty() || !titles.AddNew(title)) continue;
    if (album && file.utf8) album->NoteListedTitle(line, title);
  }
  return titles.Texts();
}

std::vector<std::string> ReadTitles(const std::string& path, Album* album) {
  return TitlesOf(platform::ReadWholeFile(path, FILE_SHARE_READ), album);
}
