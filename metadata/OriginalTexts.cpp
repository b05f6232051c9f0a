#include "metadata/OriginalTexts.h"

#include <algorithm>
#include <bitset>
#include <functional>

#include "platform/CaseIgnoring.h"
#include "platform/CodePage.h"

namespace {

// Blocks of characters that never join the character before them when text is composed.
// Whatever lies outside them (combining marks, the kana voicing marks U+3099 and U+309A, Hangul
// vowel and final jamo, surrogates, scripts not listed) may join it, and the platform decides.
struct UnitRange {
  wchar_t first, last;
};
constexpr UnitRange kStarterBlocks[] = {
    {0x0000, 0x02FF}, {0x0370, 0x0482}, {0x048A, 0x052F}, {0x2000, 0x20CF},
    {0x2100, 0x2BFF}, {0x3000, 0x3029}, {0x3030, 0x3098}, {0x309B, 0x9FFF},
    {0xAC00, 0xD7A3}, {0xE000, 0xFAFF}, {0xFF00, 0xFFEF},
};

bool MayJoinPrevious(wchar_t unit) {
  for (const UnitRange& range : kStarterBlocks)
    if (unit >= range.first && unit <= range.last) return false;
  return true;
}

// Whether a character is its own ANSI form: it converts to the code page and back unchanged
// and cannot join the character before it. The code page converts character by character, so
// a text of such characters is exact; each unit is asked once, which keeps a load of exact
// text nearly as fast as the conversion alone.
bool IsPlain(wchar_t unit) {
  static std::bitset<65536> known, plain;
  if (unit < 0x80) return true;
  if (!known[unit]) {
    std::wstring_view alone(&unit, 1);
    plain[unit] =
        !MayJoinPrevious(unit) && platform::AnsiToWide(platform::WideToAnsi(alone)) == alone;
    known[unit] = true;
  }
  return plain[unit];
}

bool IsSurrogatePair(std::wstring_view units, size_t i) {
  return i + 1 < units.size() && units[i] >= 0xD800 && units[i] <= 0xDBFF &&
         units[i + 1] >= 0xDC00 && units[i + 1] <= 0xDFFF;
}

size_t CharacterEnd(std::wstring_view units, size_t i) {
  return i + (IsSurrogatePair(units, i) ? 2 : 1);
}

// How many units at the head of `sequence` composing left as they were, in whole characters.
size_t UnchangedHead(std::wstring_view sequence, std::wstring_view composed) {
  size_t same = 0;
  while (same < sequence.size() && same < composed.size() && sequence[same] == composed[same])
    ++same;
  if (same < sequence.size() && same > 0 && IsSurrogatePair(sequence, same - 1)) --same;
  return same;
}

std::string AnsiOf(std::wstring_view piece) {
  if (piece.size() == 1 && piece[0] < 0x80) return std::string(1, static_cast<char>(piece[0]));
  return platform::WideToAnsi(piece);
}

}  // namespace

ConvertedText::ConvertedText(std::wstring units) : FUnits(std::move(units)) {
  if (std::all_of(FUnits.begin(), FUnits.end(), IsPlain)) {
    FAnsi = platform::WideToAnsi(FUnits);
    return;
  }
  // Not exact: compose and convert again piece by piece to learn where each piece went. Of a
  // character and the units after it that may join it, each character at the head that
  // composing leaves as it was is a piece, and the composed rest is one: the "=" or blank
  // before a decomposed value is then no part of the value's piece.
  std::wstring_view text = FUnits;
  std::wstring composed;
  std::string joined;
  auto addPiece = [&](size_t at, std::wstring_view piece) {
    FStarts.emplace_back(joined.size(), at);
    joined += AnsiOf(piece);
    composed += piece;
  };
  for (size_t i = 0; i < text.size();) {
    size_t end = CharacterEnd(text, i);
    while (end < text.size() && MayJoinPrevious(text[end])) ++end;
    std::wstring_view sequence = text.substr(i, end - i);
    std::wstring joinedUp(end > CharacterEnd(text, i) ? platform::ComposeText(sequence) : sequence);
    size_t same = UnchangedHead(sequence, joinedUp);
    for (size_t at = 0, next; at < same; at = next) {
      next = CharacterEnd(sequence, at);
      addPiece(i + at, sequence.substr(at, next - at));
    }
    if (same < sequence.size()) addPiece(i + same, std::wstring_view(joinedUp).substr(same));
    i = end;
  }
  FStarts.emplace_back(joined.size(), FUnits.size());
  FAnsi = platform::WideToAnsi(composed);
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

void OriginalTexts::NoteValue(AlbumKey key, const ConvertedText& line, std::string_view value,
                              std::string_view shown) {
  std::optional<std::wstring> original = line.OriginalOf(value);
  if (!original && shown.size() < value.size()) original = platform::AnsiToWide(value);
  if (original)
    FValues[key] = {std::string(shown), std::move(*original)};
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

void OriginalTexts::NoteListedTitle(const ConvertedText& line, const std::string& title) {
  if (title.empty() || line.Exact()) return;
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
