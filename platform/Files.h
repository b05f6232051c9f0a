#pragma once
// Files and paths, through the platform's "A" calls. Paths are ANSI (Shift-JIS) text.

#include <windows.h>

#include <functional>
#include <string>
#include <string_view>

namespace platform {

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

// Writes bytes to an open file the way WriteFile does; tests replace it to simulate a
// disk that fills up.
using WriteBytesFunction =
    std::function<BOOL(HANDLE file, const char* bytes, DWORD count, DWORD* written)>;

// Platform calls of ReplaceFileContents that tests replace to simulate failures; an empty
// member stands for the platform's own call (ReplaceFileA with no backup, DeleteFileA).
struct ReplaceSeams {
  std::function<BOOL(const char* replaced, const char* replacement)> replaceFile;
  std::function<BOOL(const char* path)> deleteFile;
};

// Gives the file at `path` exactly `bytes` as its new content, or leaves it as it was.
// The bytes go to a new file beside it, which replaces the old one only once it is
// complete and flushed, so a failed save never leaves a truncated file behind; the
// replaced file keeps its identity (attributes, permissions, other names). In a folder
// where no new file may be made, the file is truncated and written in place instead.
// Raises "ファイル \"%s\". %s を作成できません" (full path of `path`) when the file cannot
// be created or replaced (read-only, locked, no access, missing folder) and
// "ストリームへの書き込みエラー" when fewer bytes were written than given.
void ReplaceFileContents(const std::string& path, std::string_view bytes,
                         const WriteBytesFunction& write = {}, const ReplaceSeams& seams = {});

}  // namespace platform
