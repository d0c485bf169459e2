#include "tests/standins/standin_record.h"

namespace standin {

namespace {

void Write(const char* name, DWORD type, const void* data, DWORD size) {
    HKEY key = nullptr;
    if (RegCreateKeyExA(HKEY_CURRENT_USER, kRecordKey, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key,
                        nullptr) != ERROR_SUCCESS) {
        return;
    }
    RegSetValueExA(key, name, 0, type, static_cast<const BYTE*>(data), size);
    RegCloseKey(key);
}

// Reads up to size bytes; false when the key or the value is missing or too long.
bool Read(const char* name, void* data, DWORD size) {
    return RegGetValueA(HKEY_CURRENT_USER, kRecordKey, name, RRF_RT_ANY, nullptr, data, &size) ==
           ERROR_SUCCESS;
}

} // namespace

std::string LoadsValue(const char* moduleName) {
    return std::string(moduleName) + " Loads";
}

std::string FreesValue(const char* moduleName) {
    return std::string(moduleName) + " Frees";
}

std::string PathValue(const char* moduleName) {
    return std::string(moduleName) + " Path";
}

DWORD ReadDword(const char* name, DWORD fallback) {
    DWORD value = 0;
    return Read(name, &value, sizeof(value)) ? value : fallback;
}

std::uint64_t ReadQword(const char* name) {
    std::uint64_t value = 0;
    return Read(name, &value, sizeof(value)) ? value : 0;
}

std::string ReadString(const char* name) {
    char text[MAX_PATH + 1] = {};
    return Read(name, text, MAX_PATH) ? std::string(text) : std::string();
}

void WriteDword(const char* name, DWORD value) {
    Write(name, REG_DWORD, &value, sizeof(value));
}

void WriteQword(const char* name, std::uint64_t value) {
    Write(name, REG_QWORD, &value, sizeof(value));
}

void WriteString(const char* name, const char* value) {
    Write(name, REG_SZ, value, static_cast<DWORD>(std::string(value).size() + 1));
}

void Increment(const char* name) {
    WriteDword(name, ReadDword(name, 0) + 1);
}

void DeleteRecord() {
    RegDeleteTreeA(HKEY_CURRENT_USER, kRecordKey);
}

} // namespace standin
