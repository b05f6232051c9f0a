#include <gtest/gtest.h>

#include "platform/Exception.h"
#include "platform/IniFile.h"
#include "tests/harness/WindowTest.h"

TEST(IniFile, ReadsDefaultsWritesAndCutsLongValues) {
  harness::TempFolder folder;
  platform::IniFile ini(folder.Path() + "settings.ini");
  EXPECT_EQ(ini.ReadString("Settings", "LastFolder", ""), "");
  EXPECT_EQ(ini.ReadString("Settings", "LastFolder", "dflt"), "dflt");
  ini.WriteString("Settings", "LastFolder", "C:\\ソ\\");
  EXPECT_EQ(ini.ReadString("Settings", "LastFolder", ""), "C:\\ソ\\");
  ini.WriteString("Settings", "Long", std::string(3000, 'x'));
  EXPECT_EQ(ini.ReadString("Settings", "Long", ""), std::string(2047, 'x'));

  platform::IniFile missing(folder.Path() + "no\\such\\settings.ini");
  try {
    missing.WriteString("Settings", "LastFolder", "x");
    FAIL() << "no error";
  } catch (const platform::Exception& e) {
    EXPECT_EQ(e.Message(), folder.Path() + "no\\such\\settings.ini に書き込めません");
  }
}
