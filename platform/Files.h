#pragma once
// Files and paths. Paths are UTF-16 from where the system hands them over (the program's own
// path, the file-open dialog) to where it takes them (the "W" file calls), so that a folder
// whose name the ANSI code page cannot hold ("Sigur Rós", "ベスト〜Best〜" with U+301C, Hangul)
// is an ordinary folder. Messages that name a path carry it in ANSI, as the error box shows it.

#include <windows.h>

#include <functional>
#include <string>
#include <string_view>

namespace platform {

// True when the path names an existing file; false for a folder or nothing.
bool FileExists(const std::wstring& path);

// The path made absolute (GetFullPathNameW, any length); the path itself when that fails.
std::wstring ExpandFileName(const std::wstring& path);

// The form of a path that the file calls take at any length: from MAX_PATH characters on, the
// full path behind the "\\?\" prefix, which lifts the calls' length limit on Windows.
std::wstring CallablePath(const std::wstring& path);

// The path cut after its last "\" or ":", the delimiter kept.
std::wstring ExtractFilePath(const std::wstring& path);

// The path with the text after the last "." of its file name replaced by `extension`
// (given with its "."), or with `extension` appended when the name has none.
std::wstring ChangeFileExt(const std::wstring& path, const std::wstring& extension);

// The full path of the running program's executable.
std::wstring ExecutablePath();

// A path as messages show it: ANSI, where a character the code page lacks becomes the
// platform's substitute.
std::string DisplayPath(const std::wstring& path);

// The system's message text for an error code, with trailing blanks, control characters
// and "." removed; empty when the text does not fit in 256 characters.
std::string SysErrorMessage(DWORD code);

// The whole content of a file opened for reading with the given sharing mode.
// Raises "ファイル \"%s\". %s は開けません" with the full path when it cannot be opened.
std::string ReadWholeFile(const std::wstring& path, DWORD shareMode = FILE_SHARE_READ);

// Writes bytes to an open file the way WriteFile does; tests replace it to simulate a
// disk that fills up.
using WriteBytesFunction =
    std::function<BOOL(HANDLE file, const char* bytes, DWORD count, DWORD* written)>;

// Platform calls of ReplaceFileContents that tests replace to simulate failures; an empty
// member stands for the platform's own call (ReplaceFileW with no backup, DeleteFileW). Both
// get paths in the form the file calls take.
struct ReplaceSeams {
  std::function<BOOL(const wchar_t* replaced, const wchar_t* replacement)> replaceFile;
  std::function<BOOL(const wchar_t* path)> deleteFile;
};

// Gives the file at `path` exactly `bytes` as its new content, or leaves it as it was.
// The bytes go to a new file beside it, named after it ("metadata.txt.~1a2b3c.tmp"), which
// replaces the old one only once it is complete and flushed, so a failed save never leaves a
// truncated file behind; the replaced file keeps its identity (attributes, permissions, other
// names). A save that succeeds removes what saves of the same file that never finished (the
// process killed) left beside it. In a folder where no new file may be made, the file is
// truncated and written in place instead.
// Raises "ファイル \"%s\". %s を作成できません" (full path of `path`) when the file cannot
// be created or replaced (read-only, locked, no access, missing folder) and
// "ストリームへの書き込みエラー" when fewer bytes were written than given.
void ReplaceFileContents(const std::wstring& path, std::string_view bytes,
                         const WriteBytesFunction& write = {}, const ReplaceSeams& seams = {});

}  // namespace platform
