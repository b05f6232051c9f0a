#include "platform/Files.h"

#include <algorithm>
#include <cwchar>

#include "platform/CodePage.h"
#include "platform/Exception.h"

namespace platform {

namespace {

constexpr size_t kMaxRead = 64 << 20;

size_t FileNameStart(const std::wstring& path) {
  size_t delimiter = path.find_last_of(L"\\:");
  return delimiter == std::wstring::npos ? 0 : delimiter + 1;
}

Win32Error OpenError(const std::wstring& path, DWORD code) {
  return Win32Error(
      Format("ファイル \"%s\". %s は開けません", DisplayPath(ExpandFileName(path)).c_str(),
             SysErrorMessage(code).c_str()),
      code);
}

Win32Error CreateError(const std::wstring& path, DWORD code) {
  return Win32Error(
      Format("ファイル \"%s\". %s を作成できません", DisplayPath(ExpandFileName(path)).c_str(),
             SysErrorMessage(code).c_str()),
      code);
}

Exception WriteError() { return Exception("ストリームへの書き込みエラー"); }

class FileHandle {
 public:
  explicit FileHandle(HANDLE handle) : handle_(handle) {}
  FileHandle(const FileHandle&) = delete;
  FileHandle& operator=(const FileHandle&) = delete;
  ~FileHandle() { Close(); }
  bool IsValid() const { return handle_ != INVALID_HANDLE_VALUE; }
  HANDLE Get() const { return handle_; }
  void Close() { Reset(INVALID_HANDLE_VALUE); }
  void Reset(HANDLE handle) {
    if (IsValid()) CloseHandle(handle_);
    handle_ = handle;
  }

 private:
  HANDLE handle_;
};

// Opens a file, waiting out a brief hold of it by another program.
HANDLE OpenFile(const std::wstring& path, DWORD access, DWORD share, DWORD disposition) {
  const std::wstring callable = CallablePath(path);
  HANDLE handle = INVALID_HANDLE_VALUE;
  RetryWhileHeld([&] {
    handle = CreateFileW(callable.c_str(), access, share, nullptr, disposition,
                         FILE_ATTRIBUTE_NORMAL, nullptr);
    return handle != INVALID_HANDLE_VALUE;
  });
  return handle;
}

DWORD AttributesOf(const std::wstring& path) {
  return GetFileAttributesW(CallablePath(path).c_str());
}

// The new content's file beside the target is named after it: the target's name, ".~", six
// hexadecimal digits and ".tmp". A save killed before it finished leaves such a file; the
// next save of the same target knows it by that name.
constexpr std::wstring_view kTemporaryMark = L".~";
constexpr std::wstring_view kTemporaryEnd = L".tmp";
constexpr size_t kTemporaryDigits = 6;

std::wstring TemporaryName(const std::wstring& target, unsigned number) {
  wchar_t suffix[16];
  std::swprintf(suffix, 16, L".~%06x.tmp", number & 0xFFFFFF);
  return target + suffix;
}

bool IsTemporaryNameOf(std::wstring_view name, std::wstring_view targetName) {
  if (name.size() !=
          targetName.size() + kTemporaryMark.size() + kTemporaryDigits + kTemporaryEnd.size() ||
      CompareStringOrdinal(name.data(), static_cast<int>(targetName.size()), targetName.data(),
                           static_cast<int>(targetName.size()), TRUE) != CSTR_EQUAL)
    return false;
  name.remove_prefix(targetName.size());
  if (name.substr(0, kTemporaryMark.size()) != kTemporaryMark) return false;
  name.remove_prefix(kTemporaryMark.size());
  auto isDigit = [](wchar_t c) { return (c >= L'0' && c <= L'9') || (c >= L'a' && c <= L'f'); };
  if (!std::all_of(name.begin(), name.begin() + kTemporaryDigits, isDigit)) return false;
  return name.substr(kTemporaryDigits) == kTemporaryEnd;
}

// The new content's file beside the target; removed again unless it was put in place. A
// removal that fails (the file briefly held open by another program) is tried once more when
// the save ends, just before its error is reported.
class TemporaryFile {
 public:
  explicit TemporaryFile(const std::function<BOOL(const wchar_t*)>& remove) : remove_(remove) {}
  TemporaryFile(const TemporaryFile&) = delete;
  TemporaryFile& operator=(const TemporaryFile&) = delete;
  ~TemporaryFile() {
    Close();
    if (!name_.empty()) Remove();
  }
  // Creates the file; false when the folder lets no new file be made (access denied).
  bool Create(const std::wstring& target);
  HANDLE Handle() const { return handle_.Get(); }
  void Close() { handle_.Close(); }
  const std::wstring& Name() const { return name_; }
  void Committed() { name_.clear(); }
  // Closes and removes the file; a removal that fails is retried by the destructor.
  void Discard() {
    Close();
    if (!name_.empty() && Remove()) name_.clear();
  }

 private:
  bool Remove() { return remove_ ? remove_(name_.c_str()) : DeleteFileW(name_.c_str()); }

  std::function<BOOL(const wchar_t*)> remove_;
  std::wstring name_;  // in the form the file calls take
  FileHandle handle_{INVALID_HANDLE_VALUE};
};

// A unique name in the target's own folder, so that putting the file in place is a rename
// within one volume. Other creation failures are reported for the target: they mean the
// folder cannot take the file.
bool TemporaryFile::Create(const std::wstring& target) {
  static unsigned counter = GetCurrentProcessId() * 2654435761u + GetTickCount();
  for (int attempt = 0; attempt < 1000; ++attempt) {
    std::wstring name = CallablePath(TemporaryName(target, ++counter));
    HANDLE handle = CreateFileW(name.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle != INVALID_HANDLE_VALUE) {
      name_ = name;
      handle_.Reset(handle);
      return true;
    }
    DWORD code = GetLastError();
    if (code == ERROR_ACCESS_DENIED) return false;
    if (code != ERROR_FILE_EXISTS && code != ERROR_ALREADY_EXISTS) throw CreateError(target, code);
  }
  throw CreateError(target, ERROR_FILE_EXISTS);
}

// Removes the files that unfinished saves of `target` left beside it, and nothing else. One
// that another save still holds open cannot be removed and stays.
void RemoveLeftOvers(const std::wstring& target) {
  const std::wstring targetName = target.substr(FileNameStart(target));
  const std::wstring folder = target.substr(0, target.size() - targetName.size());
  WIN32_FIND_DATAW found;
  HANDLE search = FindFirstFileW(CallablePath(target + L".~*.tmp").c_str(), &found);
  if (search == INVALID_HANDLE_VALUE) return;
  do {
    if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) &&
        IsTemporaryNameOf(found.cFileName, targetName))
      DeleteFileW(CallablePath(folder + found.cFileName).c_str());
  } while (FindNextFileW(search, &found));
  FindClose(search);
}

// The target must be writable by us now, exactly as if we were to truncate it in place:
// a read-only or locked file fails here, before anything is written. Wine running as root
// opens read-only files for writing, which Windows refuses with access denied; the
// attribute is checked first so that both behave alike.
void CheckReplaceable(const std::wstring& target) {
  DWORD attributes = AttributesOf(target);
  if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY) &&
      !(attributes & FILE_ATTRIBUTE_DIRECTORY)) {
    throw CreateError(target, ERROR_ACCESS_DENIED);
  }
  FileHandle probe(OpenFile(target, GENERIC_READ | GENERIC_WRITE, 0, OPEN_EXISTING));
  if (probe.IsValid()) return;
  DWORD code = GetLastError();
  if (code != ERROR_FILE_NOT_FOUND) throw CreateError(target, code);
}

BOOL PlatformWrite(HANDLE file, const char* bytes, DWORD count, DWORD* written) {
  return WriteFile(file, bytes, count, written, nullptr);
}

void WriteAll(HANDLE file, std::string_view bytes, const WriteBytesFunction& write) {
  if (bytes.empty()) return;
  if (bytes.size() > MAXDWORD) throw WriteError();
  DWORD count = static_cast<DWORD>(bytes.size());
  DWORD written = 0;
  BOOL ok = write ? write(file, bytes.data(), count, &written)
                  : PlatformWrite(file, bytes.data(), count, &written);
  if (!ok || written != count) throw WriteError();
  if (!FlushFileBuffers(file)) throw WriteError();
}

}  // namespace

bool RetryWhileHeld(const std::function<bool()>& attempt, HoldSigns signs) {
  constexpr ULONGLONG kPatience = 1000;
  constexpr DWORD kPause = 20;
  const ULONGLONG deadline = GetTickCount64() + kPatience;
  for (;;) {
    if (attempt()) return true;
    DWORD code = GetLastError();
    bool held = code == ERROR_SHARING_VIOLATION || code == ERROR_LOCK_VIOLATION ||
                (signs == HoldSigns::AccessDeniedToo && code == ERROR_ACCESS_DENIED);
    if (!held || GetTickCount64() >= deadline) {
      SetLastError(code);
      return false;
    }
    Sleep(kPause);
  }
}

bool FileExists(const std::wstring& path) {
  DWORD attributes = AttributesOf(path);
  return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

std::wstring ExpandFileName(const std::wstring& path) {
  std::wstring full(MAX_PATH, L'\0');
  for (;;) {
    DWORD length =
        GetFullPathNameW(path.c_str(), static_cast<DWORD>(full.size()), full.data(), nullptr);
    if (length == 0) return path;
    if (length < full.size()) {
      full.resize(length);
      return full;
    }
    full.resize(length);  // too small: length is the size needed, terminator included
  }
}

std::wstring CallablePath(const std::wstring& path) {
  if (path.size() < MAX_PATH || path.starts_with(L"\\\\?\\")) return path;
  std::wstring full = ExpandFileName(path);
  if (full.starts_with(L"\\\\?\\") || full.starts_with(L"\\\\.\\")) return full;
  if (full.starts_with(L"\\\\")) return L"\\\\?\\UNC\\" + full.substr(2);
  return L"\\\\?\\" + full;
}

std::wstring ExtractFilePath(const std::wstring& path) {
  return path.substr(0, FileNameStart(path));
}

std::wstring ChangeFileExt(const std::wstring& path, const std::wstring& extension) {
  size_t dot = path.rfind(L'.');
  bool hasExtension = dot != std::wstring::npos && dot >= FileNameStart(path);
  return (hasExtension ? path.substr(0, dot) : path) + extension;
}

std::wstring ExecutablePath() {
  std::wstring path(MAX_PATH, L'\0');
  for (;;) {
    DWORD length = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
    if (length < path.size()) {
      path.resize(length);
      return path;
    }
    path.resize(path.size() * 2);  // cut short: the buffer was too small
  }
}

std::string DisplayPath(const std::wstring& path) { return WideToAnsi(path); }

std::string SysErrorMessage(DWORD code) {
  wchar_t buffer[256];
  DWORD length = FormatMessageW(
      FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS | FORMAT_MESSAGE_ARGUMENT_ARRAY,
      nullptr, code, 0, buffer, sizeof buffer / sizeof buffer[0], nullptr);
  while (length > 0 && (buffer[length - 1] <= 32 || buffer[length - 1] == L'.')) --length;
  return WideToAnsi({buffer, length});
}

std::string ReadWholeFile(const std::wstring& path, DWORD shareMode) {
  FileHandle file(OpenFile(path, GENERIC_READ, shareMode, OPEN_EXISTING));
  if (!file.IsValid()) throw OpenError(path, GetLastError());
  LARGE_INTEGER size{};
  size_t expected = GetFileSizeEx(file.Get(), &size) ? static_cast<size_t>(size.QuadPart) : 0;
  // One spare byte lets the read that finds the end need no reallocation; the loop goes on
  // until that read, in case the file grew since its size was taken.
  std::string content(expected + 1, '\0');
  size_t used = 0;
  for (;;) {
    if (used == content.size()) content.resize(content.size() * 2);
    DWORD wanted = static_cast<DWORD>(std::min<size_t>(content.size() - used, kMaxRead));
    DWORD read = 0;
    if (!RetryWhileHeld(
            [&] { return ReadFile(file.Get(), content.data() + used, wanted, &read, nullptr); })) {
      throw Win32Error("ストリームの読み込みエラー", GetLastError());
    }
    if (read == 0) break;
    used += read;
  }
  content.resize(used);
  return content;
}

namespace {

// The hidden and system attributes that a replaced file had and lost: the new file that
// takes its name has only the attributes it was created with.
void RestoreAttributes(const std::wstring& target, DWORD before) {
  const DWORD kept = FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM;
  DWORD now = AttributesOf(target);
  if (now == INVALID_FILE_ATTRIBUTES || (before & kept & ~now) == 0) return;
  SetFileAttributesW(CallablePath(target).c_str(),
                     (now | (before & kept)) & ~FILE_ATTRIBUTE_NORMAL);
}

BOOL Move(const wchar_t* from, const wchar_t* to) {
  return MoveFileExW(from, to, MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH);
}

// Puts the complete temporary file in the target's place with one rename that replaces the
// target, so that a process killed at any moment leaves the old file or the new one under
// the target's name (the platform's file replacement, under Wine, removes the old file before
// it moves the new one in). A rename over a file that another program holds open fails with
// access denied, where the check before the save has just shown that the file may be
// written: that is a hold, and it is waited out.
void PutInPlace(TemporaryFile& temporary, const std::wstring& target, DWORD attributes,
                const ReplaceSeams& seams) {
  const std::wstring replaced = CallablePath(target);
  auto move = [&] {
    const wchar_t* from = temporary.Name().c_str();
    return (seams.moveFile ? seams.moveFile(from, replaced.c_str()) : Move(from, replaced.c_str()));
  };
  if (!RetryWhileHeld(move, HoldSigns::AccessDeniedToo)) throw CreateError(target, GetLastError());
  temporary.Committed();
  if (attributes != INVALID_FILE_ATTRIBUTES) RestoreAttributes(target, attributes);
}

// The plain write for a folder that takes no new file: truncates the existing file (which
// keeps it, attributes and all) or creates it, then writes.
void WriteInPlace(const std::wstring& target, bool exists, std::string_view bytes,
                  const WriteBytesFunction& write) {
  FileHandle file(
      OpenFile(target, GENERIC_READ | GENERIC_WRITE, 0, exists ? TRUNCATE_EXISTING : CREATE_NEW));
  if (!file.IsValid()) throw CreateError(target, GetLastError());
  WriteAll(file.Get(), bytes, write);
}

}  // namespace

void ReplaceFileContents(const std::wstring& path, std::string_view bytes,
                         const WriteBytesFunction& write, const ReplaceSeams& seams) {
  std::wstring target = ExpandFileName(path);
  CheckReplaceable(target);
  const DWORD attributes = AttributesOf(target);
  TemporaryFile temporary(seams.deleteFile);
  if (!temporary.Create(target)) {
    WriteInPlace(target, attributes != INVALID_FILE_ATTRIBUTES, bytes, write);
    return;
  }
  try {
    WriteAll(temporary.Handle(), bytes, write);
    temporary.Close();
    PutInPlace(temporary, target, attributes, seams);
  } catch (...) {
    temporary.Discard();
    throw;
  }
  RemoveLeftOvers(target);
}

}  // namespace platform
