#pragma once
// One album as the editor holds it between a load and a save: the six album values, the
// artist map, the original characters of texts the code page lacks, and the key lines kept
// for keys the editor does not edit. The main window maps it to and from its controls; the
// track-artist dialog edits a copy of its map.

#include <string>
#include <string_view>
#include <vector>

#include "metadata/ArtistMap.h"
#include "metadata/OriginalTexts.h"

enum class AlbumKey { Album, AlbumArtist, Artist, Year, Genre, DiscNumber };

// One album key line as read: the trimmed value in the ANSI code page.
struct AlbumValue {
  AlbumKey key;
  std::string value;
  bool operator==(const AlbumValue&) const = default;
};

// The texts of the six album key lines. `year` and `discNumber` are what the year and disc
// boxes show: a list item's text, or a value that selects no item ("2024-03-15", "1/2").
struct AlbumRecord {
  std::string album, albumArtist, artist, year, genre, discNumber;
  bool operator==(const AlbumRecord&) const = default;
  // The text kept for a key.
  std::string& operator[](AlbumKey key);
};

struct Album {
  AlbumRecord values{};
  ArtistMap artists{};
  OriginalTexts originals{};
  // Key lines outside the ARTISTS section for keys that are none of the six, UTF-8 as they
  // stood in the file (trimmed): written back after DISCNUMBER unchanged.
  std::vector<std::string> otherKeyLines{};

  // Forgets everything: the album of a folder without metadata.txt.
  void Clear();
  // Reads metadata.txt in place of everything held (see ReadMetadataFile) and returns its
  // album key values in file order, for the window to apply one by one.
  std::vector<AlbumValue> Load(const std::wstring& path);
  // Replaces metadata.txt with what the album holds.
  void Save(const std::wstring& path) const;
  // The title list of a UTF-8 or UTF-16 title.txt tells the album the original characters of a
  // title it lists (see OriginalTexts::NoteListedTitle).
  void NoteListedTitle(const ConvertedText& line, const std::string& title) {
    originals.NoteListedTitle(line, title);
  }
};
