#include <gtest/gtest.h>

#include "platform/CodePage.h"
#include "platform/Exception.h"
#include "platform/Files.h"
#include "tests/harness/WindowTest.h"

namespace {

using namespace std::string_literals;

class FilesTest : public testing::Test {
 protected:
  std::string Path(const std::string& name) const { return folder_.Path() + name; }
  void WriteFileBytes(const std::string& path, const std::string& bytes) {
    ASSERT_TRUE(harness::WriteFileBytes(path, bytes));
  }

  harness::TempFolder folder_;
};

TEST_F(FilesTest, FileExistsIsTrueOnlyForFiles) {
  WriteFileBytes(Path("a.txt"), "x");
  ASSERT_TRUE(CreateDirectoryA(Path("sub").c_str(), nullptr));
  EXPECT_TRUE(tk::FileExists(Path("a.txt")));
  EXPECT_FALSE(tk::FileExists(Path("sub")));
  EXPECT_FALSE(tk::FileExists(Path("missing.txt")));
  EXPECT_FALSE(tk::FileExists(""));
}

TEST_F(FilesTest, ReadWholeFileReturnsEveryByte) {
  std::string bytes = "a\0b\r\n\xFF"s;
  WriteFileBytes(Path("small.bin"), bytes);
  EXPECT_EQ(tk::ReadWholeFile(Path("small.bin")), bytes);

  WriteFileBytes(Path("empty.bin"), "");
  EXPECT_EQ(tk::ReadWholeFile(Path("empty.bin")), "");

  std::string large(3 * 1024 * 1024 + 7, '\0');
  for (size_t i = 0; i < large.size(); ++i) large[i] = static_cast<char>(i * 7919 >> 3);
  WriteFileBytes(Path("large.bin"), large);
  EXPECT_EQ(tk::ReadWholeFile(Path("large.bin")), large);
}

TEST_F(FilesTest, ReadWholeFileReportsAMissingFileWithItsFullPath) {
  std::string path = Path("missing.txt");
  try {
    tk::ReadWholeFile(path);
    FAIL() << "no error";
  } catch (const tk::Win32Error& e) {
    EXPECT_EQ(e.Code(), static_cast<DWORD>(ERROR_FILE_NOT_FOUND));
    EXPECT_EQ(e.Message(), tk::Format("ファイル \"%s\". %s は開けません", path.c_str(),
                                      tk::SysErrorMessage(ERROR_FILE_NOT_FOUND).c_str()));
  }
}

TEST_F(FilesTest, ReadWholeFileHonoursTheSharingMode) {
  std::string path = Path("busy.txt");
  WriteFileBytes(path, "content");
  HANDLE writer = CreateFileA(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                              nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  ASSERT_NE(writer, INVALID_HANDLE_VALUE);
  try {
    tk::ReadWholeFile(path, FILE_SHARE_READ);
    ADD_FAILURE() << "read while another handle writes";
  } catch (const tk::Win32Error& e) {
    EXPECT_EQ(e.Code(), static_cast<DWORD>(ERROR_SHARING_VIOLATION));
  }
  EXPECT_EQ(tk::ReadWholeFile(path, FILE_SHARE_READ | FILE_SHARE_WRITE), "content");
  CloseHandle(writer);
  EXPECT_EQ(tk::ReadWholeFile(path, FILE_SHARE_READ), "content");
}

TEST(Files, ExtractFilePathSkipsSecondBytesOfDoubleByteCharacters) {
  EXPECT_EQ(tk::ExtractFilePath("C:\\ソ\\title.txt"), "C:\\ソ\\");
  EXPECT_EQ(tk::ExtractFilePath("C:\\music\\表\\title.txt"), "C:\\music\\表\\");
  EXPECT_EQ(tk::ExtractFilePath("C:\\dirソ"), "C:\\");  // the name ends in 5C
  EXPECT_EQ(tk::ExtractFilePath("C:\\a\\b.txt"), "C:\\a\\");
  EXPECT_EQ(tk::ExtractFilePath("C:title.txt"), "C:");
  EXPECT_EQ(tk::ExtractFilePath("title.txt"), "");
  EXPECT_EQ(tk::ExtractFilePath(""), "");
  EXPECT_EQ(tk::ExtractFilePath("C:\\a\\\x83"), "C:\\a\\");  // a lead byte cut off at the end
}

TEST(Files, ChangeFileExtReplacesOnlyTheFileNamesExtension) {
  EXPECT_EQ(tk::ChangeFileExt("C:\\bin\\Quorvel.exe", ".ini"), "C:\\bin\\Quorvel.ini");
  EXPECT_EQ(tk::ChangeFileExt("C:\\bin\\Quorvel", ".ini"), "C:\\bin\\Quorvel.ini");
  EXPECT_EQ(tk::ChangeFileExt("C:\\v1.2\\Quorvel", ".ini"), "C:\\v1.2\\Quorvel.ini");
  EXPECT_EQ(tk::ChangeFileExt("C:\\a.tar.gz", ".ini"), "C:\\a.tar.ini");
  EXPECT_EQ(tk::ChangeFileExt("C:\\ソ.d\\ソ", ".ini"), "C:\\ソ.d\\ソ.ini");
  EXPECT_EQ(tk::ChangeFileExt("D:x.exe", ""), "D:x");
}

TEST(Files, SysErrorMessageIsTrimmedSystemText) {
  for (DWORD code :
       {ERROR_FILE_NOT_FOUND, ERROR_PATH_NOT_FOUND, ERROR_ACCESS_DENIED, ERROR_SHARING_VIOLATION}) {
    std::string text = tk::SysErrorMessage(code);
    ASSERT_FALSE(text.empty()) << code;
    unsigned char last = static_cast<unsigned char>(text.back());
    EXPECT_GT(last, 32) << code;
    EXPECT_NE(last, '.') << code;
  }
  EXPECT_EQ(tk::SysErrorMessage(0x2FFFFFFF), "");  // no such message
}

TEST(CodePage, ConvertsBetweenShiftJisAndUtf16) {
  EXPECT_EQ(tk::AnsiToWide("ソ表示 ok"), L"\u30BD\u8868\u793A ok");
  EXPECT_EQ(tk::WideToAnsi(L"\u30BD\u8868\u793A ok"), "ソ表示 ok");
  EXPECT_EQ(tk::AnsiToWide(""), L"");
  EXPECT_EQ(tk::WideToAnsi(L""), "");
  EXPECT_EQ(tk::WideToAnsi(std::wstring(L"a\0b", 3)), std::string("a\0b", 3));
}

TEST(CodePage, CharactersTheCodePageLacksBecomeOneSubstitute) {
  std::string substitute = tk::WideToAnsi(L"\u00E9");
  ASSERT_EQ(substitute.size(), 1u);
  EXPECT_GT(static_cast<unsigned char>(substitute[0]), 32);
  EXPECT_EQ(tk::WideToAnsi(L"\uFEFF").size(), 1u);
}

}  // namespace
