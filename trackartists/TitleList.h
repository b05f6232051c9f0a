#pragma once
// The track titles of an album's title.txt: one title per usable line, cleaned of track
// numbers, ".mp3"/".wav" extensions and leading separators, without duplicates. The file is
// UTF-16 when it begins with a UTF-16 byte-order mark, else UTF-8 when its whole text is valid
// UTF-8, otherwise Shift-JIS. Works without a window; the track-artist dialog shows the result.

#include <string>
#include <string_view>
#include <vector>

struct Album;

// Cleans one title in place: trims it, cuts one ".mp3" or ".wav" (any letter case), removes
// leading ASCII digits and then, in any mix, leading "-", "." and "_" and characters of code 32
// or less, and trims both ends again so that the title matches the key it is stored under in
// metadata.txt (keys are read trimmed).
void NormalizeTitle(std::string& title);

// The titles of a title.txt's bytes in file order, each the first spelling met of titles that
// are equal with letter case ignored. Bytes that begin with a UTF-16 byte-order mark are UTF-16
// in its order, up to the first U+0000. Otherwise a leading UTF-8 byte-order mark is skipped;
// the text up to the first NUL is UTF-8 when it is valid UTF-8 (each line decoded on its own, a
// line that breaks the decoding rule giving no title), else Shift-JIS, whose lines are cleaned
// as bytes. UTF-16 and UTF-8 lines are composed (normal form C) before they meet the code page,
// and `album` (when given) learns the original characters of each listed title that the code
// page lacks or that composing changed.
std::vector<std::string> TitlesOf(std::string_view bytes, Album* album = nullptr);

// TitlesOf the file, opened shared with other readers only. Raises
// "ファイル \"%s\". %s は開けません" when it cannot be opened.
std::vector<std::string> ReadTitles(const std::wstring& path, Album* album = nullptr);
