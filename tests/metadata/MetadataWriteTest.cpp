#include <gtest/gtest.h>

#include <algorithm>

#include "metadata/MetadataFile.h"
#include "platform/Exception.h"
#include "platform/Files.h"
#include "tests/harness/WindowTest.h"

namespace {

using Entries = std::vector<std::string>;
using Values = std::vector<AlbumValue>;

const char* const kExamplePath = QUORVEL_TEST_DATA "/metadata/example.txt";

AlbumRecord ExampleRecord() {
  return {"Summer Songs", "Various Artists", "", "2025", "J-POP", " 1"};
}

ArtistMap MapOf(const std::vector<std::pair<std::string, std::string>>& entries) {
  ArtistMap map;
  for (const auto& [title, artist] : entries) map.SetArtist(title, artist);
  return map;
}

std::string Built(const AlbumRecord& record, const ArtistMap& map) {
  return BuildMetadataText(Album{record, map});
}

Entries EntriesOf(const ArtistMap& map) {
  Entries entries;
  for (int i = 0; i < map.Count(); ++i) entries.push_back(map.TitleAt(i) + "=" + map.ArtistAt(i));
  return entries;
}

std::string ArtistsLinesOf(const ArtistMap& map) {
  std::string text = Built(AlbumRecord{}, map);
  return text.substr(text.rfind("[ARTISTS]\r\n") + 11);
}

TEST(MetadataBuild, ExampleIsWrittenByteForByte) {
  ArtistMap map = MapOf({{"Second Song", "Guest A"}, {"Last Song", "Guest B & Guest C"}});
  EXPECT_EQ(Built(ExampleRecord(), map), platform::ReadWholeFile(kExamplePath));
}

TEST(MetadataBuild, EmptyFieldsAndMapGiveBareKeysAndASingleHeader) {
  // The example without its field values and without its two entries.
  std::string expected = platform::ReadWholeFile(kExamplePath);
  for (std::string value : {"Summer Songs", "Various Artists", "2025", "J-POP", " 1"}) {
    expected.erase(expected.find("=" + value + "\r\n") + 1, value.size());
  }
  expected.erase(expected.find("Second Song="));
  EXPECT_EQ(Built(AlbumRecord{}, ArtistMap{}), expected);
}

TEST(MetadataBuild, TextsAreWrittenAsTheyStandAndBlankArtistsLeftOut) {
  AlbumRecord record{"  spaced  ", "a=b", "#x", "1999", "[g]", "12"};
  std::string text = Built(record, ArtistMap{});
  EXPECT_NE(text.find("\r\nALBUM=  spaced  \r\nALBUMARTIST=a=b\r\nARTIST=#x\r\nYEAR=1999\r\n"
                      "GENRE=[g]\r\nDISCNUMBER=12\r\n\r\n"),
            std::string::npos);

  ArtistMap map = MapOf({{"One", " Guest "}, {"Blank", " \t "}, {"Two", "B"}});
  EXPECT_EQ(ArtistsLinesOf(map), "One= Guest \r\nTwo=B\r\n");
}

TEST(MetadataBuild, ShiftJisBecomesUtf8) {
  AlbumRecord record{"夏の歌", "", "ｿ", "", "", ""};
  std::string text = Built(record, MapOf({{"ソング", "表"}}));
  EXPECT_NE(text.find("\r\nALBUM=\xE5\xA4\x8F\xE3\x81\xAE\xE6\xAD\x8C\r\n"), std::string::npos);
  EXPECT_NE(text.find("\r\nARTIST=\xEF\xBD\xBF\r\n"), std::string::npos);  // half-width ｿ
  EXPECT_EQ(text.substr(text.rfind("[ARTISTS]\r\n") + 11),
            "\xE3\x82\xBD\xE3\x83\xB3\xE3\x82\xB0=\xE8\xA1\xA8\r\n");
  EXPECT_NE(text.substr(0, 3), "\xEF\xBB\xBF");
}

// Key lines the editor does not edit come back byte for byte after DISCNUMBER, in file order,
// the headers of their sections not written: a save and a reload keep them.
TEST(MetadataBuild, OtherKeyLinesAreWrittenBackAfterDiscNumber) {
  const std::string file =
      "COMMENT=Beyonc\xC3\xA9\r\nALBUM=A\r\n[OTHER]\r\ncomposer = \xE5\xA4\x8F\r\n"
      "[ARTISTS]\r\nSong=Guest\r\n";
  Album album;
  ParseMetadataText(file, album);
  std::string text = BuildMetadataText(album);
  const std::string expected =
      "DISCNUMBER=\r\nCOMMENT=Beyonc\xC3\xA9\r\ncomposer = \xE5\xA4\x8F\r\n\r\n#";
  EXPECT_NE(text.find(expected), std::string::npos) << text;
  EXPECT_EQ(text.find("[OTHER]"), std::string::npos);
  Album reread;
  ParseMetadataText(text, reread);
  EXPECT_EQ(reread.otherKeyLines, album.otherKeyLines);
}

// U+0000 can only come from C0 80, and goes back as C0 80: a raw NUL would end the file.
TEST(MetadataBuild, ANulInATitleIsWrittenAsC080AndEveryLaterEntryComesBack) {
  const std::string entries = "[ARTISTS]\r\nSong\xC0\x80x=Guest\r\nOther=B\r\nThird=C\r\n";
  Album album;
  ParseMetadataText(entries, album);
  const ArtistMap& map = album.artists;
  ASSERT_EQ(EntriesOf(map), (Entries{std::string("Song\0x=Guest", 12), "Other=B", "Third=C"}));
  std::string text = Built(AlbumRecord{}, map);
  EXPECT_EQ(text.substr(text.rfind("[ARTISTS]\r\n")), entries);
  Album reread;
  ParseMetadataText(text, reread);
  EXPECT_EQ(EntriesOf(reread.artists), EntriesOf(map));
}

TEST(MetadataBuild, EntryReadsBackTellsWhetherTheWrittenLineGivesTheEntryBack) {
  const struct {
    const char* title;
    const char* artist;
    bool readsBack;
  } cases[] = {
      {"Song", "Guest", true},
      {"1+1", "2=Guest", true},  // only the first "=" splits
      {"=LOVE", "Guest", false},
      {"1+1=2", "Guest", false},
      {"#好きなんだ", "Guest", false},
      {"[Live] Song", "Guest [JP]", false},
      {"[Live] Song", "Guest", true},
      {"[Live] Song", "ゾ", false},  // 83 5D: its last byte is that of "]"
      {"[Live] Song", "ソ", true},   // 83 5C
      {"Song ", "Guest", false},     // the reader trims the title
      {"Song", "", false},           // not written
  };
  for (const auto& c : cases) {
    EXPECT_EQ(EntryReadsBack(c.title, c.artist), c.readsBack) << c.title << "=" << c.artist;
  }
}

// Lets a folder take no new file while the files in it stay writable, until destroyed: the
// Linux immutable attribute, set with chattr (as root, permissions stop nothing). Wine
// starts a Linux program detached, so the command leaves a mark beside the folder when it
// is done, and that is awaited.
class NoNewFiles {
 public:
  explicit NoNewFiles(const std::string& folder) : folder_(folder) { held_ = Set(true); }
  ~NoNewFiles() { Set(false); }
  bool Held() const { return held_; }

 private:
  static std::string UnixName(const std::string& path) {
    using Convert = char*(CDECL*)(LPCWSTR);
    auto convert = reinterpret_cast<Convert>(
        GetProcAddress(GetModuleHandleA("kernel32"), "wine_get_unix_file_name"));
    std::wstring wide(path.begin(), path.end());  // the temporary folder's path is ASCII
    char* name = convert ? convert(wide.c_str()) : nullptr;
    if (!name) return "";
    std::string result = name;
    HeapFree(GetProcessHeap(), 0, name);
    return result;
  }
  bool Set(bool on) {
    std::string folder = folder_.substr(0, folder_.size() - 1);  // without its final "\"
    std::string unixPath = UnixName(folder);
    if (unixPath.empty()) return false;
    std::string mark = folder + ".done";
    std::string command = std::string("/bin/sh -c \"/usr/bin/chattr ") + (on ? "+i " : "-i ") +
                          unixPath + " && touch " + unixPath + ".done\"";
    // The command gets standard handles of its own: given this process's, Wine leaves the
    // test's output closed once the command has ended.
    SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
    HANDLE nul =
        CreateFileA("NUL", GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                    &inherit, OPEN_EXISTING, 0, nullptr);
    STARTUPINFOA startup{sizeof startup};
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
    DeleteFileA(mark.c_str());
    return done;
  }

  std::string folder_;  // ends in "\"
  bool held_ = false;
};

// Writing to disk, and the safe save that keeps the old file whenever the save fails.
class MetadataWrite : public testing::Test {
 protected:
  std::vector<std::string> FolderNames() const {
    std::vector<std::string> names;
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA((folder_ + "*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) return names;
    do {
      std::string name = found.cFileName;
      if (name != "." && name != "..") names.push_back(name);
    } while (FindNextFileA(search, &found));
    FindClose(search);
    std::sort(names.begin(), names.end());
    return names;
  }
  // Runs a save that must fail on the platform and returns its error.
  platform::Win32Error FailingSave(const std::string& path, const std::string& bytes) {
    try {
      WriteMetadataFile(path, bytes);
    } catch (const platform::Win32Error& e) {
      return e;
    }
    ADD_FAILURE() << "the save did not fail";
    return platform::Win32Error("", 0);
  }
  // Runs a save whose writing must fail and returns the error's message.
  std::string FailingWrite(const std::string& bytes, const platform::WriteBytesFunction& write) {
    try {
      WriteMetadataFile(path_, bytes, write);
    } catch (const platform::Win32Error& e) {
      ADD_FAILURE() << "unexpected platform error " << e.Code();
    } catch (const platform::Exception& e) {
      return e.Message();
    }
    ADD_FAILURE() << "the save did not fail";
    return "";
  }
  std::string CreateErrorText(const std::string& path, DWORD code) const {
    return platform::Format("ファイル \"%s\". %s を作成できません",
                            platform::ExpandFileName(path).c_str(),
                            platform::SysErrorMessage(code).c_str());
  }

  harness::TempFolder folder;
  const std::string folder_ = folder.Path();
  const std::string path_ = folder_ + "metadata.txt";
};

TEST_F(MetadataWrite, CreatesTheFileWithExactlyTheBytesAndNothingElse) {
  WriteMetadataFile(path_, "new\r\n");
  EXPECT_EQ(platform::ReadWholeFile(path_), "new\r\n");
  EXPECT_EQ(FolderNames(), std::vector<std::string>{"metadata.txt"});
}

TEST_F(MetadataWrite, ReplacesAnExistingFileWhole) {
  WriteMetadataFile(path_, std::string(5000, 'x'));
  WriteMetadataFile(path_, "short");
  EXPECT_EQ(platform::ReadWholeFile(path_), "short");
  EXPECT_EQ(FolderNames(), std::vector<std::string>{"metadata.txt"});
}

TEST_F(MetadataWrite, WritesIntoAFolderWhoseNameEndsInByte5C) {
  std::string folder = folder_ + "ソ表";
  ASSERT_TRUE(CreateDirectoryA(folder.c_str(), nullptr));
  std::string path = folder + "\\metadata.txt";
  WriteMetadataFile(path, "x");
  WriteMetadataFile(path, "y");
  EXPECT_EQ(platform::ReadWholeFile(path), "y");
  DeleteFileA(path.c_str());
}

TEST_F(MetadataWrite, SavedFileReadsBackIntoTheSameFieldsAndEntries) {
  AlbumRecord record{"夏の歌 Vol.2", "表示 & ソ", "Artist", "2026", "J-POP", "12"};
  ArtistMap map = MapOf({{"ソング", "ゲスト=A"}, {"Intro", "表"}, {"A=B", "X"}});
  WriteMetadataFile(path_, Built(record, map));
  Album read;
  EXPECT_EQ(ReadMetadataFile(path_, read), (Values{{AlbumKey::Album, "夏の歌 Vol.2"},
                                                   {AlbumKey::AlbumArtist, "表示 & ソ"},
                                                   {AlbumKey::Artist, "Artist"},
                                                   {AlbumKey::Year, "2026"},
                                                   {AlbumKey::Genre, "J-POP"},
                                                   {AlbumKey::DiscNumber, "12"}}));
  EXPECT_EQ(EntriesOf(read.artists), (Entries{"ソング=ゲスト=A", "Intro=表", "A=B=X"}));
  EXPECT_EQ(read.artists.TitleAt(2), "A");
  EXPECT_EQ(read.artists.ArtistAt(2), "B=X");
}

TEST_F(MetadataWrite, EntriesThatLookLikeCommentsOrHeadersDoNotComeBackAsEntries) {
  ArtistMap map = MapOf({{"#Hidden", "Guest"},
                         {" Padded ", " Guest "},
                         {"[Outro", "ゾ"},
                         {"GENRE", "Rock"},
                         {"[Intro", "Guest]"},
                         {"ALBUM", "Z"}});
  WriteMetadataFile(path_, Built(AlbumRecord{}, map));
  Album read;
  Values values = ReadMetadataFile(path_, read);
  EXPECT_EQ(EntriesOf(read.artists), Entries{"Padded=Guest"});
  // After the headers "[Outro=ゾ" and "[Intro=Guest]" the entries are album keys.
  ASSERT_GE(values.size(), 2u);
  EXPECT_EQ(values[values.size() - 2], (AlbumValue{AlbumKey::Genre, "Rock"}));
  EXPECT_EQ(values.back(), (AlbumValue{AlbumKey::Album, "Z"}));
}

TEST_F(MetadataWrite, AFieldWithALineBreakComesBackCut) {
  AlbumRecord record{"a\r\nGENRE=x", "", "", "", "", ""};
  WriteMetadataFile(path_, Built(record, ArtistMap{}));
  Album read;
  Values values = ReadMetadataFile(path_, read);
  ASSERT_GE(values.size(), 2u);
  EXPECT_EQ(values[0], (AlbumValue{AlbumKey::Album, "a"}));
  EXPECT_EQ(values[1], (AlbumValue{AlbumKey::Genre, "x"}));
}

TEST_F(MetadataWrite, ReadOnlyFileIsNotReplaced) {
  WriteMetadataFile(path_, "old");
  ASSERT_TRUE(SetFileAttributesA(path_.c_str(), FILE_ATTRIBUTE_READONLY));
  platform::Win32Error error = FailingSave(path_, "new");
  EXPECT_EQ(error.Code(), static_cast<DWORD>(ERROR_ACCESS_DENIED));
  EXPECT_EQ(error.Message(), CreateErrorText(path_, ERROR_ACCESS_DENIED));
  EXPECT_EQ(platform::ReadWholeFile(path_), "old");
  EXPECT_EQ(FolderNames(), std::vector<std::string>{"metadata.txt"});
}

TEST_F(MetadataWrite, FileOpenElsewhereIsNotReplaced) {
  WriteMetadataFile(path_, "old");
  for (DWORD share : {DWORD{0}, DWORD{FILE_SHARE_READ}}) {
    HANDLE other = CreateFileA(path_.c_str(), GENERIC_READ, share, nullptr, OPEN_EXISTING,
                               FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(other, INVALID_HANDLE_VALUE);
    platform::Win32Error error = FailingSave(path_, "new");
    CloseHandle(other);
    EXPECT_EQ(error.Code(), static_cast<DWORD>(ERROR_SHARING_VIOLATION)) << share;
    EXPECT_EQ(error.Message(), CreateErrorText(path_, ERROR_SHARING_VIOLATION)) << share;
    EXPECT_EQ(platform::ReadWholeFile(path_), "old") << share;
    EXPECT_EQ(FolderNames(), std::vector<std::string>{"metadata.txt"}) << share;
  }
}

TEST_F(MetadataWrite, MissingFolderRaisesTheCreateErrorWithTheFullPath) {
  std::string path = folder_ + "missing\\metadata.txt";
  platform::Win32Error error = FailingSave(path, "new");
  EXPECT_EQ(error.Code(), static_cast<DWORD>(ERROR_PATH_NOT_FOUND));
  EXPECT_EQ(error.Message(), CreateErrorText(path, ERROR_PATH_NOT_FOUND));

  std::string relative = "quorvel-missing-folder\\metadata.txt";
  error = FailingSave(relative, "new");
  EXPECT_EQ(error.Message(), CreateErrorText(relative, error.Code()));
  EXPECT_NE(error.Message().find(platform::ExpandFileName(relative)), std::string::npos);
}

TEST_F(MetadataWrite, AFolderInThePlaceOfTheFileIsNotReplaced) {
  ASSERT_TRUE(CreateDirectoryA(path_.c_str(), nullptr));
  platform::Win32Error error = FailingSave(path_, "new");
  EXPECT_EQ(error.Message(), CreateErrorText(path_, error.Code()));
  EXPECT_EQ(GetFileAttributesA(path_.c_str()) & FILE_ATTRIBUTE_DIRECTORY,
            static_cast<DWORD>(FILE_ATTRIBUTE_DIRECTORY));
  EXPECT_EQ(FolderNames(), std::vector<std::string>{"metadata.txt"});
}

TEST_F(MetadataWrite, AShortWriteLeavesTheOldFileByteForByte) {
  std::string old = Built(ExampleRecord(), MapOf({{"Song", "Guest"}}));
  WriteMetadataFile(path_, old);
  int calls = 0;
  auto writeHalf = [&calls](HANDLE file, const char* bytes, DWORD count, DWORD* written) {
    ++calls;
    return WriteFile(file, bytes, count / 2, written, nullptr);
  };
  EXPECT_EQ(FailingWrite(std::string(4000, 'n'), writeHalf), "ストリームへの書き込みエラー");
  EXPECT_EQ(calls, 1);
  EXPECT_EQ(platform::ReadWholeFile(path_), old);
  EXPECT_EQ(FolderNames(), std::vector<std::string>{"metadata.txt"});
}

TEST_F(MetadataWrite, AFailedWriteOfANewFileLeavesNoFile) {
  auto diskFull = [](HANDLE, const char*, DWORD, DWORD* written) {
    *written = 0;
    SetLastError(ERROR_DISK_FULL);
    return FALSE;
  };
  EXPECT_EQ(FailingWrite("new", diskFull), "ストリームへの書き込みエラー");
  EXPECT_EQ(FolderNames(), std::vector<std::string>{});
}

TEST_F(MetadataWrite, AReplacedFileKeepsItsHiddenAndSystemAttributes) {
  char current[MAX_PATH];
  GetCurrentDirectoryA(sizeof current, current);
  ASSERT_TRUE(SetCurrentDirectoryA(folder_.c_str()));
  // Named in full and relative to the current folder (the replacement needs full paths).
  for (const std::string& path : {path_, std::string("metadata.txt")}) {
    SCOPED_TRACE(path);
    WriteMetadataFile(path, "old");
    const DWORD marks = FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM;
    ASSERT_TRUE(SetFileAttributesA(path_.c_str(), marks));
    WriteMetadataFile(path, "new");
    EXPECT_EQ(platform::ReadWholeFile(path_), "new");
    EXPECT_EQ(GetFileAttributesA(path_.c_str()) & marks, marks);
    EXPECT_EQ(FolderNames(), std::vector<std::string>{"metadata.txt"});
    SetFileAttributesA(path_.c_str(), FILE_ATTRIBUTE_NORMAL);
  }
  SetCurrentDirectoryA(current);
}

TEST_F(MetadataWrite, AFolderThatTakesNoNewFileHasItsFileWrittenInPlace) {
  WriteMetadataFile(path_, "old content");
  ASSERT_TRUE(SetFileAttributesA(path_.c_str(), FILE_ATTRIBUTE_HIDDEN));
  NoNewFiles locked(folder_);
  ASSERT_TRUE(locked.Held());
  WriteMetadataFile(path_, "new");
  EXPECT_EQ(platform::ReadWholeFile(path_), "new");
  EXPECT_TRUE(GetFileAttributesA(path_.c_str()) & FILE_ATTRIBUTE_HIDDEN);
  EXPECT_EQ(FolderNames(), std::vector<std::string>{"metadata.txt"});
  // A file that does not exist yet cannot be made there.
  std::string other = folder_ + "other.txt";
  platform::Win32Error error = FailingSave(other, "new");
  EXPECT_EQ(error.Message(), CreateErrorText(other, ERROR_ACCESS_DENIED));
}

// The platform calls of a save, one failing as asked; every failure leaves no temporary file.
class MetadataWriteSeams : public MetadataWrite {
 protected:
  static BOOL Fail(DWORD code) {
    SetLastError(code);
    return FALSE;
  }
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
    WriteMetadataFile(path_, "old");
    ASSERT_TRUE(SetFileAttributesA(path_.c_str(), FILE_ATTRIBUTE_HIDDEN));
  }
};

TEST_F(MetadataWriteSeams, WhereReplacingIsNotSupportedTheFileIsMovedIntoPlace) {
  for (DWORD code : {ERROR_NOT_SUPPORTED, ERROR_CALL_NOT_IMPLEMENTED, ERROR_INVALID_FUNCTION}) {
    SCOPED_TRACE(code);
    std::string bytes = "new " + std::to_string(code);
    EXPECT_EQ(Save(bytes, {[code](const char*, const char*) { return Fail(code); }, {}}), "");
    EXPECT_EQ(platform::ReadWholeFile(path_), bytes);
    EXPECT_TRUE(GetFileAttributesA(path_.c_str()) & FILE_ATTRIBUTE_HIDDEN);
    EXPECT_EQ(FolderNames(), std::vector<std::string>{"metadata.txt"});
  }
}

TEST_F(MetadataWriteSeams, AFailedReplacementKeepsTheOldFileAndReportsTheCreateError) {
  auto refuse = [](const char*, const char*) { return Fail(ERROR_UNABLE_TO_REMOVE_REPLACED); };
  EXPECT_EQ(Save("new", {refuse, {}}), CreateErrorText(path_, ERROR_UNABLE_TO_REMOVE_REPLACED));
  EXPECT_EQ(platform::ReadWholeFile(path_), "old");
  EXPECT_EQ(FolderNames(), std::vector<std::string>{"metadata.txt"});
}

// ReplaceFileA can fail after it has removed the replaced file (Wine moves it away first):
// the new content is then only in the temporary file, which must not be deleted.
TEST_F(MetadataWriteSeams, AReplacementThatLostTheOldFileStillPutsTheNewOneInPlace) {
  auto lose = [](const char* replaced, const char*) {
    DeleteFileA(replaced);
    return Fail(ERROR_UNABLE_TO_MOVE_REPLACEMENT);
  };
  EXPECT_EQ(Save("new", {lose, {}}), "");
  EXPECT_EQ(platform::ReadWholeFile(path_), "new");
  EXPECT_TRUE(GetFileAttributesA(path_.c_str()) & FILE_ATTRIBUTE_HIDDEN);
  EXPECT_EQ(FolderNames(), std::vector<std::string>{"metadata.txt"});
}

TEST_F(MetadataWriteSeams, ATemporaryFileThatResistsOneDeletionIsRemovedAtTheEnd) {
  int deletions = 0;
  auto deleteOnSecondTry = [&deletions](const char* name) {
    return ++deletions == 1 ? Fail(ERROR_SHARING_VIOLATION) : DeleteFileA(name);
  };
  auto diskFull = [](HANDLE, const char*, DWORD, DWORD* written) {
    *written = 0;
    return Fail(ERROR_DISK_FULL);
  };
  EXPECT_EQ(Save("new", {{}, deleteOnSecondTry}, diskFull), "ストリームへの書き込みエラー");
  EXPECT_EQ(deletions, 2);
  EXPECT_EQ(platform::ReadWholeFile(path_), "old");
  EXPECT_EQ(FolderNames(), std::vector<std::string>{"metadata.txt"});
}

}  // namespace
