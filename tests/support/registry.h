#pragma once
// A clean registry for each test: the product's key and the common screen-saver key are removed
// before and after, so no test sees another's settings.

#include <windows.h>

#include <gtest/gtest.h>

#include <optional>

namespace test {

void DeleteSettingsKeys();

// Writes a value of any type and size under HKEY_CURRENT_USER\keyPath, creating the key.
void SetValue(const char* keyPath, const char* name, DWORD type, const void* data, DWORD size);
void SetDword(const char* keyPath, const char* name, DWORD value);

struct StoredValue {
    DWORD type = 0;
    DWORD size = 0;
    DWORD data = 0;
};
// The value as stored (its first four bytes in data), or nothing when it or its key is missing.
std::optional<StoredValue> GetValue(const char* keyPath, const char* name);

bool KeyExists(const char* keyPath);

class CleanRegistry : public ::testing::Test {
  protected:
    void SetUp() override {
        DeleteSettingsKeys();
    }
    void TearDown() override {
        DeleteSettingsKeys();
    }
};

} // namespace test
