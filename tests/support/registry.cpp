#include "tests/support/registry.h"

#include "host/saver_state.h"

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

std::optional<StoredValue> GetValue(const char* keyPath, const char* name) {
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, keyPath, 0, KEY_QUERY_VALUE, &key) != ERROR_SUCCESS) {
        return std::nullopt;
    }
    BYTE buffer[64] = {};
    StoredValue value;
    value.size = sizeof(buffer);
    const LONG status = RegQueryValueExA(key, name, nullptr, &value.type, buffer, &value.size);
    RegCloseKey(key);
    if (status != ERROR_SUCCESS) {
        return std::nullopt;
    }
    CopyMemory(&value.data, buffer, sizeof(value.data));
    return value;
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
