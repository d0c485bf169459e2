// The built saver run the way the display settings and a user run it: started with /s or /p as a
// process of its own, watched from outside, ended with real input.

#include "host/saver_state.h"
#include "tests/support/input.h"
#include "tests/support/platform.h"
#include "tests/support/registry.h"
#include "tests/support/saver_process.h"
#include "tests/support/screen.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>

namespace {

using test::ScreenSaverRunning;
using test::SendClick;
using test::SendKey;

class FullScreenSaver : public test::CleanRegistry {
  protected:
    void SetUp() override {
        CleanRegistry::SetUp();
        test::ClearScreenSaverRunning();
        // Mouse travel is tried with the real X pointer (mouse_travel.sh). Here the pointer that
        // Wine reports to a new process may lag behind the X server's, so it must not count.
        test::SetDword(kCommonSettingsKey, "Mouse Threshold", 100000);
    }
    void TearDown() override {
        test::EndSaver(saver);
        test::ClearScreenSaverRunning();
        CleanRegistry::TearDown();
    }
    // Starts the saver and waits until it is drawing.
    HWND Start(const std::string& arguments, std::optional<WORD> showCommand = std::nullopt) {
        saver = test::StartSaver(arguments, {}, showCommand);
        HWND window = test::WaitForSaverWindow();
        EXPECT_NE(nullptr, window) << "no saver window for " << arguments;
        EXPECT_TRUE(test::WaitForFrames(test::CentrePatch(), 2)) << "no frames drawn";
        return window;
    }
    void ExpectEnded(const char* after) {
        EXPECT_EQ(0u, test::WaitForExit(saver)) << after;
        EXPECT_FALSE(ScreenSaverRunning()) << "the running flag is cleared at the end";
    }
    test::SaverProcess saver;
};

// The show command that a caller asks for in its start-up information reaches the window.
struct FullScreenRun {
    const char* arguments;
    std::optional<WORD> showCommand;
};

TEST_F(FullScreenSaver, CoversThePrimaryScreenAndTellsThePlatform) {
    for (const auto& [arguments, showCommand] :
         {FullScreenRun{"/s", {}}, FullScreenRun{"/s 1234", {}}, FullScreenRun{"-S", {}},
          FullScreenRun{"/s", SW_SHOWMAXIMIZED}}) {
        SCOPED_TRACE(arguments);
        const HWND window = Start(arguments, showCommand);
        ASSERT_NE(nullptr, window);
        EXPECT_EQ(showCommand == SW_SHOWMAXIMIZED, IsZoomed(window) != FALSE);
        RECT rect = {};
        GetWindowRect(window, &rect);
        EXPECT_EQ(0, rect.left);
        EXPECT_EQ(0, rect.top);
        EXPECT_EQ(GetSystemMetrics(SM_CXSCREEN), rect.right);
        EXPECT_EQ(GetSystemMetrics(SM_CYSCREEN), rect.bottom);
        EXPECT_EQ(nullptr, GetParent(window));
        const LONG style = GetWindowLongA(window, GWL_STYLE);
        EXPECT_EQ(static_cast<LONG>(WS_POPUP | WS_VISIBLE), style & (WS_POPUP | WS_VISIBLE));
        EXPECT_EQ(0, style & (WS_CAPTION | WS_THICKFRAME | WS_CHILD));
        EXPECT_EQ(0, GetWindowLongA(window, GWL_EXSTYLE) & WS_EX_TOPMOST);
        EXPECT_EQ(static_cast<DWORD>(CS_OWNDC | CS_HREDRAW | CS_VREDRAW),
                  GetClassLongA(window, GCL_STYLE));
        EXPECT_EQ(0u, GetClassLongPtrA(window, GCLP_HICON));
        EXPECT_EQ(0u, GetClassLongPtrA(window, GCLP_HCURSOR));
        EXPECT_EQ(0u, GetClassLongPtrA(window, GCLP_HBRBACKGROUND));
        EXPECT_EQ(0, GetClassLongA(window, GCL_CBCLSEXTRA));
        EXPECT_EQ(0, GetClassLongA(window, GCL_CBWNDEXTRA));
        EXPECT_TRUE(ScreenSaverRunning());
        EXPECT_FALSE(test::AllBlack(test::CaptureScreen(test::CentrePatch())));
        SendKey('A');
        ExpectEnded(arguments);
        test::EndSaver(saver);
    }
}

TEST_F(FullScreenSaver, KeyOrClickEndsIt) {
    Start("/s");
    SendKey(VK_SHIFT);
    ExpectEnded("after a key");
    test::EndSaver(saver);

    Start("/s");
    SendClick();
    ExpectEnded("after a click");
}

// A window of the test program standing in for the display settings' preview.
class PreviewSaver : public test::CleanRegistry {
  protected:
    void SetUp() override {
        CleanRegistry::SetUp();
        test::RegisterWindowClass("PreviewParent", DefWindowProcA,
                                  static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
        parent =
            CreateWindowExA(0, "PreviewParent", "Preview", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 100,
                            80, 320, 240, nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
        ASSERT_NE(nullptr, parent);
        test::PumpMessages();
    }
    void TearDown() override {
        if (IsWindow(parent)) {
            DestroyWindow(parent);
        }
        test::EndSaver(saver);
        CleanRegistry::TearDown();
    }
    RECT ChildScreenRect(HWND child) {
        RECT rect = {};
        GetWindowRect(child, &rect);
        RECT visible = {};
        RECT parentClient = {};
        GetClientRect(parent, &parentClient);
        MapWindowPoints(parent, nullptr, reinterpret_cast<POINT*>(&parentClient), 2);
        IntersectRect(&visible, &rect, &parentClient);
        return visible;
    }
    HWND parent = nullptr;
    test::SaverProcess saver;
};

TEST_F(PreviewSaver, ChildOfTheWholeWindowRectangleIgnoresInputAndEndsWithIt) {
    saver = test::StartSaver("/p " + std::to_string(reinterpret_cast<INT_PTR>(parent)));
    const HWND child = test::WaitForSaverWindow(parent);
    ASSERT_NE(nullptr, child);
    RECT parentRect = {};
    GetWindowRect(parent, &parentRect);
    RECT childRect = {};
    GetWindowRect(child, &childRect);
    POINT origin = {childRect.left, childRect.top};
    ScreenToClient(parent, &origin);
    EXPECT_EQ(0, origin.x);
    EXPECT_EQ(0, origin.y);
    EXPECT_EQ(parentRect.right - parentRect.left, childRect.right - childRect.left);
    EXPECT_EQ(parentRect.bottom - parentRect.top, childRect.bottom - childRect.top);
    EXPECT_EQ(parent, GetParent(child));
    EXPECT_EQ(static_cast<LONG>(WS_CHILD | WS_VISIBLE),
              GetWindowLongA(child, GWL_STYLE) & (WS_CHILD | WS_VISIBLE | WS_POPUP));
    EXPECT_FALSE(ScreenSaverRunning()) << "a preview is no running screen saver";

    // Input over the preview is the user's, not the saver's. Wine 8 does not show GL drawn into
    // another process's window on the screen (Wine 10 does), so frames cannot mark the input as
    // handled; the saver's thread answering a sent message afterwards shows that it is still
    // running.
    const RECT area = ChildScreenRect(child);
    ASSERT_TRUE(test::MoveCursor((area.left + area.right) / 2, (area.top + area.bottom) / 2));
    SendClick();
    SendKey('A');
    PostMessageA(child, WM_ACTIVATE, WA_INACTIVE, 0);
    DWORD_PTR answer = 0;
    EXPECT_NE(0, SendMessageTimeoutA(child, WM_NULL, 0, 0, SMTO_NORMAL, 30000, &answer));
    EXPECT_TRUE(IsWindow(child));
    EXPECT_EQ(static_cast<DWORD>(STILL_ACTIVE), test::WaitForExit(saver, 0));

    DestroyWindow(parent);
    EXPECT_EQ(0u, test::WaitForExit(saver)) << "destroying the preview window ends the saver";
}

TEST_F(PreviewSaver, NumberThatIsNoWindowEndsAtOnce) {
    for (const char* arguments : {"/p 0", "/p 12345", "/p"}) {
        test::SaverProcess lost = test::StartSaver(arguments);
        EXPECT_EQ(0u, test::WaitForExit(lost)) << arguments;
        EXPECT_EQ(0, test::CountWindowsOf(lost.id)) << arguments << ": no window, no message box";
        test::EndSaver(lost);
    }
}

} // namespace
