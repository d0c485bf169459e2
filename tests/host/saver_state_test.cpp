#include "host/saver_state.h"

#include "tests/support/input.h"
#include "tests/support/platform.h"
#include "tests/support/registry.h"

#include <gtest/gtest.h>

#include <cstring>
#include <new>
#include <string>

namespace {

using test::CleanRegistry;

// A loaded state, as WinMain makes it. The fields that the constructor leaves alone are first
// filled with a marker, so a field that no load sets shows.
struct LoadedState {
    LoadedState() {
        std::memset(storage, 0xA5, sizeof(storage));
        state = new (storage) SaverState();
        state->ReadCommonSettings();
        state->ReadSettings();
    }
    alignas(SaverState) unsigned char storage[sizeof(SaverState)];
    SaverState* state;
};

constexpr DWORD kMarker = 0xA5A5A5A5;

class SaverStateTest : public CleanRegistry {};

TEST_F(SaverStateTest, DefaultsWithoutAnyKey) {
    LoadedState loaded;
    const SaverState& s = *loaded.state;
    EXPECT_EQ(nullptr, s.window);
    EXPECT_EQ(0u, s.timerId);
    EXPECT_EQ(0u, s.closing);
    EXPECT_EQ(15u, s.passwordDelay);
    EXPECT_EQ(50, s.mouseThreshold);
    EXPECT_EQ(0u, s.inputSuspended);
    EXPECT_EQ(1u, s.rotate);
    EXPECT_EQ(kMarker, s.muteSound) << "nothing supplies it, so it keeps what it held";
    EXPECT_FALSE(test::KeyExists(kProductSettingsKey)) << "loading creates no key";
}

TEST_F(SaverStateTest, LoadsStoredValues) {
    test::SetDword(kCommonSettingsKey, "Password Delay", 1200);
    test::SetDword(kCommonSettingsKey, "Mouse Threshold", 0);
    test::SetDword(kCommonSettingsKey, "Mute Sound", 1);
    test::SetDword(kProductSettingsKey, "Rotate", 0);
    LoadedState loaded;
    EXPECT_EQ(1200u, loaded.state->passwordDelay);
    EXPECT_EQ(0, loaded.state->mouseThreshold);
    EXPECT_EQ(1u, loaded.state->muteSound);
    EXPECT_EQ(0u, loaded.state->rotate);
}

// Each value the state loads, with what its field holds when the registry supplies nothing.
struct LoadedValue {
    const char* key;
    const char* name;
    DWORD (*field)(const SaverState&);
    DWORD unchanged;
};

const LoadedValue kLoadedValues[] = {
    {kCommonSettingsKey, "Password Delay", [](const SaverState& s) { return s.passwordDelay; }, 15},
    {kCommonSettingsKey, "Mouse Threshold",
     [](const SaverState& s) { return static_cast<DWORD>(s.mouseThreshold); }, 50},
    {kCommonSettingsKey, "Mute Sound", [](const SaverState& s) { return s.muteSound; }, kMarker},
    {kProductSettingsKey, "Rotate", [](const SaverState& s) { return s.rotate; }, 1},
};

TEST_F(SaverStateTest, ValuesOfOtherSizesAndTypes) {
    const DWORD types[] = {REG_DWORD, REG_BINARY, REG_SZ, REG_MULTI_SZ, REG_QWORD, REG_NONE};
    // Plain ASCII, so that the string types pass the ANSI code page unchanged.
    const char data[] = "12345678";
    // Four bytes in every other common value, read before or after the one tried: a buffer shared
    // between the queries would carry their bytes over.
    constexpr DWORD neighbour = 0x5A5A5A5A;
    for (const LoadedValue& value : kLoadedValues) {
        for (DWORD type : types) {
            for (DWORD length = 0; length <= 8; ++length) {
                SCOPED_TRACE(std::string(value.name) + ", type " + std::to_string(type) + ", " +
                             std::to_string(length) + " bytes");
                test::DeleteSettingsKeys();
                for (const LoadedValue& other : kLoadedValues) {
                    if (other.key == kCommonSettingsKey) {
                        test::SetDword(kCommonSettingsKey, other.name, neighbour);
                    }
                }
                test::SetValue(value.key, value.name, type, data, length);
                const auto before = test::GetValue(value.key, value.name);
                ASSERT_TRUE(before.has_value());
                LoadedState loaded;
                // Up to four bytes arrive zero-extended, whatever the type; more do not fit.
                DWORD expected = value.unchanged;
                if (length <= sizeof(DWORD)) {
                    expected = 0;
                    std::memcpy(&expected, data, length);
                }
                EXPECT_EQ(expected, value.field(*loaded.state));
                const auto after = test::GetValue(value.key, value.name);
                ASSERT_TRUE(after.has_value());
                EXPECT_EQ(before, after) << "loading writes nothing";
                EXPECT_EQ(value.key == kProductSettingsKey, test::KeyExists(kProductSettingsKey));
            }
        }
    }
}

TEST_F(SaverStateTest, NegativeThresholdIsKeptSigned) {
    test::SetDword(kCommonSettingsKey, "Mouse Threshold", 0xFFFFFFFF);
    LoadedState loaded;
    EXPECT_EQ(-1, loaded.state->mouseThreshold);
}

TEST_F(SaverStateTest, LoadsAgainApplyDefaultsFirst) {
    test::SetDword(kCommonSettingsKey, "Password Delay", 3);
    test::SetDword(kProductSettingsKey, "Rotate", 0);
    LoadedState loaded;
    test::DeleteSettingsKeys();
    loaded.state->inputSuspended = 1;
    loaded.state->ReadCommonSettings();
    loaded.state->ReadSettings();
    EXPECT_EQ(15u, loaded.state->passwordDelay);
    EXPECT_EQ(0u, loaded.state->inputSuspended);
    EXPECT_EQ(1u, loaded.state->rotate);
}

TEST_F(SaverStateTest, StoreCreatesTheProductKeyOnly) {
    LoadedState loaded;
    loaded.state->rotate = 0;
    EXPECT_EQ(ERROR_SUCCESS, loaded.state->WriteSettings());
    const auto stored = test::GetValue(kProductSettingsKey, "Rotate");
    ASSERT_TRUE(stored.has_value());
    EXPECT_EQ(static_cast<DWORD>(REG_DWORD), stored->type);
    EXPECT_EQ(4u, stored->data.size());
    EXPECT_EQ(0u, stored->Dword());
    EXPECT_FALSE(test::KeyExists(kCommonSettingsKey)) << "the common key is never written";

    loaded.state->rotate = 1;
    loaded.state->WriteSettings();
    EXPECT_EQ(1u, test::GetValue(kProductSettingsKey, "Rotate")->Dword());
}

TEST_F(SaverStateTest, StoreReplacesAValueOfAnotherType) {
    const char text[] = "true";
    test::SetValue(kProductSettingsKey, "Rotate", REG_SZ, text, sizeof(text));
    LoadedState loaded;
    EXPECT_EQ(1u, loaded.state->rotate) << "a string does not fit, so the default stands";
    loaded.state->WriteSettings();
    const auto stored = test::GetValue(kProductSettingsKey, "Rotate");
    ASSERT_TRUE(stored.has_value());
    EXPECT_EQ(static_cast<DWORD>(REG_DWORD), stored->type);
    EXPECT_EQ(1u, stored->Dword());
}

// Counts the WM_CLOSE and WM_SETCURSOR messages a window receives.
struct MessageCounts {
    int closes = 0;
    int setCursors = 0;
    DWORD suspendedAtSetCursor = 2;
};
MessageCounts g_counts;
SaverState* g_watched = nullptr;

LRESULT CALLBACK CountingProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_CLOSE) {
        ++g_counts.closes;
        return 0;
    }
    if (message == WM_SETCURSOR) {
        ++g_counts.setCursors;
        g_counts.suspendedAtSetCursor = g_watched->inputSuspended;
        return TRUE;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

class SaverStateMessages : public CleanRegistry {
  protected:
    void SetUp() override {
        CleanRegistry::SetUp();
        test::RegisterWindowClass("SaverStateTest", CountingProc);
        state.window = CreateWindowExA(0, "SaverStateTest", "", WS_POPUP, 0, 0, 10, 10, nullptr,
                                       nullptr, GetModuleHandleA(nullptr), nullptr);
        ASSERT_NE(nullptr, state.window);
        g_counts = {};
        g_watched = &state;
        state.ReadCommonSettings();
        state.ReadSettings();
    }
    void TearDown() override {
        DestroyWindow(state.window);
        CleanRegistry::TearDown();
    }
    SaverState state;
};

TEST_F(SaverStateMessages, CloseTwicePostsTwoCloses) {
    state.Close();
    EXPECT_EQ(1u, state.closing);
    EXPECT_EQ(0, g_counts.closes) << "posted, not sent";
    state.Close();
    EXPECT_EQ(1u, state.closing);
    test::PumpMessages();
    EXPECT_EQ(2, g_counts.closes);
}

TEST_F(SaverStateMessages, SuspendAndResumeSendSetCursor) {
    state.SuspendInput();
    EXPECT_EQ(1u, state.inputSuspended);
    EXPECT_EQ(1, g_counts.setCursors) << "sent, so handled before the call returns";
    EXPECT_EQ(1u, g_counts.suspendedAtSetCursor);

    ASSERT_TRUE(test::MoveCursor(123, 45));
    state.startCursor = {-1, -1};
    state.ResumeInput();
    EXPECT_EQ(0u, state.inputSuspended);
    EXPECT_EQ(2, g_counts.setCursors);
    EXPECT_EQ(0u, g_counts.suspendedAtSetCursor);
    EXPECT_EQ(123, state.startCursor.x);
    EXPECT_EQ(45, state.startCursor.y);
}

} // namespace
