#pragma once
// Whether the tests run under Wine, which behaves unlike Windows in a few
// places that the tests must know of.
#include <windows.h>

// Wine's ntdll exports its version; the one of Windows does not.
inline bool RunningOnWine() {
  const HMODULE ntdll = GetModuleHandleA("ntdll.dll");
  return ntdll != nullptr && GetProcAddress(ntdll, "wine_get_version") != nullptr;
}
