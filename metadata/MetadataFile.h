#pragma once
// metadata.txt, the album's metadata file: UTF-8 text of "KEY=value" lines for the six album
// fields and an [ARTISTS] section of "title=artist" lines. The main window applies what the
// reader returns to its fields and hands its field texts to the writer; everything here works
// without a window.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "metadata/Album.h"

// The comment lines that every written file carries: two at the top, four before [ARTISTS].
extern const char* const HeaderComments[2];
extern const char* const ArtistsComments[4];

// Empties `album`, then reads the file (shared with other readers only) and returns its album
// key lines in file order, each to be applied in turn, so the last of a key wins; the album's
// values become those last values. A value holding a NUL (read from C0 80) is returned up to
// the NUL, as a field shows it, and its whole text kept in the originals. The ARTISTS section's
// entries go into its artist map, the original characters of values and entries that the ANSI code
// page cannot hold into its originals, and the other key lines outside the ARTISTS section (a key
// that is none of the six) into its kept lines, in file order, as UTF-8 bytes trimmed of characters
// of code 32 or less. Raises the file-open error; malformed content is never an error.
std::vector<AlbumValue> ReadMetadataFile(const std::wstring& path, Album& album);

// The reading rules applied to the bytes of a file; empties `album` first.
std::vector<AlbumValue> ParseMetadataText(std::string_view bytes, Album& album);

// A DISCNUMBER value as a signed 32-bit integer: optional "+" or "-", then decimal digits, or
// hexadecimal digits after "$", "x", "X", "0x" or "0X", and nothing else. Anything else, and
// any magnitude outside the 32-bit range, reads as 0.
int32_t ParseDiscNumber(std::string_view value);

// The disc list item that a DISCNUMBER value selects among `itemCount` items: n-1 for the
// number n read, or -1 (no selection) when n is not in 1..itemCount.
int DiscItemIndex(std::string_view value, int itemCount);

// The whole file as UTF-8 bytes, CR LF after every line. Values and entries are written as
// they stand, or as their original characters while they are still exactly the lossy form
// the album's originals noted; an entry whose artist is blank is left out; the kept key lines
// follow DISCNUMBER as they were read.
std::string BuildMetadataText(const Album& album);

// Whether the line the writer writes for the entry `title`, `artist` reads back as exactly
// this entry. Not for a title containing "=", beginning with "#", or a line "[...]" whose last
// byte is "]" (also as the trail byte of a double-byte character): the reader splits, skips
// or takes it as a section header. Nor for blanks at either end, which the reader trims, nor
// for an empty artist, which is not written.
bool EntryReadsBack(std::string_view title, std::string_view artist);
