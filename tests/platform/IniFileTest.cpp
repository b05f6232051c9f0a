#include <gtest/gtest.h>

#include "platform/Exception.h"
#include "platform/IniFile.h"
#include "tests/harness/Raises.h"
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
  harness::ExpectRaises([&] { missing.WriteString("Settings", "LastFolder", "x"); },
                        folder.Path() + "no\\such\\settings.ini に書き込めません");
}
