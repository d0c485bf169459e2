#pragma once
// A clean registry for each test: the product's key and the common screen-saver key are removed
// before and after, so no test sees another's settings.

#include <windows.h>

#include <gtest/gtest.h>

#include <optional>
#include <ostream>
#include <string>
#include <vector>

namespace test {

void DeleteSettingsKeys();

// Wine's settings for moskel.scr alone, read when it starts.
constexpr const char* kSaverAppDefaults = "Software\\Wine\\AppDefaults\\moskel.scr";

// Writes a value of any type and size under HKEY_CURRENT_USER\keyPath, creating the key.
void SetValue(const char* keyPath, const char* name, DWORD type, const void* data, DWORD size);
void SetDword(const char* keyPath, const char* name, DWORD value);

// A value as stored: its name, type and bytes.
struct StoredValue {
    std::string name;
    DWORD type = 0;
    std::vector<BYTE> data;
    // Its first four bytes, zero-extended.
    DWORD Dword() const;
    bool operator==(const StoredValue&) const = default;
};
void PrintTo(const StoredValue& value, std::ostream* out);

// Every value of a key, or nothing when the key is missing; GetValue: the one of that name.
std::optional<std::vector<StoredValue>> GetValues(const char* keyPath);
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
