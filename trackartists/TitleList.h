#pragma once
// The track titles of an album's title.txt: one title per usable line, cleaned of track
// numbers, ".mp3"/".wav" extensions and leading separators, without duplicates. The file is
// UTF-8 when its whole text is valid UTF-8, otherwise Shift-JIS. Works without a window; the
// track-artist dialog shows the result.

#include <string>
#include <string_view>
#include <vector>

class OriginalTexts;

// Cleans one title in place: trims it, cuts one ".mp3" or ".wav" (any letter case), removes
// leading ASCII digits and then leading blanks, "-", "." and "_", and trims the end again so
// that the title matches the key it is stored under in metadata.txt (keys are read trimmed).
void NormalizeTitle(std::string& title);

// The lines of a title.txt in the ANSI code page: a leading byte-order mark skipped, split as
// metadata.txt is split, and decoded from UTF-8 line by line when the text up to the first NUL
// is valid UTF-8 (a line that breaks the decoding rule becomes empty), else read as Shift-JIS,
// invalid byte pairs becoming the substitute character as the list control would show them.
std::vector<std::string> TitleFileLines(std::string_view bytes);

// The titles of a title.txt's bytes in file order, each the first spelling met of titles that
// are equal with letter case ignored. For a UTF-8 file, `originals` (when given) learns the
// original characters of each listed title that the code page lacks.
std::vector<std::string> TitlesOf(std::string_view bytes, OriginalTexts* originals = nullptr);

// TitlesOf the file, opened shared with other readers only. Raises
// "ファイル \"%s\". %s は開けません" when it cannot be opened.
std::vector<std::string> ReadTitles(const std::string& path, OriginalTexts* originals = nullptr);
