#include "tests/standins/module_record.h"

#include "tests/standins/standin_record.h"

namespace standin {

void RecordAttach(HMODULE module, const char* moduleName) {
    char path[MAX_PATH] = {};
    GetModuleFileNameA(module, path, MAX_PATH);
    Increment(LoadsValue(moduleName).c_str());
    WriteString(PathValue(moduleName).c_str(), path);
}

void RecordDetach(const char* moduleName, LPVOID reserved) {
    if (reserved == nullptr) {
        Increment(FreesValue(moduleName).c_str());
    }
}

} // namespace standin
