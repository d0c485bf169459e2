#pragma once
// The part that every stand-in shares: its DllMain records loads, unloads and where it came from.

#include <windows.h>

namespace standin {

// What DllMain is told: a load, with the path, or an unload, counted only when FreeLibrary caused
// it (at process exit reserved is non-null).
void RecordLifetime(HMODULE module, DWORD reason, LPVOID reserved, const char* moduleName);

} // namespace standin
