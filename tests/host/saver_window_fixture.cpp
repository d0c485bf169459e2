#include "tests/host/saver_window_fixture.h"

#include "host/saver_window.h"

namespace test {

namespace {

constexpr const char* kSaverClass = "SaverWindowTest";
constexpr const char* kParentClass = "SaverWindowTestParent";

// No class cursor on either class: whatever cursor shows is the one the procedures set.
void RegisterClasses() {
    WNDCLASSA windowClass = {};
    windowClass.lpfnWndProc = SaverWindowProc;
    windowClass.hInstance = GetModuleHandleA(nullptr);
    windowClass.lpszClassName = kSaverClass;
    RegisterClassA(&windowClass);
    windowClass.lpfnWndProc = DefWindowProcA;
    windowClass.lpszClassName = kParentClass;
    RegisterClassA(&windowClass);
}

} // namespace

void SaverWindowTest::SetUp() {
    CleanRegistry::SetUp();
    RegisterClasses();
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
        window = CreateWindowExA(0, kSaverClass, "SaverWindow", WS_CHILD | WS_VISIBLE, 0, 0, 152,
                                 112, parent, nullptr, instance, nullptr);
    } else {
        window = CreateWindowExA(0, kSaverClass, "SaverWindow", WS_POPUP | WS_VISIBLE, 0, 0,
                                 GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN),
                                 nullptr, nullptr, instance, nullptr);
        SetForegroundWindow(window);
    }
    ASSERT_NE(nullptr, window);
    Pump();
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
    Pump();
}

bool SaverWindowTest::Pump() {
    bool quit = false;
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
        if (message.message == WM_QUIT) {
            quit = true;
            continue;
        }
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
    return quit;
}

bool SaverWindowTest::Closed() {
    const bool quit = Pump();
    return quit && !IsWindow(window);
}

::testing::AssertionResult SaverWindowTest::MoveCursor(int x, int y) {
    SetCursorPos(x, y);
    POINT now = {};
    for (int i = 0; i < 500; ++i) {
        GetCursorPos(&now);
        if (now.x == x && now.y == y) {
            return ::testing::AssertionSuccess();
        }
        Sleep(10);
    }
    return ::testing::AssertionFailure()
           << "the cursor stays at " << now.x << "," << now.y << " instead of " << x << "," << y;
}

void SaverWindowTest::SetElapsed(DWORD milliseconds) {
    state.startTick = GetTickCount() - milliseconds;
}

} // namespace test
