#include "platform/IniFile.h"

#include <windows.h>

#include "platform/Exception.h"

namespace platform {

IniFile::~IniFile() { WritePrivateProfileStringA(nullptr, nullptr, nullptr, path_.c_str()); }

std::string IniFile::ReadString(const std::string& section, const std::string& key,
                                const std::string& fallback) const {
  char buffer[2048];
  DWORD length = GetPrivateProfileStringA(section.c_str(), key.c_str(), fallback.c_str(), buffer,
                                          sizeof buffer, path_.c_str());
  return std::string(buffer, length);
}

void IniFile::WriteString(const std::string& section, const std::string& key,
                          const std::string& value) {
  if (!WritePrivateProfileStringA(section.c_str(), key.c_str(), value.c_str(), path_.c_str()))
    throw Win32Error(Format("%s に書き込めません", path_.c_str()), GetLastError());
}

}  // namespace platform
