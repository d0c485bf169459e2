#include "tests/support/registry.h"

#include "host/saver_state.h"

#include <algorithm>

namespace test {

void DeleteSettingsKeys() {
    RegDeleteTreeA(HKEY_CURRENT_USER, kProductSettingsKey);
    RegDeleteTreeA(HKEY_CURRENT_USER, kCommonSettingsKey);
}

void SetValue(const char* keyPath, const char* name, DWORD type, const void* data, DWORD size) {
    HKEY key = nullptr;
    ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyExA(HKEY_CURRENT_USER, keyPath, 0, nullptr, 0,
                                             KEY_ALL_ACCESS, nullptr, &key, nullptr));
    EXPECT_EQ(ERROR_SUCCESS,
              RegSetValueExA(key, name, 0, type, static_cast<const BYTE*>(data), size));
    RegCloseKey(key);
}

void SetDword(const char* keyPath, const char* name, DWORD value) {
    SetValue(keyPath, name, REG_DWORD, &value, sizeof(value));
}

DWORD StoredValue::Dword() const {
    DWORD value = 0;
    CopyMemory(&value, data.data(), std::min<size_t>(data.size(), sizeof(value)));
    return value;
}

void PrintTo(const StoredValue& value, std::ostream* out) {
    *out << value.name << ": type " << value.type << ", " << value.data.size() << " bytes";
}

std::optional<std::vector<StoredValue>> GetValues(const char* keyPath) {
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, keyPath, 0, KEY_QUERY_VALUE, &key) != ERROR_SUCCESS) {
        return std::nullopt;
    }
    std::vector<StoredValue> values;
    for (DWORD index = 0;; ++index) {
        char name[256] = {};
        DWORD nameSize = sizeof(name);
        BYTE data[256] = {};
        DWORD dataSize = sizeof(data);
        DWORD type = 0;
        if (RegEnumValueA(key, index, name, &nameSize, nullptr, &type, data, &dataSize) !=
            ERROR_SUCCESS) {
            break;
        }
        values.push_back({name, type, std::vector<BYTE>(data, data + dataSize)});
    }
    RegCloseKey(key);
    return values;
}

std::optional<StoredValue> GetValue(const char* keyPath, const char* name) {
    const auto values = GetValues(keyPath);
    if (values) {
        for (const StoredValue& value : *values) {
            if (lstrcmpiA(value.name.c_str(), name) == 0) {
                return value;
            }
        }
    }
    return std::nullopt;
}

bool KeyExists(const char* keyPath) {
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, keyPath, 0, KEY_QUERY_VALUE, &key) != ERROR_SUCCESS) {
        return false;
    }
    RegCloseKey(key);
    return true;
}

} // namespace test
