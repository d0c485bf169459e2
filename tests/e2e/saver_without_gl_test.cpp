// The built saver on an X display without OpenGL: the set-up fails at the pixel format. This
// program runs on that display itself (see on-display-without-gl), since a Wine process takes its
// display from the Unix environment it was started in.

#include "tests/support/message_box.h"
#include "tests/support/platform.h"
#include "tests/support/saver_process.h"

#include <gtest/gtest.h>

#include <iostream>
#include <string>

namespace {

using test::ScreenSaverRunning;

// Starts the saver with these arguments and returns its error box once it shows. The saver itself
// always ends with 0; Wine 10 on this display can end it with 1 before the box shows, over an X
// error in its own driver ("BadWindow" from X_UnmapWindow, fatal in Xlib). Such a start is the
// platform's failure, so it is made again, three times at most; any other end fails at once.
HWND StartShowingTheBox(const std::string& arguments, test::SaverProcess& saver) {
    for (int attempt = 1; attempt <= 3; ++attempt) {
        saver = test::StartSaver(arguments);
        HWND box = nullptr;
        test::PumpUntil([&] {
            box = FindWindowA(test::kDialogClass, test::kErrorCaption);
            return (box != nullptr && IsWindowVisible(box)) ||
                   WaitForSingleObject(saver.process, 0) == WAIT_OBJECT_0;
        });
        if (box != nullptr && IsWindowVisible(box)) {
            return box;
        }
        DWORD code = STILL_ACTIVE;
        GetExitCodeProcess(saver.process, &code);
        if (code != 1) {
            ADD_FAILURE() << "no box; the saver's exit code, or STILL_ACTIVE (259): " << code;
            return nullptr;
        }
        std::cerr << "the platform ended the saver with 1 before its box showed (start " << attempt
                  << ")\n";
        test::EndSaver(saver);
    }
    return nullptr;
}

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
    const HWND box = StartShowingTheBox("/s", saver);
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
    const HWND box =
        StartShowingTheBox("/p " + std::to_string(reinterpret_cast<INT_PTR>(parent)), saver);
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
