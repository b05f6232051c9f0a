#pragma once
// The characters of an album that the ANSI code page lacks. Text is held in Shift-JIS, but
// metadata.txt and a UTF-8 or UTF-16 title.txt can hold characters Shift-JIS lacks ("Beyoncé",
// "Motörhead"), which the conversion replaces by look-alikes or a substitute. For each text
// whose conversion was not exact the album keeps its original characters beside the ANSI form
// the windows show, so that a save writes a text the user left alone exactly as it was read.

#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <utility>
#include <vector>

enum class AlbumKey;

// A text converted from UTF-16 units to the ANSI code page that knows, when the conversion was
// not exact, which characters each part of the ANSI form came from. Decomposed characters (a
// kana and U+3099, as macOS writes names) are composed first, so the ANSI form shows them as
// one character, and the original keeps them as they came.
class ConvertedText {
 public:
  explicit ConvertedText(std::wstring units);
  const std::string& Ansi() const { return FAnsi; }
  // Whether the ANSI form is exactly the units: no part of it has an original.
  bool Exact() const { return FStarts.empty(); }
  // The characters that `piece`, a view into Ansi(), was converted from, when converting the
  // piece back does not give them; nullopt when it does, or when the piece cuts a character.
  std::optional<std::wstring> OriginalOf(std::string_view piece) const;

 private:
  std::wstring FUnits;
  std::string FAnsi;
  // Empty when the conversion was exact. Otherwise where each character starts in FAnsi and in
  // FUnits, and a last pair for both ends.
  std::vector<std::pair<size_t, size_t>> FStarts;
};

// The originals of one loaded album: album values per key, entry titles, and entry artists per
// entry. The main window owns one and forgets it with each load and reset.
class OriginalTexts {
 public:
  void Clear();

  // The metadata.txt reader notes every value and entry it reads, each a piece of its line;
  // a text read exactly forgets what an earlier line of the same key or entry noted. `shown`
  // is what the window shows of the value: all of it, or the head before a NUL (read from
  // C0 80), which a field cannot hold; the value is then kept whole as read.
  void NoteValue(AlbumKey key, const ConvertedText& line, std::string_view value,
                 std::string_view shown);
  void NoteEntry(const ConvertedText& line, std::string_view title, std::string_view artist);

  // The title list of a UTF-8 or UTF-16 title.txt: `line` is one line of the file, converted,
  // and `title` what the list made of it (trimmed and cleaned, so a part of the line's ANSI
  // form). Keeps the title's original characters when its conversion was not exact, so that an
  // artist registered for it is written under the title as the track list spells it; overrides
  // what metadata.txt gave for the same ANSI title. Called for each title the list appends, not
  // for a duplicate it drops: the first spelling is the one listed.
  void NoteListedTitle(const ConvertedText& line, const std::string& title);

  // For the writer: the original characters of a text that is still exactly the lossy form
  // read for that place; nullptr otherwise (the text is exact, or the user changed it). An
  // entry's artist is found for the same title as the artist map finds titles, so that an
  // entry registered again under another letter case keeps its artist's original.
  const std::wstring* OriginalValue(AlbumKey key, const std::string& text) const;
  const std::wstring* OriginalTitle(const std::string& title) const;
  const std::wstring* OriginalArtist(const std::string& title, const std::string& artist) const;

 private:
  struct LostArtist {
    std::string title;
    std::wstring original;
  };

  std::map<AlbumKey, std::pair<std::string, std::wstring>> FValues;
  std::unordered_map<std::string, std::wstring> FTitles;
  // By the artist's ANSI text, the entries it was read for: the same text under another title
  // is another artist.
  std::unordered_map<std::string, std::vector<LostArtist>> FArtists;
};
