#pragma once
// Files and paths, through the platform's "A" calls. Paths are ANSI (Shift-JIS) text.

#include <string>
#include <windows.h>

namespace tk {

// True when the path names an existing file; false for a folder or nothing.
bool FileExists(const std::string& path);

// The path made absolute (GetFullPathNameA); the path itself when that fails.
std::string ExpandFileName(const std::string& path);

// The path cut after its last "\" or ":", the delimiter kept. A byte 0x5C that is the
// second byte of a double-byte character is not a delimiter.
std::string ExtractFilePath(const std::string& path);

// The path with the text after the last "." of its file name replaced by `extension`
// (given with its "."), or with `extension` appended when the name has none.
std::string ChangeFileExt(const std::string& path, const std::string& extension);

// The system's message text for an error code, with trailing blanks, control characters
// and "." removed; empty when the text does not fit in 256 bytes.
std::string SysErrorMessage(DWORD code);

// The whole content of a file opened for reading with the given sharing mode.
// Raises "ファイル \"%s\". %s は開けません" with the full path when it cannot be opened.
std::string ReadWholeFile(const std::string& path, DWORD shareMode = FILE_SHARE_READ);

}  // namespace tk
