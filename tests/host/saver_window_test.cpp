// The saver window on real windows, driven by real messages and real cursor moves: what ends a
// full-screen run, what it ignores, the cursor, the end of the frame loop, and the preview. Wine
// reports the NT family to this program, so a due password never loads anything.

#include "tests/host/saver_window_fixture.h"

#include "host/password.h"
#include "tests/standins/standin_files.h"
#include "tests/standins/standin_record.h"
#include "tests/support/input.h"
#include "tests/support/platform.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

using test::MoveCursor;
using test::SaverWindowTest;

constexpr POINT kStart = {400, 300};

struct Travel {
    int dx;
    int dy;
    LONG threshold;
    bool closes;
};

TEST_F(SaverWindowTest, MouseTravelIsMeasuredPerAxisAgainstTheThreshold) {
    constexpr Travel kTravels[] = {
        {50, 0, 50, false},   {51, 0, 50, true},  {0, 50, 50, false},   {0, 51, 50, true},
        {-50, 0, 50, false},  {-51, 0, 50, true}, {0, -51, 50, true},   {40, 40, 50, false},
        {50, -50, 50, false}, {51, 51, 50, true}, {1, 0, 0, true},      {0, 1, 0, true},
        {0, 0, 0, false},     {0, 0, -1, true},   {300, 0, 300, false}, {0, 301, 300, true},
    };
    for (const Travel& travel : kTravels) {
        SCOPED_TRACE(testing::Message() << "moved " << travel.dx << "," << travel.dy
                                        << " with threshold " << travel.threshold);
        ASSERT_TRUE(MoveCursor(kStart.x, kStart.y));
        CreateSaverWindow(SaverMode::Saver);
        EXPECT_EQ(kStart.x, state.startCursor.x) << "recorded at creation";
        EXPECT_EQ(kStart.y, state.startCursor.y);
        state.mouseThreshold = travel.threshold;
        ASSERT_TRUE(MoveCursor(kStart.x + travel.dx, kStart.y + travel.dy));
        // The message's own position is far off: only the real cursor counts.
        SendMessageA(window, WM_MOUSEMOVE, 0, MAKELPARAM(1000, 700));
        EXPECT_EQ(travel.closes ? 1u : 0u, state.closing);
        EXPECT_EQ(travel.closes, Closed());
    }
}

TEST_F(SaverWindowTest, ThresholdFromTheRegistryOfZeroEndsOnOnePixel) {
    test::SetDword(kCommonSettingsKey, "Mouse Threshold", 0);
    ASSERT_TRUE(MoveCursor(kStart.x, kStart.y));
    CreateSaverWindow(SaverMode::Saver);
    ASSERT_TRUE(MoveCursor(kStart.x, kStart.y + 1));
    SendMessageA(window, WM_MOUSEMOVE, 0, 0);
    EXPECT_TRUE(Closed());
}

struct Input {
    UINT message;
    WPARAM wParam;
    bool closes;
};

// Keys, button presses and deactivation end the run; releases, characters and activation don't.
constexpr Input kInputs[] = {
    {WM_KEYDOWN, 'A', true},
    {WM_KEYDOWN, VK_SHIFT, true},
    {WM_LBUTTONDOWN, MK_LBUTTON, true},
    {WM_RBUTTONDOWN, MK_RBUTTON, true},
    {WM_MBUTTONDOWN, MK_MBUTTON, true},
    {WM_ACTIVATE, WA_INACTIVE, true},
    {WM_ACTIVATE, MAKEWPARAM(WA_INACTIVE, 1), true},
    {WM_ACTIVATEAPP, FALSE, true},
    {WM_NCACTIVATE, FALSE, true},
    {WM_KEYUP, 'A', false},
    {WM_CHAR, 'a', false},
    {WM_LBUTTONUP, 0, false},
    {WM_RBUTTONUP, 0, false},
    {WM_MBUTTONUP, 0, false},
    {WM_ACTIVATE, WA_ACTIVE, false},
    {WM_ACTIVATE, WA_CLICKACTIVE, false},
    {WM_ACTIVATEAPP, TRUE, false},
    {WM_NCACTIVATE, TRUE, false},
};

TEST_F(SaverWindowTest, KeysButtonsAndDeactivationEndTheRun) {
    for (const Input& input : kInputs) {
        SCOPED_TRACE(testing::Message()
                     << "message 0x" << std::hex << input.message << " wParam 0x" << input.wParam);
        CreateSaverWindow(SaverMode::Saver);
        SendMessageA(window, input.message, input.wParam, 0);
        EXPECT_EQ(input.closes ? 1u : 0u, state.closing);
        EXPECT_EQ(input.closes, Closed());
    }
}

TEST_F(SaverWindowTest, InputIsIgnoredWhileSuspended) {
    for (const Input& input : kInputs) {
        SCOPED_TRACE(testing::Message() << "message 0x" << std::hex << input.message);
        CreateSaverWindow(SaverMode::Saver);
        state.inputSuspended = 1;
        SendMessageA(window, input.message, input.wParam, 0);
        EXPECT_EQ(0u, state.closing);
        EXPECT_FALSE(Closed());
    }
    ASSERT_TRUE(MoveCursor(kStart.x, kStart.y));
    CreateSaverWindow(SaverMode::Saver);
    state.inputSuspended = 1;
    ASSERT_TRUE(MoveCursor(kStart.x + 200, kStart.y));
    SendMessageA(window, WM_MOUSEMOVE, 0, 0);
    EXPECT_EQ(0u, state.closing);
}

TEST_F(SaverWindowTest, RealKeyClickAndLossOfActivationEndTheRun) {
    const auto pumpUntilClosed = [this] {
        return test::PumpUntil([this] { return !IsWindow(window); }, 5000);
    };
    CreateSaverWindow(SaverMode::Saver);
    ASSERT_EQ(2u, test::SendKey('Q'));
    EXPECT_TRUE(pumpUntilClosed()) << "a real key press";

    CreateSaverWindow(SaverMode::Saver);
    ASSERT_EQ(2u, test::SendClick());
    EXPECT_TRUE(pumpUntilClosed()) << "a real click";

    CreateSaverWindow(SaverMode::Saver);
    const HWND other = CreateWindowExA(0, "STATIC", "other", WS_POPUP | WS_VISIBLE, 0, 0, 50, 50,
                                       nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
    SetForegroundWindow(other);
    EXPECT_TRUE(pumpUntilClosed()) << "another window activated";
    DestroyWindow(other);
}

TEST_F(SaverWindowTest, OnlyACloseAskedForThroughCloseEndsTheRun) {
    CreateSaverWindow(SaverMode::Saver);
    PostMessageA(window, WM_CLOSE, 0, 0);
    EXPECT_FALSE(Closed()) << "a WM_CLOSE from elsewhere is swallowed";
    EXPECT_EQ(0, SendMessageA(window, WM_CLOSE, 0, 0));
    EXPECT_TRUE(IsWindow(window));

    state.closing = 1;
    state.inputSuspended = 1;
    EXPECT_EQ(0, SendMessageA(window, WM_CLOSE, 0, 0));
    EXPECT_TRUE(IsWindow(window)) << "a close that comes while the dialog is up is dropped";

    state.inputSuspended = 0;
    EXPECT_EQ(0, SendMessageA(window, WM_CLOSE, 0, 0));
    EXPECT_TRUE(Closed());
}

// The system commands that reached the default handling: DefWindowProcA reports each one to the
// thread's CBT hook before it acts on it.
std::vector<WPARAM> g_defaultCommands;

LRESULT CALLBACK RecordSystemCommand(int code, WPARAM wParam, LPARAM lParam) {
    if (code == HCBT_SYSCOMMAND) {
        g_defaultCommands.push_back(wParam);
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

TEST_F(SaverWindowTest, SystemCommandsCloseAndScreenSaveAreRefusedExactly) {
    struct Command {
        SaverMode mode;
        WPARAM command;
        bool reachesDefault;
        bool ends; // the default handling of SC_CLOSE sends WM_CLOSE
    };
    // SC_SCREENSAVE + 1 is left out: Wine gives it a meaning of its own (its about box).
    constexpr Command kCommands[] = {
        {SaverMode::Saver, SC_CLOSE, false, false},
        {SaverMode::Saver, SC_SCREENSAVE, false, false},
        {SaverMode::Saver, SC_CLOSE | 1, true, true},
        {SaverMode::Saver, SC_CLOSE | 0xF, true, true},
        {SaverMode::Saver, SC_CLOSE | 8, true, true},
        {SaverMode::Saver, SC_SCREENSAVE | 2, true, false},
        {SaverMode::Saver, SC_SCREENSAVE | 0xF, true, false},
        {SaverMode::Preview, SC_SCREENSAVE, true, false},
        {SaverMode::Preview, SC_CLOSE, true, true},
    };
    for (const Command& command : kCommands) {
        SCOPED_TRACE(testing::Message() << "mode " << static_cast<int>(command.mode)
                                        << ", command 0x" << std::hex << command.command);
        CreateSaverWindow(command.mode);
        // A close asked for already, so that a WM_CLOSE from the default handling ends the run.
        state.closing = 1;
        g_defaultCommands.clear();
        const HHOOK hook =
            SetWindowsHookExA(WH_CBT, RecordSystemCommand, nullptr, GetCurrentThreadId());
        ASSERT_NE(nullptr, hook);
        EXPECT_EQ(0, SendMessageA(window, WM_SYSCOMMAND, command.command, 0));
        UnhookWindowsHookEx(hook);
        EXPECT_EQ(command.reachesDefault ? std::vector<WPARAM>{command.command}
                                         : std::vector<WPARAM>{},
                  g_defaultCommands);
        EXPECT_EQ(command.ends, Closed());
    }
}

TEST_F(SaverWindowTest, CursorIsHiddenWhileWatchingAndTheArrowOtherwise) {
    const HCURSOR arrow = LoadCursorA(nullptr, IDC_ARROW);
    const HCURSOR cross = LoadCursorA(nullptr, IDC_CROSS);
    const auto cursorAfterSetCursor = [&](LPARAM hitTest) {
        SetCursor(cross);
        SendMessageA(window, WM_SETCURSOR, reinterpret_cast<WPARAM>(window), hitTest);
        return GetCursor();
    };
    const LPARAM overClient = MAKELPARAM(HTCLIENT, WM_MOUSEMOVE);
    CreateSaverWindow(SaverMode::Saver);
    EXPECT_EQ(nullptr, cursorAfterSetCursor(overClient));
    EXPECT_EQ(nullptr, cursorAfterSetCursor(0)) << "as the state sends it, hit test 0";
    state.inputSuspended = 1;
    EXPECT_EQ(arrow, cursorAfterSetCursor(overClient));

    state.inputSuspended = 0;
    SetCursor(cross);
    state.SuspendInput();
    EXPECT_EQ(arrow, GetCursor()) << "shown for the password dialog";
    state.ResumeInput();
    EXPECT_EQ(nullptr, GetCursor()) << "hidden again after it";

    CreateSaverWindow(SaverMode::Preview);
    EXPECT_EQ(arrow, cursorAfterSetCursor(overClient));
    EXPECT_EQ(arrow, cursorAfterSetCursor(0));
}

// Looks at the window's timers right after its procedure has handled WM_DESTROY.
struct DestroyCheck {
    HWND window = nullptr;
    UINT recordedTimer = 0;
    UINT otherTimer = 0;
    bool seen = false;
    BOOL recordedStillThere = FALSE;
    BOOL otherStillThere = FALSE;
    UINT timerIdAfter = 1;
};
DestroyCheck g_destroyCheck;

LRESULT CALLBACK AfterProcedure(int code, WPARAM wParam, LPARAM lParam) {
    const auto* sent = reinterpret_cast<const CWPRETSTRUCT*>(lParam);
    if (code == HC_ACTION && sent->hwnd == g_destroyCheck.window && sent->message == WM_DESTROY) {
        g_destroyCheck.seen = true;
        g_destroyCheck.recordedStillThere = KillTimer(sent->hwnd, g_destroyCheck.recordedTimer);
        g_destroyCheck.otherStillThere = KillTimer(sent->hwnd, g_destroyCheck.otherTimer);
        g_destroyCheck.timerIdAfter = g_state->timerId;
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

TEST_F(SaverWindowTest, DestroyEndsTheFrameLoopAndKillsTheRecordedTimer) {
    for (SaverMode mode : {SaverMode::Saver, SaverMode::Preview}) {
        SCOPED_TRACE(testing::Message() << "mode " << static_cast<int>(mode));
        CreateSaverWindow(mode);
        g_destroyCheck = {window, 77, 78};
        ASSERT_NE(0u, SetTimer(window, 77, 100000, nullptr));
        ASSERT_NE(0u, SetTimer(window, 78, 100000, nullptr));
        state.timerId = 77;
        const HHOOK hook =
            SetWindowsHookExA(WH_CALLWNDPROCRET, AfterProcedure, nullptr, GetCurrentThreadId());
        ASSERT_NE(nullptr, hook);
        DestroyWindow(window);
        UnhookWindowsHookEx(hook);
        ASSERT_TRUE(g_destroyCheck.seen);
        EXPECT_FALSE(g_destroyCheck.recordedStillThere) << "the recorded timer is killed";
        EXPECT_TRUE(g_destroyCheck.otherStillThere) << "no other timer is touched";
        EXPECT_EQ(0u, g_destroyCheck.timerIdAfter);
        MSG quit = {};
        ASSERT_TRUE(PeekMessageA(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
        EXPECT_EQ(0u, quit.wParam) << "the quit message carries exit code 0";
    }
}

TEST_F(SaverWindowTest, CreationRecordsWindowCursorAndStartInEveryMode) {
    for (SaverMode mode : {SaverMode::Saver, SaverMode::Preview}) {
        SCOPED_TRACE(testing::Message() << "mode " << static_cast<int>(mode));
        ASSERT_TRUE(MoveCursor(123, 234));
        const DWORD before = GetTickCount();
        CreateSaverWindow(mode);
        const DWORD after = GetTickCount();
        EXPECT_EQ(window, state.window);
        EXPECT_EQ(123, state.startCursor.x);
        EXPECT_EQ(234, state.startCursor.y);
        EXPECT_LE(state.startTick - before, after - before);
    }
}

TEST_F(SaverWindowTest, PreviewIgnoresInputAndDeactivation) {
    ASSERT_TRUE(MoveCursor(kStart.x, kStart.y));
    CreateSaverWindow(SaverMode::Preview);
    for (const Input& input : kInputs) {
        SCOPED_TRACE(testing::Message() << "message 0x" << std::hex << input.message);
        SendMessageA(window, input.message, input.wParam, 0);
    }
    ASSERT_TRUE(MoveCursor(kStart.x + 300, kStart.y + 300));
    SendMessageA(window, WM_MOUSEMOVE, 0, 0);
    EXPECT_EQ(0u, state.closing);
    EXPECT_FALSE(Closed());
}

TEST_F(SaverWindowTest, PreviewIsDestroyedByWmCloseAndTheSystemMenuClose) {
    CreateSaverWindow(SaverMode::Preview);
    PostMessageA(window, WM_CLOSE, 0, 0);
    EXPECT_TRUE(Closed());
    EXPECT_TRUE(IsWindow(parent)) << "only the preview goes";

    CreateSaverWindow(SaverMode::Preview);
    SendMessageA(window, WM_SYSCOMMAND, SC_CLOSE, 0);
    EXPECT_TRUE(Closed());
}

// On the NT family the saver closes without asking, whatever module is at hand.
TEST_F(SaverWindowTest, DuePasswordLoadsNothingOnTheNtFamily) {
    ASSERT_EQ(static_cast<DWORD>(VER_PLATFORM_WIN32_NT), test::PlatformId());

    standin::DeleteRecord();
    standin::WriteDword(standin::kVerifyAnswer, 0);
    const standin::PlacedFile verifier(standin::BuiltModule("password.cpl"),
                                       standin::SystemDirectory() + "password.cpl");
    ASSERT_TRUE(verifier.Placed());
    CreateSaverWindow(SaverMode::Saver);
    EXPECT_TRUE(VerifyPassword(window));
    SetElapsed(16000);
    SendMessageA(window, WM_KEYDOWN, 'A', 0);
    EXPECT_TRUE(Closed());
    EXPECT_EQ(0u, standin::ReadDword(standin::LoadsValue("PASSWORD.CPL").c_str(), 0));
    standin::DeleteRecord();
}

} // namespace
