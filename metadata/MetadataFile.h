#pragma once
// metadata.txt, the album's metadata file: UTF-8 text of "KEY=value" lines for the six album
// fields and an [ARTISTS] section of "title=artist" lines. The main window applies what the
// reader returns to its fields and hands its field texts to the writer; everything here works
// without a window.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "metadata/ArtistMap.h"
#include "metadata/OriginalTexts.h"
#include "platform/Files.h"

enum class AlbumKey { Album, AlbumArtist, Artist, Year, Genre, DiscNumber };

// One album key line as read: the trimmed value in the ANSI code page.
struct AlbumValue {
  AlbumKey key;
  std::string value;
  bool operator==(const AlbumValue&) const = default;
};

// What the writer puts on the album key lines. `year` and `discNumber` are the texts of the
// lists' selected items, empty when none is selected. `otherKeyLines` are the key lines read
// for keys the editor does not edit, UTF-8 as they stood: written after DISCNUMBER unchanged.
struct AlbumRecord {
  std::string album, albumArtist, artist, year, genre, discNumber;
  std::vector<std::string> otherKeyLines;
};

// The comment lines that every written file carries: two at the top, four before [ARTISTS].
extern const char* const HeaderComments[2];
extern const char* const ArtistsComments[4];

// Empties `artists`, `originals` and `otherKeyLines`, then reads the file (shared with other
// readers only) and returns its album key lines in file order, each to be applied in turn, so
// the last of a key wins; the ARTISTS section's entries go into `artists`, the original
// characters of values and entries that the ANSI code page cannot hold into `originals`, and
// the other key lines outside the ARTISTS section (a key that is none of the six) into
// `otherKeyLines`, in file order, as UTF-8 bytes trimmed of characters of code 32 or less.
// Raises the file-open error; malformed content is never an error.
std::vector<AlbumValue> ReadMetadataFile(const std::string& path, ArtistMap& artists,
                                         OriginalTexts* originals = nullptr,
                                         std::vector<std::string>* otherKeyLines = nullptr);

// The reading rules applied to the bytes of a file; empties the outputs first.
std::vector<AlbumValue> ParseMetadataText(std::string_view bytes, ArtistMap& artists,
                                          OriginalTexts* originals = nullptr,
                                          std::vector<std::string>* otherKeyLines = nullptr);

// A DISCNUMBER value as a signed 32-bit integer: optional "+" or "-", then decimal digits, or
// hexadecimal digits after "$", "x", "X", "0x" or "0X", and nothing else. Anything else, and
// any magnitude outside the 32-bit range, reads as 0.
int32_t ParseDiscNumber(std::string_view value);

// The disc list item that a DISCNUMBER value selects among `itemCount` items: n-1 for the
// number n read, or -1 (no selection) when n is not in 1..itemCount.
int DiscItemIndex(std::string_view value, int itemCount);

// The whole file as UTF-8 bytes, CR LF after every line. Field and entry texts are written
// as they stand, or as their original characters while they are still exactly the lossy form
// that `originals` noted; an entry whose artist is blank is left out.
std::string BuildMetadataText(const AlbumRecord& record, const ArtistMap& artists,
                              const OriginalTexts* originals = nullptr);

// Replaces the file's content with `bytes` in one step (see platform::ReplaceFileContents): a save
// that fails leaves the old file exactly as it was. `write` is a seam for tests.
void WriteMetadataFile(const std::string& path, const std::string& bytes,
                       const platform::WriteBytesFunction& write = {});
