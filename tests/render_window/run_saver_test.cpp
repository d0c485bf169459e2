// RunSaver inside the test process, for the set-up failures that no outside switch can cause.

#include "host/globals.h"
#include "render/run_saver.h"

#include "tests/support/message_box.h"
#include "tests/support/saver_process.h"

#include <gtest/gtest.h>

#include <atomic>
#include <string>
#include <thread>

namespace {

// What a second thread saw of a message box that the thread under test put up, before it
// pressed OK.
struct BoxSeen {
    std::string text;
    std::string controls;
    HWND owner = nullptr;
    bool windowThere = false;
    bool running = false;
};

class BoxWatcher {
  public:
    BoxWatcher()
        : thread_([this] {
              const HWND box = test::WaitForWindow(test::kDialogClass, test::kErrorCaption);
              if (box == nullptr) {
                  return;
              }
              seen_.text = test::MessageBoxText(box);
              seen_.controls = test::ButtonsAndIcon(box);
              seen_.owner = GetWindow(box, GW_OWNER);
              seen_.windowThere = test::FindSaverWindow() != nullptr;
              seen_.running = test::ScreenSaverRunning();
              found_ = true;
              PostMessageA(box, WM_COMMAND, IDOK, 0);
          }) {}
    // Waits for the watcher; the box, if any, has been answered by then.
    const BoxSeen* Join() {
        thread_.join();
        return found_ ? &seen_ : nullptr;
    }

  private:
    BoxSeen seen_;
    std::atomic<bool> found_{false};
    std::thread thread_;
};

class RunSaverSetup : public ::testing::Test {
  protected:
    void SetUp() override {
        g_instance = GetModuleHandleA(nullptr);
        g_state = new SaverState();
        g_state->ReadCommonSettings();
        g_state->ReadSettings();
        g_saverWindow = nullptr;
        test::ClearScreenSaverRunning();
    }
    void TearDown() override {
        delete g_state;
        g_state = nullptr;
        test::ClearScreenSaverRunning();
    }
};

TEST_F(RunSaverSetup, PreviewWithoutAWindowReturnsAtOnceAndLeavesTheFlag) {
    g_mode = SaverMode::Preview;
    SystemParametersInfoA(SPI_SETSCREENSAVERRUNNING, TRUE, nullptr, 0);
    RunSaver(reinterpret_cast<HWND>(12345), SW_SHOW);
    EXPECT_EQ(nullptr, g_saverWindow);
    EXPECT_EQ(nullptr, FindWindowA(test::kDialogClass, test::kErrorCaption)) << "no message box";
    EXPECT_TRUE(test::ScreenSaverRunning()) << "a preview never touches the running flag";
}

// The class stays registered after a run, so a second run in the same process cannot register it.
TEST_F(RunSaverSetup, SecondRegistrationOfTheClassIsReported) {
    g_mode = SaverMode::Preview;
    RunSaver(nullptr, SW_SHOW);
    BoxWatcher watcher;
    RunSaver(nullptr, SW_SHOW);
    const BoxSeen* seen = watcher.Join();
    ASSERT_NE(nullptr, seen);
    EXPECT_EQ("RegisterClass() failed:  Cannot register window class.", seen->text);
    EXPECT_EQ(test::kOkButtonNoIcon, seen->controls);
    EXPECT_EQ(nullptr, seen->owner);
    EXPECT_FALSE(seen->windowThere) << "nothing exists yet when the class fails";
}

// Gives the new render window a pixel format of its own as soon as it is created, so that the
// saver's request for another one fails as it would on a window the platform will not change.
LRESULT CALLBACK TakePixelFormatFirst(int code, WPARAM wParam, LPARAM lParam) {
    const auto* call = reinterpret_cast<const CWPRETSTRUCT*>(lParam);
    char className[16] = {};
    if (code == HC_ACTION && call->message == WM_CREATE &&
        GetClassNameA(call->hwnd, className, sizeof(className)) &&
        std::string(className) == test::kSaverClass) {
        const HDC deviceContext = GetDC(call->hwnd);
        const int wanted = ChoosePixelFormat(deviceContext, &g_pixelFormat);
        const int formats =
            DescribePixelFormat(deviceContext, 1, sizeof(PIXELFORMATDESCRIPTOR), nullptr);
        const int other = wanted == formats ? 1 : wanted + 1;
        PIXELFORMATDESCRIPTOR description = {};
        DescribePixelFormat(deviceContext, other, sizeof(description), &description);
        SetPixelFormat(deviceContext, other, &description);
        ReleaseDC(call->hwnd, deviceContext);
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

TEST_F(RunSaverSetup, RefusedPixelFormatIsReportedAndTheFlagClearedAfterTheBox) {
    g_mode = SaverMode::Saver;
    const HHOOK hook =
        SetWindowsHookExA(WH_CALLWNDPROCRET, TakePixelFormatFirst, nullptr, GetCurrentThreadId());
    ASSERT_NE(nullptr, hook);
    BoxWatcher watcher;
    RunSaver(nullptr, SW_SHOW);
    UnhookWindowsHookEx(hook);
    const BoxSeen* seen = watcher.Join();
    ASSERT_NE(nullptr, seen);
    EXPECT_EQ("SetPixelFormat() failed:  Cannot set format specified.", seen->text);
    EXPECT_EQ(test::kOkButtonNoIcon, seen->controls);
    EXPECT_EQ(nullptr, seen->owner);
    EXPECT_TRUE(seen->windowThere) << "the window stays while the box is up";
    EXPECT_TRUE(seen->running) << "the flag is still on while the box is up";
    EXPECT_FALSE(test::ScreenSaverRunning()) << "and off once RunSaver has returned";
    EXPECT_NE(nullptr, g_saverWindow);
}

} // namespace
