#include "host/saver_state.h"

#include "tests/support/registry.h"

#include <gtest/gtest.h>

#include <cstring>
#include <new>

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

TEST_F(SaverStateTest, ValuesOfOtherSizesAndTypes) {
    // Too long for four bytes: the query fails and the default stands.
    const char text[] = "12345678";
    test::SetValue(kCommonSettingsKey, "Password Delay", REG_SZ, text, sizeof(text));
    // A 2-byte value arrives zero-extended, never mixed with the bytes of the query before it.
    const BYTE twoBytes[] = {0x34, 0x12};
    test::SetValue(kCommonSettingsKey, "Mouse Threshold", REG_BINARY, twoBytes, sizeof(twoBytes));
    const BYTE oneByte[] = {0x07};
    test::SetValue(kCommonSettingsKey, "Mute Sound", REG_BINARY, oneByte, sizeof(oneByte));
    // The type is not examined: four bytes of binary data are a number like any other.
    const DWORD seven = 7;
    test::SetValue(kProductSettingsKey, "Rotate", REG_BINARY, &seven, sizeof(seven));
    LoadedState loaded;
    EXPECT_EQ(15u, loaded.state->passwordDelay);
    EXPECT_EQ(0x1234, loaded.state->mouseThreshold);
    EXPECT_EQ(7u, loaded.state->muteSound);
    EXPECT_EQ(7u, loaded.state->rotate);
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
    EXPECT_EQ(4u, stored->size);
    EXPECT_EQ(0u, stored->data);
    EXPECT_FALSE(test::KeyExists(kCommonSettingsKey)) << "the common key is never written";

    loaded.state->rotate = 1;
    loaded.state->WriteSettings();
    EXPECT_EQ(1u, test::GetValue(kProductSettingsKey, "Rotate")->data);
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
    EXPECT_EQ(1u, stored->data);
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
        WNDCLASSA windowClass = {};
        windowClass.lpfnWndProc = CountingProc;
        windowClass.hInstance = GetModuleHandleA(nullptr);
        windowClass.lpszClassName = "SaverStateTest";
        RegisterClassA(&windowClass);
        state.window = CreateWindowExA(0, "SaverStateTest", "", WS_POPUP, 0, 0, 10, 10, nullptr,
                                       nullptr, windowClass.hInstance, nullptr);
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
    void PumpMessages() {
        MSG message;
        while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
            DispatchMessageA(&message);
        }
    }
    SaverState state;
};

TEST_F(SaverStateMessages, CloseTwicePostsTwoCloses) {
    state.Close();
    EXPECT_EQ(1u, state.closing);
    EXPECT_EQ(0, g_counts.closes) << "posted, not sent";
    state.Close();
    EXPECT_EQ(1u, state.closing);
    PumpMessages();
    EXPECT_EQ(2, g_counts.closes);
}

TEST_F(SaverStateMessages, SuspendAndResumeSendSetCursor) {
    state.SuspendInput();
    EXPECT_EQ(1u, state.inputSuspended);
    EXPECT_EQ(1, g_counts.setCursors) << "sent, so handled before the call returns";
    EXPECT_EQ(1u, g_counts.suspendedAtSetCursor);

    SetCursorPos(123, 45);
    state.startCursor = {-1, -1};
    state.ResumeInput();
    EXPECT_EQ(0u, state.inputSuspended);
    EXPECT_EQ(2, g_counts.setCursors);
    EXPECT_EQ(0u, g_counts.suspendedAtSetCursor);
    POINT now = {};
    GetCursorPos(&now);
    EXPECT_EQ(now.x, state.startCursor.x);
    EXPECT_EQ(now.y, state.startCursor.y);
}

} // namespace
