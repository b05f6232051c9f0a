#include <gtest/gtest.h>

#include "platform/CodePage.h"
#include "platform/Exception.h"
#include "platform/Files.h"
#include "tests/harness/Raises.h"
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
  EXPECT_TRUE(platform::FileExists(Path("a.txt")));
  EXPECT_FALSE(platform::FileExists(Path("sub")));
  EXPECT_FALSE(platform::FileExists(Path("missing.txt")));
  EXPECT_FALSE(platform::FileExists(""));
}

TEST_F(FilesTest, ReadWholeFileReturnsEveryByte) {
  std::string bytes = "a\0b\r\n\xFF"s;
  WriteFileBytes(Path("small.bin"), bytes);
  EXPECT_EQ(platform::ReadWholeFile(Path("small.bin")), bytes);

  WriteFileBytes(Path("empty.bin"), "");
  EXPECT_EQ(platform::ReadWholeFile(Path("empty.bin")), "");

  std::string large(3 * 1024 * 1024 + 7, '\0');
  for (size_t i = 0; i < large.size(); ++i) large[i] = static_cast<char>(i * 7919 >> 3);
  WriteFileBytes(Path("large.bin"), large);
  EXPECT_EQ(platform::ReadWholeFile(Path("large.bin")), large);
}

TEST_F(FilesTest, ReadWholeFileReportsAMissingFileWithItsFullPath) {
  std::string path = Path("missing.txt");
  if (auto e = harness::Raised<platform::Win32Error>([&] { platform::ReadWholeFile(path); })) {
    EXPECT_EQ(e->Code(), static_cast<DWORD>(ERROR_FILE_NOT_FOUND));
    EXPECT_EQ(e->Message(),
              platform::Format("ファイル \"%s\". %s は開けません", path.c_str(),
                               platform::SysErrorMessage(ERROR_FILE_NOT_FOUND).c_str()));
  }
}

TEST_F(FilesTest, ReadWholeFileHonoursTheSharingMode) {
  std::string path = Path("busy.txt");
  WriteFileBytes(path, "content");
  HANDLE writer = CreateFileA(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                              nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  ASSERT_NE(writer, INVALID_HANDLE_VALUE);
  // A read while another handle writes.
  if (auto e = harness::Raised<platform::Win32Error>(
          [&] { platform::ReadWholeFile(path, FILE_SHARE_READ); })) {
    EXPECT_EQ(e->Code(), static_cast<DWORD>(ERROR_SHARING_VIOLATION));
  }
  EXPECT_EQ(platform::ReadWholeFile(path, FILE_SHARE_READ | FILE_SHARE_WRITE), "content");
  CloseHandle(writer);
  EXPECT_EQ(platform::ReadWholeFile(path, FILE_SHARE_READ), "content");
}

TEST(Files, ExtractFilePathSkipsSecondBytesOfDoubleByteCharacters) {
  EXPECT_EQ(platform::ExtractFilePath("C:\\ソ\\title.txt"), "C:\\ソ\\");
  EXPECT_EQ(platform::ExtractFilePath("C:\\music\\表\\title.txt"), "C:\\music\\表\\");
  EXPECT_EQ(platform::ExtractFilePath("C:\\dirソ"), "C:\\");  // the name ends in 5C
  EXPECT_EQ(platform::ExtractFilePath("C:\\a\\b.txt"), "C:\\a\\");
  EXPECT_EQ(platform::ExtractFilePath("C:title.txt"), "C:");
  EXPECT_EQ(platform::ExtractFilePath("title.txt"), "");
  EXPECT_EQ(platform::ExtractFilePath(""), "");
  EXPECT_EQ(platform::ExtractFilePath("C:\\a\\\x83"), "C:\\a\\");  // a lead byte cut off at the end
}

TEST(Files, ChangeFileExtReplacesOnlyTheFileNamesExtension) {
  EXPECT_EQ(platform::ChangeFileExt("C:\\bin\\Quorvel.exe", ".ini"), "C:\\bin\\Quorvel.ini");
  EXPECT_EQ(platform::ChangeFileExt("C:\\bin\\Quorvel", ".ini"), "C:\\bin\\Quorvel.ini");
  EXPECT_EQ(platform::ChangeFileExt("C:\\v1.2\\Quorvel", ".ini"), "C:\\v1.2\\Quorvel.ini");
  EXPECT_EQ(platform::ChangeFileExt("C:\\a.tar.gz", ".ini"), "C:\\a.tar.ini");
  EXPECT_EQ(platform::ChangeFileExt("C:\\ソ.d\\ソ", ".ini"), "C:\\ソ.d\\ソ.ini");
  EXPECT_EQ(platform::ChangeFileExt("D:x.exe", ""), "D:x");
}

TEST(Files, SysErrorMessageIsTrimmedSystemText) {
  for (DWORD code :
       {ERROR_FILE_NOT_FOUND, ERROR_PATH_NOT_FOUND, ERROR_ACCESS_DENIED, ERROR_SHARING_VIOLATION}) {
    std::string text = platform::SysErrorMessage(code);
    ASSERT_FALSE(text.empty()) << code;
    unsigned char last = static_cast<unsigned char>(text.back());
    EXPECT_GT(last, 32) << code;
    EXPECT_NE(last, '.') << code;
  }
  EXPECT_EQ(platform::SysErrorMessage(0x2FFFFFFF), "");  // no such message
}

TEST(CodePage, ConvertsBetweenShiftJisAndUtf16) {
  EXPECT_EQ(platform::AnsiToWide("ソ表示 ok"), L"\u30BD\u8868\u793A ok");
  EXPECT_EQ(platform::WideToAnsi(L"\u30BD\u8868\u793A ok"), "ソ表示 ok");
  EXPECT_EQ(platform::AnsiToWide(""), L"");
  EXPECT_EQ(platform::WideToAnsi(L""), "");
  EXPECT_EQ(platform::WideToAnsi(std::wstring(L"a\0b", 3)), std::string("a\0b", 3));
}

TEST(CodePage, CharactersTheCodePageLacksBecomeOneSubstitute) {
  std::string substitute = platform::WideToAnsi(L"\u00E9");
  ASSERT_EQ(substitute.size(), 1u);
  EXPECT_GT(static_cast<unsigned char>(substitute[0]), 32);
  EXPECT_EQ(platform::WideToAnsi(L"\uFEFF").size(), 1u);
}

}  // namespace
