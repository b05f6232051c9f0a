#include <gtest/gtest.h>

#include "platform/Exception.h"
#include "platform/Files.h"
#include "platform/IniFile.h"
#include "tests/harness/Raises.h"
#include "tests/harness/WindowTest.h"

TEST(IniFile, ReadsDefaultsWritesAndCutsLongValues) {
  harness::TempFolder folder;
  platform::IniFile ini(folder.Path() + L"settings.ini");
  EXPECT_EQ(ini.ReadString(L"Settings", L"LastFolder", L""), L"");
  EXPECT_EQ(ini.ReadString(L"Settings", L"LastFolder", L"dflt"), L"dflt");
  ini.WriteString(L"Settings", L"LastFolder", L"C:\\ソ\\");
  EXPECT_EQ(ini.ReadString(L"Settings", L"LastFolder", L""), L"C:\\ソ\\");
  ini.WriteString(L"Settings", L"Long", std::wstring(3000, L'x'));
  EXPECT_EQ(ini.ReadString(L"Settings", L"Long", L""), std::wstring(2047, L'x'));
  ASSERT_TRUE(platform::FileExists(folder.Path() + L"settings.ini"));
  harness::BriefHold hold(folder.Path() + L"settings.ini");  // another program, for a moment
  ini.WriteString(L"Settings", L"LastFolder", L"C:\\held\\");
  EXPECT_EQ(ini.ReadString(L"Settings", L"LastFolder", L""), L"C:\\held\\");

  platform::IniFile missing(folder.Path() + L"no\\such\\settings.ini");
  harness::ExpectRaises([&] { missing.WriteString(L"Settings", L"LastFolder", L"x"); },
                        harness::Ansi(folder.Path()) + "no\\such\\settings.ini に書き込めません");
}

// A folder the code page holds is written as ANSI, the bytes an existing settings file has;
// one it lacks turns the file into UTF-16, keeping what it held, and both read back exact.
TEST(IniFile, AValueTheCodePageLacksTurnsTheFileIntoUtf16) {
  harness::TempFolder folder;
  const std::wstring path = folder.Path() + L"settings.ini";
  const std::wstring zoe = L"C:\\Users\\Zo\u00EB \uAE40\\\u301C\\";
  {
    platform::IniFile ini(path);
    ini.WriteString(L"Settings", L"LastFolder", L"C:\\ソ\\");
  }
  EXPECT_EQ(harness::ReadFileBytes(path), "[Settings]\r\nLastFolder=C:\\ソ\\\r\n");
  {
    platform::IniFile ini(path);
    ini.WriteString(L"Other", L"Key", L"kept");
    ini.WriteString(L"Settings", L"LastFolder", zoe);
    EXPECT_EQ(ini.ReadString(L"Settings", L"LastFolder", L""), zoe);
  }
  EXPECT_EQ(harness::ReadFileBytes(path).substr(0, 2), "\xFF\xFE");
  platform::IniFile ini(path);
  EXPECT_EQ(ini.ReadString(L"Settings", L"LastFolder", L""), zoe);
  EXPECT_EQ(ini.ReadString(L"Other", L"Key", L""), L"kept");
  ini.WriteString(L"Settings", L"LastFolder", L"C:\\ソ\\");
  EXPECT_EQ(ini.ReadString(L"Settings", L"LastFolder", L""), L"C:\\ソ\\");

  // Once UTF-16, in either byte order, the file is written as UTF-16: another such folder
  // leaves exactly the byte-order mark and the text, and what the file held stays readable.
  const std::wstring kim = L"C:\\\uAE40\\";
  auto bytesOf = [](std::wstring text, bool bigEndian) {
    if (bigEndian)
      for (wchar_t& unit : text) unit = static_cast<wchar_t>(unit << 8 | unit >> 8);
    return std::string(reinterpret_cast<const char*>(text.data()), text.size() * sizeof(wchar_t));
  };
  const std::wstring fresh = folder.Path() + L"fresh.ini";
  {
    platform::IniFile utf16(fresh);
    utf16.WriteString(L"Settings", L"LastFolder", zoe);
    utf16.WriteString(L"Settings", L"LastFolder", kim);
  }
  EXPECT_EQ(harness::ReadFileBytes(fresh),
            bytesOf(L"\uFEFF[Settings]\r\nLastFolder=" + kim + L"\r\n", false));

  const std::wstring bigEndian = folder.Path() + L"big-endian.ini";
  ASSERT_TRUE(harness::WriteFileBytes(bigEndian, bytesOf(L"\uFEFF[Other]\r\nKey=kept\r\n", true)));
  {
    platform::IniFile utf16(bigEndian);
    utf16.WriteString(L"Settings", L"LastFolder", zoe);
  }
  platform::IniFile reread(bigEndian);
  EXPECT_EQ(reread.ReadString(L"Other", L"Key", L""), L"kept");
  EXPECT_EQ(reread.ReadString(L"Settings", L"LastFolder", L""), zoe);
}

// A Shift-JIS settings file, as the editor writes it on a Japanese Windows, gives the same
// folder on a Windows of any language setting, and a write gives the bytes a Japanese one writes.
TEST(IniFile, AShiftJisFileReadsAndUpdatesTheSameUnderAnyLocale) {
  harness::TempFolder folder;
  const std::wstring path =
      folder.Write(L"settings.ini", "[Settings]\r\nLastFolder=C:\\ソ\\夜明け\r\n");
  platform::IniFile ini(path);
  EXPECT_EQ(ini.ReadString(L"Settings", L"LastFolder", L""), L"C:\\ソ\\夜明け");
  ini.WriteString(L"Other", L"Key", L"C:\\歌");
  EXPECT_EQ(ini.ReadString(L"Settings", L"LastFolder", L""), L"C:\\ソ\\夜明け");
  EXPECT_EQ(ini.ReadString(L"Other", L"Key", L""), L"C:\\歌");
  EXPECT_EQ(harness::ReadFileBytes(path),
            "[Settings]\r\nLastFolder=C:\\ソ\\夜明け\r\n[Other]\r\nKey=C:\\歌\r\n");
}
