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

// Virus scanners, the search indexer and sync clients open a file for a moment without
// sharing it. Runs `attempt`, a file call that returns false with the last error set when it
// fails, again while it fails for such a hold (a sharing or lock violation; with
// AccessDeniedToo also access denied, which is how a rename over an open file fails), with
// short pauses for about a second. Returns whether it succeeded; on failure the last error is
// the last attempt's.
enum class HoldSigns { SharingOrLock, AccessDeniedToo };
bool RetryWhileHeld(const std::function<bool()>& attempt,
                    HoldSigns signs = HoldSigns::SharingOrLock);

// The whole content of a file opened for reading with the given sharing mode.
// Raises "ファイル \"%s\". %s は開けません" with the full path when it cannot be opened.
std::string ReadWholeFile(const std::wstring& path, DWORD shareMode = FILE_SHARE_READ);

// Writes bytes to an open file the way WriteFile does; tests replace it to simulate a
// disk that fills up.
using WriteBytesFunction =
    std::function<BOOL(HANDLE file, const char* bytes, DWORD count, DWORD* written)>;

// Platform calls of ReplaceFileContents that tests replace to simulate failures; an empty
// member stands for the platform's own call (MoveFileExW replacing the target, DeleteFileW).
// Both get paths in the form the file calls take.
struct ReplaceSeams {
  std::function<BOOL(const wchar_t* from, const wchar_t* to)> moveFile;
  std::function<BOOL(const wchar_t* path)> deleteFile;
};

// Gives the file at `path` exactly `bytes` as its new content, or leaves it as it was.
// The bytes go to a new file beside it, named after it ("metadata.txt.~1a2b3c.tmp"), which
// takes the old one's name with one rename only once it is complete and flushed, so a save
// that fails or is killed at any moment leaves the old file or the new one, never a truncated
// file or none. The new file keeps the old one's hidden and system attributes; it has the
// permissions that the folder gives new files, and other names (hard links) of the old file
// keep the old content. A brief hold of the file by another program is waited out. A save
// that succeeds removes what saves of the same file that never finished left beside it. In a
// folder where no new file may be made, the file is truncated and written in place instead.
// Raises "ファイル \"%s\". %s を作成できません" (full path of `path`) when the file cannot
// be created or replaced (read-only, locked, no access, missing folder) and
// "ストリームへの書き込みエラー" when fewer bytes were written than given.
void ReplaceFileContents(const std::wstring& path, std::string_view bytes,
                         const WriteBytesFunction& write = {}, const ReplaceSeams& seams = {});

}  // namespace platform
