#include "tests/host/saver_window_fixture.h"

#include "host/saver_window.h"
#include "tests/support/platform.h"
#include "tests/support/saver_process.h"

namespace test {

constexpr const char* kTestClass = "SaverWindowTest";
constexpr const char* kParentClass = "SaverWindowTestParent";

void SaverWindowTest::SetUp() {
    CleanRegistry::SetUp();
    // No class cursor on either class: whatever cursor shows is the one the procedures set.
    RegisterWindowClass(kTestClass, SaverWindowProc);
    RegisterWindowClass(kParentClass);
    g_state = &state;
}

void SaverWindowTest::TearDown() {
    DestroySaverWindow();
    g_state = nullptr;
    g_mode = SaverMode::None;
    CleanRegistry::TearDown();
}

void SaverWindowTest::CreateSaverWindow(SaverMode mode) {
    DestroySaverWindow();
    state = SaverState();
    state.ReadCommonSettings();
    state.ReadSettings();
    g_mode = mode;
    const HINSTANCE instance = GetModuleHandleA(nullptr);
    if (mode == SaverMode::Preview) {
        parent = CreateWindowExA(0, kParentClass, "Preview parent", WS_POPUP | WS_VISIBLE, 100, 100,
                                 152, 112, nullptr, nullptr, instance, nullptr);
        ASSERT_NE(nullptr, parent);
        window = CreateWindowExA(0, kTestClass, kSaverWindowName, WS_CHILD | WS_VISIBLE, 0, 0, 152,
                                 112, parent, nullptr, instance, nullptr);
    } else {
        window = CreateWindowExA(0, kTestClass, kSaverWindowName, WS_POPUP | WS_VISIBLE, 0, 0,
                                 GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN),
                                 nullptr, nullptr, instance, nullptr);
        SetForegroundWindow(window);
    }
    ASSERT_NE(nullptr, window);
    PumpMessages();
    ASSERT_TRUE(IsWindow(window));
    ASSERT_EQ(0u, state.closing) << "showing the window must not end it";
}

void SaverWindowTest::DestroySaverWindow() {
    if (window != nullptr && IsWindow(window)) {
        DestroyWindow(window);
    }
    if (parent != nullptr && IsWindow(parent)) {
        DestroyWindow(parent);
    }
    window = nullptr;
    parent = nullptr;
    PumpMessages();
}

bool SaverWindowTest::Closed() {
    return PumpMessages() && !IsWindow(window);
}

void SaverWindowTest::SetElapsed(DWORD milliseconds) {
    state.startTick = GetTickCount() - milliseconds;
}

} // namespace test
