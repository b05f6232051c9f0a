// Replacing a file's content in one step: the exact bytes, the old file kept whole whenever
// the replacement fails, its attributes kept, and no temporary file left behind.

#include <gtest/gtest.h>

#include <algorithm>
#include <optional>
#include <string>
#include <vector>

#include "platform/Exception.h"
#include "platform/Files.h"
#include "tests/harness/Raises.h"
#include "tests/harness/WindowTest.h"

namespace {

// Lets a folder take no new file while the files in it stay writable, until destroyed: the
// Linux immutable attribute, set with chattr (as root, permissions stop nothing). Wine
// starts a Linux program detached, so the command leaves a mark beside the folder when it
// is done, and that is awaited.
class NoNewFiles {
 public:
  explicit NoNewFiles(const std::wstring& folder) : folder_(folder) { held_ = Set(true); }
  ~NoNewFiles() { Set(false); }
  bool Held() const { return held_; }

 private:
  static std::string UnixName(const std::wstring& path) {
    using Convert = char*(CDECL*)(LPCWSTR);
    auto convert = reinterpret_cast<Convert>(reinterpret_cast<void*>(
        GetProcAddress(GetModuleHandleA("kernel32"), "wine_get_unix_file_name")));
    char* name = convert ? convert(path.c_str()) : nullptr;
    if (!name) return "";
    std::string result = name;
    HeapFree(GetProcessHeap(), 0, name);
    return result;
  }
  bool Set(bool on) {
    std::wstring folder = folder_.substr(0, folder_.size() - 1);  // without its final "\"
    std::string unixPath = UnixName(folder);
    if (unixPath.empty()) return false;
    std::wstring mark = folder + L".done";
    std::string command = std::string("/bin/sh -c \"/usr/bin/chattr ") + (on ? "+i " : "-i ") +
                          unixPath + " && touch " + unixPath + ".done\"";
    // The command gets standard handles of its own: given this process's, Wine leaves the
    // test's output closed once the command has ended.
    SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
    HANDLE nul =
        CreateFileA("NUL", GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                    &inherit, OPEN_EXISTING, 0, nullptr);
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = startup.hStdOutput = startup.hStdError = nul;
    PROCESS_INFORMATION process{};
    BOOL started = CreateProcessA(nullptr, command.data(), nullptr, nullptr, TRUE, 0, nullptr,
                                  nullptr, &startup, &process);
    CloseHandle(nul);
    if (!started) return false;
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    bool done = harness::PumpUntil([&] { return platform::FileExists(mark); }, 10000);
    DeleteFileW(mark.c_str());
    return done;
  }

  std::wstring folder_;  // ends in "\"
  bool held_ = false;
};

// Writing to disk, and the safe save that keeps the old file whenever the save fails.
class ReplaceFile : public testing::Test {
 protected:
  std::vector<std::string> FolderNames() const {
    std::vector<std::string> names;
    WIN32_FIND_DATAW found;
    HANDLE search = FindFirstFileW((folder_ + L"*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) return names;
    do {
      std::string name = harness::Ansi(found.cFileName);
      if (name != "." && name != "..") names.push_back(name);
    } while (FindNextFileW(search, &found));
    FindClose(search);
    std::sort(names.begin(), names.end());
    return names;
  }
  static BOOL Fail(DWORD code) {
    SetLastError(code);
    return FALSE;
  }
  static BOOL DiskFull(HANDLE, const char*, DWORD, DWORD* written) {
    *written = 0;
    return Fail(ERROR_DISK_FULL);
  }
  // Runs a save that must fail on the platform and returns its error.
  platform::Win32Error FailingSave(const std::wstring& path, const std::string& bytes) {
    return harness::Raised<platform::Win32Error>(
               [&] { platform::ReplaceFileContents(path, bytes); })
        .value_or(platform::Win32Error("", 0));
  }
  // Runs a save whose writing must fail and returns the error's message.
  std::string FailingWrite(const std::string& bytes, const platform::WriteBytesFunction& write) {
    try {
      platform::ReplaceFileContents(path_, bytes, write);
    } catch (const platform::Win32Error& e) {
      ADD_FAILURE() << "unexpected platform error " << e.Code();
    } catch (const platform::Exception& e) {
      return e.Message();
    }
    ADD_FAILURE() << "the save did not fail";
    return "";
  }
  std::string CreateErrorText(const std::wstring& path, DWORD code) const {
    return platform::Format("ファイル \"%s\". %s を作成できません",
                            harness::Ansi(platform::ExpandFileName(path)).c_str(),
                            platform::SysErrorMessage(code).c_str());
  }

  harness::TempFolder folder;
  const std::wstring folder_ = folder.Path();
  const std::wstring path_ = folder_ + L"file.txt";
};

TEST_F(ReplaceFile, CreatesTheFileWithExactlyTheBytesAndNothingElse) {
  platform::ReplaceFileContents(path_, "new\r\n");
  EXPECT_EQ(platform::ReadWholeFile(path_), "new\r\n");
  EXPECT_EQ(FolderNames(), std::vector<std::string>{"file.txt"});
}

TEST_F(ReplaceFile, ReplacesAnExistingFileWhole) {
  platform::ReplaceFileContents(path_, std::string(5000, 'x'));
  platform::ReplaceFileContents(path_, "short");
  EXPECT_EQ(platform::ReadWholeFile(path_), "short");
  EXPECT_EQ(FolderNames(), std::vector<std::string>{"file.txt"});
}

// Folders whose name ends in the byte 5C, holds characters the code page lacks, or makes the
// path longer than MAX_PATH.
TEST_F(ReplaceFile, WritesIntoAnyFolder) {
  const std::wstring levels = L"\\" + std::wstring(60, L'\u30BD');
  for (const std::wstring& name :
       {std::wstring(L"ソ表"), std::wstring(L"Sigur R\u00F3s \u2013 \u00C1g\u00E6tis\u301C"),
        std::wstring(L"long") + levels + levels + levels + levels + levels}) {
    SCOPED_TRACE(name.size());
    std::wstring made = folder.MakeFolders(name);
    ASSERT_FALSE(made.empty());
    std::wstring path = made + L"file.txt";
    platform::ReplaceFileContents(path, "x");
    platform::ReplaceFileContents(path, "y");
    EXPECT_TRUE(platform::FileExists(path));
    EXPECT_EQ(platform::ReadWholeFile(path), "y");
  }
}

// Saves killed half-way left their new files beside the target; the next save that succeeds
// removes those of the same target, and nothing else.
TEST_F(ReplaceFile, ASaveRemovesWhatKilledSavesOfTheSameFileLeft) {
  const std::vector<std::string> others = {"file.txt.~12345g.tmp", "file.txt.~1a2b3c.tmp.bak",
                                           "file.txt.~1a2b3.tmp", "other.txt.~1a2b3c.tmp"};
  for (const std::string& name : others) harness::WriteFileBytes(folder_ + harness::Wide(name), "");
  // Saves whose new file can be neither written nor removed leave it as a killed save does,
  // named as saves name it; until one name holds a letter among its hexadecimal digits.
  const platform::ReplaceSeams keepNewFile{{}, [](const wchar_t*) { return FALSE; }};
  auto lettered = [](const std::string& name) {
    return name.starts_with("file.txt.~") &&
           name.substr(10, 6).find_first_of("abcdefABCDEF") != std::string::npos;
  };
  std::vector<std::string> names;
  for (int saves = 0; saves < 32 && std::none_of(names.begin(), names.end(), lettered); ++saves) {
    harness::Raised([&] { platform::ReplaceFileContents(path_, "half", DiskFull, keepNewFile); });
    names = FolderNames();
  }
  ASSERT_TRUE(std::any_of(names.begin(), names.end(), lettered));
  platform::ReplaceFileContents(path_, "new");
  std::vector<std::string> expected = others;
  expected.push_back("file.txt");
  std::sort(expected.begin(), expected.end());
  EXPECT_EQ(FolderNames(), expected);
}

TEST_F(ReplaceFile, ReadOnlyFileIsNotReplaced) {
  platform::ReplaceFileContents(path_, "old");
  ASSERT_TRUE(SetFileAttributesW(path_.c_str(), FILE_ATTRIBUTE_READONLY));
  platform::Win32Error error = FailingSave(path_, "new");
  EXPECT_EQ(error.Code(), static_cast<DWORD>(ERROR_ACCESS_DENIED));
  EXPECT_EQ(error.Message(), CreateErrorText(path_, ERROR_ACCESS_DENIED));
  EXPECT_EQ(platform::ReadWholeFile(path_), "old");
  EXPECT_EQ(FolderNames(), std::vector<std::string>{"file.txt"});
}

TEST_F(ReplaceFile, FileOpenElsewhereIsNotReplaced) {
  platform::ReplaceFileContents(path_, "old");
  for (DWORD share : {DWORD{0}, DWORD{FILE_SHARE_READ}}) {
    HANDLE other = CreateFileW(path_.c_str(), GENERIC_READ, share, nullptr, OPEN_EXISTING,
                               FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(other, INVALID_HANDLE_VALUE);
    platform::Win32Error error = FailingSave(path_, "new");
    CloseHandle(other);
    EXPECT_EQ(error.Code(), static_cast<DWORD>(ERROR_SHARING_VIOLATION)) << share;
    EXPECT_EQ(error.Message(), CreateErrorText(path_, ERROR_SHARING_VIOLATION)) << share;
    EXPECT_EQ(platform::ReadWholeFile(path_), "old") << share;
    EXPECT_EQ(FolderNames(), std::vector<std::string>{"file.txt"}) << share;
  }
}

// A hold from before the save (its check of the file), one that begins while the new content
// is written (its rename), and one while the file is read: each is waited out.
TEST_F(ReplaceFile, ABriefHoldByAnotherProgramIsWaitedOut) {
  platform::ReplaceFileContents(path_, "old");
  {
    harness::BriefHold hold(path_);
    platform::ReplaceFileContents(path_, "before");
  }
  EXPECT_EQ(platform::ReadWholeFile(path_), "before");
  {
    std::optional<harness::BriefHold> hold;
    auto holdThenWrite = [&](HANDLE file, const char* bytes, DWORD count, DWORD* written) {
      hold.emplace(path_);
      return WriteFile(file, bytes, count, written, nullptr);
    };
    platform::ReplaceFileContents(path_, "during", holdThenWrite);
  }
  harness::BriefHold hold(path_);
  EXPECT_EQ(platform::ReadWholeFile(path_), "during");
  EXPECT_EQ(FolderNames(), std::vector<std::string>{"file.txt"});
}

TEST_F(ReplaceFile, MissingFolderRaisesTheCreateErrorWithTheFullPath) {
  std::wstring path = folder_ + L"missing\\file.txt";
  platform::Win32Error error = FailingSave(path, "new");
  EXPECT_EQ(error.Code(), static_cast<DWORD>(ERROR_PATH_NOT_FOUND));
  EXPECT_EQ(error.Message(), CreateErrorText(path, ERROR_PATH_NOT_FOUND));

  std::wstring relative = L"quorvel-missing-folder\\file.txt";
  error = FailingSave(relative, "new");
  EXPECT_EQ(error.Message(), CreateErrorText(relative, error.Code()));
  EXPECT_NE(error.Message().find(harness::Ansi(platform::ExpandFileName(relative))),
            std::string::npos);
}

TEST_F(ReplaceFile, AFolderInThePlaceOfTheFileIsNotReplaced) {
  ASSERT_TRUE(CreateDirectoryW(path_.c_str(), nullptr));
  platform::Win32Error error = FailingSave(path_, "new");
  EXPECT_EQ(error.Message(), CreateErrorText(path_, error.Code()));
  EXPECT_EQ(GetFileAttributesW(path_.c_str()) & FILE_ATTRIBUTE_DIRECTORY,
            static_cast<DWORD>(FILE_ATTRIBUTE_DIRECTORY));
  EXPECT_EQ(FolderNames(), std::vector<std::string>{"file.txt"});
}

TEST_F(ReplaceFile, AShortWriteLeavesTheOldFileByteForByte) {
  std::string old = "old content\r\n" + std::string(3000, 'o');
  platform::ReplaceFileContents(path_, old);
  int calls = 0;
  auto writeHalf = [&calls](HANDLE file, const char* bytes, DWORD count, DWORD* written) {
    ++calls;
    return WriteFile(file, bytes, count / 2, written, nullptr);
  };
  EXPECT_EQ(FailingWrite(std::string(4000, 'n'), writeHalf), "ストリームへの書き込みエラー");
  EXPECT_EQ(calls, 1);
  EXPECT_EQ(platform::ReadWholeFile(path_), old);
  EXPECT_EQ(FolderNames(), std::vector<std::string>{"file.txt"});
}

TEST_F(ReplaceFile, AFailedWriteOfANewFileLeavesNoFile) {
  EXPECT_EQ(FailingWrite("new", DiskFull), "ストリームへの書き込みエラー");
  EXPECT_EQ(FolderNames(), std::vector<std::string>{});
}

TEST_F(ReplaceFile, AReplacedFileKeepsItsHiddenAndSystemAttributes) {
  wchar_t current[MAX_PATH];
  GetCurrentDirectoryW(MAX_PATH, current);
  ASSERT_TRUE(SetCurrentDirectoryW(folder_.c_str()));
  // Named in full and relative to the current folder (the replacement needs full paths).
  for (const std::wstring& path : {path_, std::wstring(L"file.txt")}) {
    SCOPED_TRACE(harness::Ansi(path));
    platform::ReplaceFileContents(path, "old");
    const DWORD marks = FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM;
    ASSERT_TRUE(SetFileAttributesW(path_.c_str(), marks));
    platform::ReplaceFileContents(path, "new");
    EXPECT_EQ(platform::ReadWholeFile(path_), "new");
    EXPECT_EQ(GetFileAttributesW(path_.c_str()) & marks, marks);
    EXPECT_EQ(FolderNames(), std::vector<std::string>{"file.txt"});
    SetFileAttributesW(path_.c_str(), FILE_ATTRIBUTE_NORMAL);
  }
  SetCurrentDirectoryW(current);
}

TEST_F(ReplaceFile, AFolderThatTakesNoNewFileHasItsFileWrittenInPlace) {
  platform::ReplaceFileContents(path_, "old content");
  ASSERT_TRUE(SetFileAttributesW(path_.c_str(), FILE_ATTRIBUTE_HIDDEN));
  NoNewFiles locked(folder_);
  ASSERT_TRUE(locked.Held());
  platform::ReplaceFileContents(path_, "new");
  EXPECT_EQ(platform::ReadWholeFile(path_), "new");
  EXPECT_TRUE(GetFileAttributesW(path_.c_str()) & FILE_ATTRIBUTE_HIDDEN);
  EXPECT_EQ(FolderNames(), std::vector<std::string>{"file.txt"});
  // A file that does not exist yet cannot be made there.
  std::wstring other = folder_ + L"other.txt";
  platform::Win32Error error = FailingSave(other, "new");
  EXPECT_EQ(error.Message(), CreateErrorText(other, ERROR_ACCESS_DENIED));
}

// The platform calls of a save, one failing as asked; every failure leaves no temporary file.

class ReplaceFileSeams : public ReplaceFile {
 protected:
  // Saves `bytes` over the existing "old" file; the message of the error, empty for none.
  std::string Save(const std::string& bytes, const platform::ReplaceSeams& seams,
                   const platform::WriteBytesFunction& write = {}) {
    try {
      platform::ReplaceFileContents(path_, bytes, write, seams);
    } catch (const platform::Exception& e) {
      return e.Message();
    }
    return "";
  }
  void SetUp() override {
    platform::ReplaceFileContents(path_, "old");
    ASSERT_TRUE(SetFileAttributesW(path_.c_str(), FILE_ATTRIBUTE_HIDDEN));
  }
};

// A rename over a file that another program holds fails for a moment; it is tried again for
// about a second. Any other failure is not tried again, and it, or a hold that lasts, keeps the
// old file and reports the create error.
TEST_F(ReplaceFileSeams, ABriefHoldIsWaitedOutAndAFailedReplacementKeepsTheOldFile) {
  struct Row {
    DWORD code;
    int failures;  // before the rename succeeds; -1: it never does
  };
  for (Row row :
       {Row{ERROR_ACCESS_DENIED, 3}, Row{ERROR_SHARING_VIOLATION, 3}, Row{ERROR_LOCK_VIOLATION, 3},
        Row{ERROR_SHARING_VIOLATION, -1}, Row{ERROR_NOT_SAME_DEVICE, -1}}) {
    SCOPED_TRACE(row.code);
    int calls = 0;
    auto held = [&](const wchar_t* from, const wchar_t* to) {
      bool fail = row.failures < 0 || calls < row.failures;
      ++calls;
      return fail ? Fail(row.code) : MoveFileExW(from, to, MOVEFILE_REPLACE_EXISTING);
    };
    const std::string before = platform::ReadWholeFile(path_), bytes = before + " new";
    bool fails = row.failures < 0;
    EXPECT_EQ(Save(bytes, {held, {}}), fails ? CreateErrorText(path_, row.code) : "");
    EXPECT_EQ(calls > 1, row.code != ERROR_NOT_SAME_DEVICE);
    EXPECT_EQ(platform::ReadWholeFile(path_), fails ? before : bytes);
    EXPECT_TRUE(GetFileAttributesW(path_.c_str()) & FILE_ATTRIBUTE_HIDDEN);
    EXPECT_EQ(FolderNames(), std::vector<std::string>{"file.txt"});
  }
}

TEST_F(ReplaceFileSeams, ATemporaryFileThatResistsOneDeletionIsRemovedAtTheEnd) {
  int deletions = 0;
  std::wstring temporary;
  auto deleteOnSecondTry = [&](const wchar_t* name) {
    temporary = name;
    return ++deletions == 1 ? Fail(ERROR_SHARING_VIOLATION) : DeleteFileW(name);
  };
  EXPECT_EQ(Save("new", {{}, deleteOnSecondTry}, DiskFull), "ストリームへの書き込みエラー");
  EXPECT_EQ(deletions, 2);
  // The new file is named after its target, where a tagging tool does not take it for a file of
  // its own.
  EXPECT_EQ(temporary.substr(0, path_.size() + 2), path_ + L".~");
  EXPECT_EQ(temporary.substr(path_.size() + 8), L".tmp");
  EXPECT_EQ(platform::ReadWholeFile(path_), "old");
  EXPECT_EQ(FolderNames(), std::vector<std::string>{"file.txt"});
}

}  // namespace
