#pragma once
// Functions of system libraries looked up by name: for calls that only newer Windows versions
// have, and for libraries that are loaded on first use rather than at start-up.

#include <windows.h>

namespace platform {

// The function `name` of `library` (loaded now if it is not yet), as type `Function`; nullptr
// when the library or the function is missing.
template <typename Function>
Function SystemFunction(const wchar_t* library, const char* name) {
  HMODULE module = GetModuleHandleW(library);
  if (!module) module = LoadLibraryW(library);
  if (!module) return nullptr;
  return reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(module, name)));
}

}  // namespace platform
