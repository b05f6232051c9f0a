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
  std::wstring Path(const std::wstring& name) const { return folder_.Path() + name; }
  void WriteFileBytes(const std::wstring& path, const std::string& bytes) {
    ASSERT_TRUE(harness::WriteFileBytes(path, bytes));
  }

  harness::TempFolder folder_;
};

TEST_F(FilesTest, FileExistsIsTrueOnlyForFiles) {
  WriteFileBytes(Path(L"a.txt"), "x");
  ASSERT_TRUE(CreateDirectoryW(Path(L"sub").c_str(), nullptr));
  EXPECT_TRUE(platform::FileExists(Path(L"a.txt")));
  EXPECT_FALSE(platform::FileExists(Path(L"sub")));
  EXPECT_FALSE(platform::FileExists(Path(L"missing.txt")));
  EXPECT_FALSE(platform::FileExists(L""));
}

TEST_F(FilesTest, ReadWholeFileReturnsEveryByte) {
  std::string bytes = "a\0b\r\n\xFF"s;
  WriteFileBytes(Path(L"small.bin"), bytes);
  EXPECT_EQ(platform::ReadWholeFile(Path(L"small.bin")), bytes);

  WriteFileBytes(Path(L"empty.bin"), "");
  EXPECT_EQ(platform::ReadWholeFile(Path(L"empty.bin")), "");

  std::string large(3 * 1024 * 1024 + 7, '\0');
  for (size_t i = 0; i < large.size(); ++i) large[i] = static_cast<char>(i * 7919 >> 3);
  WriteFileBytes(Path(L"large.bin"), large);
  EXPECT_EQ(platform::ReadWholeFile(Path(L"large.bin")), large);
}

TEST_F(FilesTest, ReadWholeFileReportsAMissingFileWithItsFullPath) {
  std::wstring path = Path(L"missing.txt");
  if (auto e = harness::Raised<platform::Win32Error>([&] { platform::ReadWholeFile(path); })) {
    EXPECT_EQ(e->Code(), static_cast<DWORD>(ERROR_FILE_NOT_FOUND));
    EXPECT_EQ(e->Message(),
              platform::Format("ファイル \"%s\". %s は開けません", harness::Ansi(path).c_str(),
                               platform::SysErrorMessage(ERROR_FILE_NOT_FOUND).c_str()));
  }
}

TEST_F(FilesTest, ReadWholeFileHonoursTheSharingMode) {
  std::wstring path = Path(L"busy.txt");
  WriteFileBytes(path, "content");
  HANDLE writer = CreateFileW(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
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

TEST(Files, ExtractFilePathAndChangeFileExtTakeAnyFolderName) {
  EXPECT_EQ(platform::ExtractFilePath(L"C:\\ソ\\title.txt"), L"C:\\ソ\\");
  EXPECT_EQ(
      platform::ExtractFilePath(L"C:\\Sigur R\u00F3s \u2013 \u00C1g\u00E6tis byrjun\\title.txt"),
      L"C:\\Sigur R\u00F3s \u2013 \u00C1g\u00E6tis byrjun\\");
  EXPECT_EQ(platform::ExtractFilePath(L"C:\\ベスト\u301CBest\u301C\\t"),
            L"C:\\ベスト\u301CBest\u301C\\");
  EXPECT_EQ(platform::ExtractFilePath(L"C:title.txt"), L"C:");
  EXPECT_EQ(platform::ExtractFilePath(L"title.txt"), L"");
  EXPECT_EQ(platform::ExtractFilePath(L""), L"");
  EXPECT_EQ(platform::ChangeFileExt(L"C:\\bin\\Quorvel.exe", L".ini"), L"C:\\bin\\Quorvel.ini");
  EXPECT_EQ(platform::ChangeFileExt(L"C:\\bin\\Quorvel", L".ini"), L"C:\\bin\\Quorvel.ini");
  EXPECT_EQ(platform::ChangeFileExt(L"C:\\v1.2\\Quorvel", L".ini"), L"C:\\v1.2\\Quorvel.ini");
  EXPECT_EQ(platform::ChangeFileExt(L"C:\\a.tar.gz", L".ini"), L"C:\\a.tar.ini");
  EXPECT_EQ(platform::ChangeFileExt(L"C:\\Zo\u00EB \uAE40\uBBFC\uC218 apps\\Q", L".ini"),
            L"C:\\Zo\u00EB \uAE40\uBBFC\uC218 apps\\Q.ini");
  EXPECT_EQ(platform::ChangeFileExt(L"D:x.exe", L""), L"D:x");
}

TEST(Files, CallablePathLiftsTheLengthLimitOnlyForLongPaths) {
  std::wstring longPath = L"C:\\" + std::wstring(300, L'a') + L"\\title.txt";
  EXPECT_EQ(platform::CallablePath(L"C:\\a\\title.txt"), L"C:\\a\\title.txt");
  std::wstring atLimit = L"C:\\" + std::wstring(MAX_PATH - 3, L'a');  // MAX_PATH characters
  EXPECT_EQ(platform::CallablePath(atLimit), L"\\\\?\\" + atLimit);
  atLimit.pop_back();
  EXPECT_EQ(platform::CallablePath(atLimit), atLimit);
  EXPECT_EQ(platform::CallablePath(longPath), L"\\\\?\\" + longPath);
  EXPECT_EQ(platform::CallablePath(L"\\\\?\\" + longPath), L"\\\\?\\" + longPath);
  EXPECT_EQ(platform::CallablePath(L"\\\\server\\share\\" + std::wstring(300, L'a')),
            L"\\\\?\\UNC\\server\\share\\" + std::wstring(300, L'a'));
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
