#include "platform/Files.h"

#include <algorithm>

#include "platform/Exception.h"

namespace platform {

namespace {

constexpr size_t kMaxRead = 64 << 20;

bool IsPathDelimiter(char c) { return c == '\\' || c == ':'; }

// Walks the path one character at a time, so that the second byte of a double-byte
// character (which may be 0x5C, the byte of "\") is never taken for a delimiter.
template <typename Visit>
void ForEachCharacter(const std::string& path, Visit visit) {
  for (size_t i = 0; i < path.size();) {
    visit(i, path[i]);
    bool doubleByte = IsDBCSLeadByte(static_cast<BYTE>(path[i])) && i + 1 < path.size();
    i += doubleByte ? 2 : 1;
  }
}

Win32Error OpenError(const std::string& path, DWORD code) {
  return Win32Error(Format("ファイル \"%s\". %s は開けません", ExpandFileName(path).c_str(),
                           SysErrorMessage(code).c_str()),
                    code);
}

Win32Error CreateError(const std::string& path, DWORD code) {
  return Win32Error(Format("ファイル \"%s\". %s を作成できません", ExpandFileName(path).c_str(),
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

// The new content's file beside the target; removed again unless it was put in place. A
// removal that fails (the file briefly held open by another program) is tried once more when
// the save ends, just before its error is reported.
class TemporaryFile {
 public:
  explicit TemporaryFile(const std::function<BOOL(const char*)>& remove) : remove_(remove) {}
  TemporaryFile(const TemporaryFile&) = delete;
  TemporaryFile& operator=(const TemporaryFile&) = delete;
  ~TemporaryFile() {
    Close();
    if (!name_.empty()) Remove();
  }
  // Creates the file; false when the folder lets no new file be made (access denied).
  bool Create(const std::string& target);
  HANDLE Handle() const { return handle_.Get(); }
  void Close() { handle_.Close(); }
  const std::string& Name() const { return name_; }
  void Committed() { name_.clear(); }
  // Closes and removes the file; a removal that fails is retried by the destructor.
  void Discard() {
    Close();
    if (!name_.empty() && Remove()) name_.clear();
  }

 private:
  bool Remove() { return remove_ ? remove_(name_.c_str()) : DeleteFileA(name_.c_str()); }

  std::function<BOOL(const char*)> remove_;
  std::string name_;
  FileHandle handle_{INVALID_HANDLE_VALUE};
};

// A unique name in the target's own folder, so that putting the file in place is a rename
// within one volume. The name is no longer than "metadata.txt", so any folder path short
// enough for the target is short enough for it. Other creation failures are reported for
// the target: they mean the folder cannot take the file.
bool TemporaryFile::Create(const std::string& target) {
  static unsigned counter = GetCurrentProcessId() * 2654435761u + GetTickCount();
  std::string folder = ExtractFilePath(target);
  for (int attempt = 0; attempt < 1000; ++attempt) {
    std::string name = Format("%s~%06x.tmp", folder.c_str(), ++counter & 0xFFFFFF);
    HANDLE handle = CreateFileA(name.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, CREATE_NEW,
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

// The target must be writable by us now, exactly as if we were to truncate it in place:
// a read-only or locked file fails here, before anything is written. Wine running as root
// opens read-only files for writing, which Windows refuses with access denied; the
// attribute is checked first so that both behave alike.
void CheckReplaceable(const std::string& target) {
  DWORD attributes = GetFileAttributesA(target.c_str());
  if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY) &&
      !(attributes & FILE_ATTRIBUTE_DIRECTORY)) {
    throw CreateError(target, ERROR_ACCESS_DENIED);
  }
  FileHandle probe(CreateFileA(target.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                               OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
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

bool FileExists(const std::string& path) {
  DWORD attributes = GetFileAttributesA(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

std::string ExpandFileName(const std::string& path) {
  std::string full(MAX_PATH, '\0');
  for (;;) {
    DWORD length =
        GetFullPathNameA(path.c_str(), static_cast<DWORD>(full.size()), full.data(), nullptr);
    if (length == 0) return path;
    if (length < full.size()) {
      full.resize(length);
      return full;
    }
    full.resize(length);  // too small: length is the size needed, terminator included
  }
}

std::string ExtractFilePath(const std::string& path) {
  size_t end = 0;
  ForEachCharacter(path, [&](size_t i, char c) {
    if (IsPathDelimiter(c)) end = i + 1;
  });
  return path.substr(0, end);
}

std::string ChangeFileExt(const std::string& path, const std::string& extension) {
  size_t nameStart = 0;
  size_t dot = std::string::npos;
  ForEachCharacter(path, [&](size_t i, char c) {
    if (IsPathDelimiter(c)) {
      nameStart = i + 1;
      dot = std::string::npos;
    } else if (c == '.') {
      dot = i;
    }
  });
  return (dot != std::string::npos && dot >= nameStart ? path.substr(0, dot) : path) + extension;
}

std::string SysErrorMessage(DWORD code) {
  char buffer[256];
  DWORD length = FormatMessageA(
      FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS | FORMAT_MESSAGE_ARGUMENT_ARRAY,
      nullptr, code, 0, buffer, sizeof buffer, nullptr);
  while (length > 0 &&
         (static_cast<unsigned char>(buffer[length - 1]) <= 32 || buffer[length - 1] == '.')) {
    --length;
  }
  return std::string(buffer, length);
}

std::string ReadWholeFile(const std::string& path, DWORD shareMode) {
  FileHandle file(CreateFileA(path.c_str(), GENERIC_READ, shareMode, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr));
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
    if (!ReadFile(file.Get(), content.data() + used, wanted, &read, nullptr)) {
      throw Win32Error("ストリームの読み込みエラー", GetLastError());
    }
    if (read == 0) break;
    used += read;
  }
  content.resize(used);
  return content;
}

namespace {

// The hidden and system attributes that a replaced file had and may have lost: Wine's
// ReplaceFileA and a plain move leave only the archive attribute.
void RestoreAttributes(const std::string& target, DWORD before) {
  const DWORD kept = FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM;
  DWORD now = GetFileAttributesA(target.c_str());
  if (now == INVALID_FILE_ATTRIBUTES || (before & kept & ~now) == 0) return;
  SetFileAttributesA(target.c_str(), (now | (before & kept)) & ~FILE_ATTRIBUTE_NORMAL);
}

bool IsUnsupported(DWORD code) {
  return code == ERROR_CALL_NOT_IMPLEMENTED || code == ERROR_NOT_SUPPORTED ||
         code == ERROR_INVALID_FUNCTION;
}

bool Move(const std::string& from, const std::string& to) {
  return MoveFileExA(from.c_str(), to.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH);
}

// Puts the complete temporary file in the target's place. An existing target is replaced
// with the platform's file replacement, which keeps the replaced file itself (attributes,
// permissions, other names); it needs full paths. Only where that call is not supported
// does a move take the target's name.
void PutInPlace(TemporaryFile& temporary, const std::string& target, DWORD attributes,
                const ReplaceSeams& seams) {
  const std::string replacement = temporary.Name();
  if (attributes == INVALID_FILE_ATTRIBUTES) {  // no file to replace
    if (!Move(replacement, target)) throw CreateError(target, GetLastError());
    temporary.Committed();
    return;
  }
  BOOL replaced = seams.replaceFile
                      ? seams.replaceFile(target.c_str(), replacement.c_str())
                      : ReplaceFileA(target.c_str(), replacement.c_str(), nullptr,
                                     REPLACEFILE_IGNORE_MERGE_ERRORS, nullptr, nullptr);
  if (!replaced) {
    DWORD code = GetLastError();
    if (code == ERROR_UNABLE_TO_MOVE_REPLACEMENT) {
      // The replaced file is gone and the new content exists only in the temporary file:
      // it takes the name now, or it stays where it is.
      if (!Move(replacement, target)) {
        code = GetLastError();
        temporary.Committed();
        throw CreateError(target, code);
      }
    } else if (!IsUnsupported(code)) {
      throw CreateError(target, code);
    } else if (!Move(replacement, target)) {
      throw CreateError(target, GetLastError());
    }
  }
  temporary.Committed();
  RestoreAttributes(target, attributes);
}

// The plain write for a folder that takes no new file: truncates the existing file (which
// keeps it, attributes and all) or creates it, then writes.
void WriteInPlace(const std::string& target, bool exists, std::string_view bytes,
                  const WriteBytesFunction& write) {
  FileHandle file(CreateFileA(target.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                              exists ? TRUNCATE_EXISTING : CREATE_NEW, FILE_ATTRIBUTE_NORMAL,
                              nullptr));
  if (!file.IsValid()) throw CreateError(target, GetLastError());
  WriteAll(file.Get(), bytes, write);
}

}  // namespace

void ReplaceFileContents(const std::string& path, std::string_view bytes,
                         const WriteBytesFunction& write, const ReplaceSeams& seams) {
  std::string target = ExpandFileName(path);
  CheckReplaceable(target);
  const DWORD attributes = GetFileAttributesA(target.c_str());
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
}

}  // namespace platform
