#include "metadata/OriginalTexts.h"

#include <algorithm>
#include <bitset>
#include <functional>

#include "platform/CaseIgnoring.h"
#include "platform/CodePage.h"
#include "support/Text.h"

namespace {

bool IsAscii(std::wstring_view units) {
  return std::all_of(units.begin(), units.end(), [](wchar_t unit) { return unit < 0x80; });
}

// Whether a character converts to the code page and back unchanged. The code page converts
// character by character, so a text is exact when each of its characters is; each unit is
// asked once, which keeps a load of exact text nearly as fast as the conversion alone.
bool RoundTrips(wchar_t unit) {
  static std::bitset<65536> known, exact;
  if (unit < 0x80) return true;
  if (!known[unit]) {
    std::wstring_view alone(&unit, 1);
    exact[unit] = platform::AnsiToWide(platform::WideToAnsi(alone)) == alone;
    known[unit] = true;
  }
  return exact[unit];
}

bool IsSurrogatePair(std::wstring_view units, size_t i) {
  return i + 1 < units.size() && units[i] >= 0xD800 && units[i] <= 0xDBFF &&
         units[i + 1] >= 0xDC00 && units[i + 1] <= 0xDFFF;
}

}  // namespace

ConvertedText::ConvertedText(std::wstring units)
    : FUnits(std::move(units)), FAnsi(platform::WideToAnsi(FUnits)) {
  if (std::all_of(FUnits.begin(), FUnits.end(), RoundTrips)) return;
  // Not exact: convert again character by character to learn where each one went. ASCII is
  // the same in the code page and needs no call.
  std::string joined;
  for (size_t i = 0; i < FUnits.size();) {
    size_t length = IsSurrogatePair(FUnits, i) ? 2 : 1;
    FStarts.emplace_back(joined.size(), i);
    if (FUnits[i] < 0x80)
      joined.push_back(static_cast<char>(FUnits[i]));
    else
      joined += platform::WideToAnsi(std::wstring_view(FUnits).substr(i, length));
    i += length;
  }
  FStarts.emplace_back(joined.size(), FUnits.size());
  // Should the platform convert a character differently inside a text, no part can be told
  // apart; the text is then treated as read, as before.
  if (joined != FAnsi) FStarts.clear();
}

std::optional<std::wstring> ConvertedText::OriginalOf(std::string_view piece) const {
  if (FStarts.empty() || piece.empty()) return std::nullopt;
  std::less<const char*> before;
  if (before(piece.data(), FAnsi.data()) ||
      before(FAnsi.data() + FAnsi.size(), piece.data() + piece.size()))
    return std::nullopt;
  size_t begin = static_cast<size_t>(piece.data() - FAnsi.data());
  auto unitAt = [this](size_t ansiOffset) -> std::optional<size_t> {
    auto at =
        std::lower_bound(FStarts.begin(), FStarts.end(), std::make_pair(ansiOffset, size_t{0}));
    if (at == FStarts.end() || at->first != ansiOffset) return std::nullopt;
    return at->second;
  };
  std::optional<size_t> first = unitAt(begin), last = unitAt(begin + piece.size());
  if (!first || !last) return std::nullopt;
  std::wstring original = FUnits.substr(*first, *last - *first);
  if (platform::AnsiToWide(piece) == original) return std::nullopt;
  return original;
}

void OriginalTexts::Clear() {
  FValues.clear();
  FTitles.clear();
  FArtists.clear();
}

void OriginalTexts::NoteValue(AlbumKey key, const ConvertedText& line, std::string_view value) {
  if (std::optional<std::wstring> original = line.OriginalOf(value))
    FValues[key] = {std::string(value), std::move(*original)};
  else
    FValues.erase(key);
}

void OriginalTexts::NoteEntry(const ConvertedText& line, std::string_view title,
                              std::string_view artist) {
  std::optional<std::wstring> originalTitle = line.OriginalOf(title);
  std::optional<std::wstring> originalArtist = line.OriginalOf(artist);
  // An exact entry while nothing is noted, the common case, needs no look-up.
  if (!originalTitle && !originalArtist && FTitles.empty() && FArtists.empty()) return;
  std::string titleText(title), artistText(artist);
  if (originalTitle)
    FTitles[titleText] = std::move(*originalTitle);
  else
    FTitles.erase(titleText);
  // Like the artist map, the entry of the same title takes this artist.
  std::vector<LostArtist>& entries = FArtists[artistText];
  std::erase_if(entries, [&](const LostArtist& lost) {
    return platform::SameTextIgnoringCase(lost.title, titleText);
  });
  if (originalArtist) entries.push_back({titleText, std::move(*originalArtist)});
  if (entries.empty()) FArtists.erase(artistText);
}

void OriginalTexts::NoteListedTitle(std::string_view utf8Line, const std::string& title) {
  if (title.empty()) return;
  std::optional<std::wstring> units = DecodeUtf8Line(utf8Line);
  if (!units || IsAscii(*units)) return;
  ConvertedText line(std::move(*units));
  // The list cut only a track number and separators off the head and an extension off the
  // tail, all single bytes, so the title stands in the line once but for pathological lines;
  // from the end, the first place whose characters were lost is the title.
  std::string_view ansi = line.Ansi();
  for (size_t at = ansi.rfind(title); at != std::string_view::npos;
       at = at == 0 ? std::string_view::npos : ansi.rfind(title, at - 1)) {
    if (std::optional<std::wstring> original = line.OriginalOf(ansi.substr(at, title.size()))) {
      FTitles[title] = std::move(*original);
      return;
    }
  }
}

const std::wstring* OriginalTexts::OriginalValue(AlbumKey key, const std::string& text) const {
  auto found = FValues.find(key);
  return found != FValues.end() && found->second.first == text ? &found->second.second : nullptr;
}

const std::wstring* OriginalTexts::OriginalTitle(const std::string& title) const {
  if (FTitles.empty()) return nullptr;
  auto found = FTitles.find(title);
  return found == FTitles.end() ? nullptr : &found->second;
}

const std::wstring* OriginalTexts::OriginalArtist(const std::string& title,
                                                  const std::string& artist) const {
  if (FArtists.empty()) return nullptr;
  auto found = FArtists.find(artist);
  if (found == FArtists.end()) return nullptr;
  for (const LostArtist& lost : found->second)
    if (platform::SameTextIgnoringCase(lost.title, title)) return &lost.original;
  return nullptr;
}
