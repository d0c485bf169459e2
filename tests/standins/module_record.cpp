#include "tests/standins/module_record.h"

#include "tests/standins/standin_record.h"

namespace standin {

void RecordLifetime(HMODULE module, DWORD reason, LPVOID reserved, const char* moduleName) {
    if (reason == DLL_PROCESS_ATTACH) {
        char path[MAX_PATH] = {};
        GetModuleFileNameA(module, path, MAX_PATH);
        Increment(LoadsValue(moduleName).c_str());
        WriteString(PathValue(moduleName).c_str(), path);
    } else if (reason == DLL_PROCESS_DETACH && reserved == nullptr) {
        Increment(FreesValue(moduleName).c_str());
    }
}

} // namespace standin
