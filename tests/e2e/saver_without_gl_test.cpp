// The built saver on an X display without OpenGL: the set-up fails at the pixel format. This
// program runs on that display itself (see on-display-without-gl), since a Wine process takes its
// display from the Unix environment it was started in.

#include "tests/support/message_box.h"
#include "tests/support/platform.h"
#include "tests/support/saver_process.h"

#include <gtest/gtest.h>

namespace {

using test::ScreenSaverRunning;

class SaverWithoutOpenGL : public ::testing::Test {
  protected:
    void SetUp() override {
        test::ClearScreenSaverRunning();
    }
    void TearDown() override {
        test::EndSaver(saver);
        test::ClearScreenSaverRunning();
    }
    test::SaverProcess saver;
};

TEST_F(SaverWithoutOpenGL, ReportsThePixelFormatAndClearsTheRunningFlag) {
    saver = test::StartSaver("/s");
    const HWND box = test::WaitForWindow(test::kDialogClass, test::kErrorCaption);
    ASSERT_NE(nullptr, box);
    EXPECT_EQ("ChoosePixelFormat() failed:  Cannot find a suitable pixel format.",
              test::MessageBoxText(box));
    EXPECT_EQ(test::kOkButtonNoIcon, test::ButtonsAndIcon(box));
    EXPECT_EQ(nullptr, GetWindow(box, GW_OWNER)) << "the box has no owner";
    const HWND window = test::FindSaverWindow();
    EXPECT_NE(nullptr, window) << "the window exists while the box is up";
    EXPECT_TRUE(IsWindowVisible(window));
    EXPECT_TRUE(ScreenSaverRunning()) << "still on while the box is up";
    PostMessageA(box, WM_COMMAND, IDOK, 0);
    EXPECT_EQ(0u, test::WaitForExit(saver));
    EXPECT_FALSE(ScreenSaverRunning());
}

TEST_F(SaverWithoutOpenGL, PreviewReportsItTooButLeavesTheFlagAlone) {
    test::RegisterWindowClass("PreviewParent");
    const HWND parent =
        CreateWindowExA(0, "PreviewParent", "Preview", WS_POPUP | WS_VISIBLE, 0, 0, 200, 150,
                        nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
    ASSERT_NE(nullptr, parent);
    SystemParametersInfoA(SPI_SETSCREENSAVERRUNNING, TRUE, nullptr, 0);
    saver = test::StartSaver("/p " + std::to_string(reinterpret_cast<INT_PTR>(parent)));
    const HWND box = test::WaitForWindow(test::kDialogClass, test::kErrorCaption);
    ASSERT_NE(nullptr, box);
    EXPECT_EQ("ChoosePixelFormat() failed:  Cannot find a suitable pixel format.",
              test::MessageBoxText(box));
    EXPECT_EQ(test::kOkButtonNoIcon, test::ButtonsAndIcon(box));
    PostMessageA(box, WM_COMMAND, IDOK, 0);
    EXPECT_EQ(0u, test::WaitForExit(saver));
    EXPECT_TRUE(ScreenSaverRunning()) << "a preview never touches the running flag";
    DestroyWindow(parent);
}

} // namespace
