#include <gtest/gtest.h>

#include "platform/Exception.h"
#include "platform/IniFile.h"
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

  platform::IniFile missing(folder.Path() + L"no\\such\\settings.ini");
  try {
    missing.WriteString(L"Settings", L"LastFolder", L"x");
    FAIL() << "no error";
  } catch (const platform::Exception& e) {
    EXPECT_EQ(e.Message(),
              harness::Ansi(folder.Path()) + "no\\such\\settings.ini に書き込めません");
  }
}
