#pragma once
// The part that every stand-in shares: its DllMain records loads, unloads and where it came from.

#include <windows.h>

namespace standin {

void RecordAttach(HMODULE module, const char* moduleName);
// Counts an unload only when FreeLibrary caused it; at process exit reserved is non-null.
void RecordDetach(const char* moduleName, LPVOID reserved);

} // namespace standin
