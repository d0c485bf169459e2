// The display settings' preview window going at each point of a preview saver's start-up, either
// destroyed (a window of this test process) or taken along when its process ends (a window of
// preview_host.exe), and previews started and stopped in a row the way the display settings do
// while a user browses the list: every saver ends, with exit code 0, and none is left behind.

#include "tests/faults/preview_vanish.h"
#include "tests/support/platform.h"
#include "tests/support/registry.h"
#include "tests/support/saver_process.h"

#include <gtest/gtest.h>

#include <deque>
#include <string>

namespace {

using preview::Vanish;

// The parent's procedure destroys the parent inside the child's creation when asked to, and notes
// the creation otherwise.
Vanish g_vanish = Vanish::AtOnce;
bool g_childCreated = false;

LRESULT CALLBACK PreviewParentProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_PARENTNOTIFY && LOWORD(wParam) == WM_CREATE) {
        g_childCreated = true;
        if (g_vanish == Vanish::InsideCreation) {
            DestroyWindow(window);
            return 0;
        }
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

// What a saver that has not ended shows, for the failure message.
std::string WhatIsLeft(DWORD processId) {
    const HWND box = FindWindowA(test::kDialogClass, test::kErrorCaption);
    DWORD owner = 0;
    if (box != nullptr) {
        GetWindowThreadProcessId(box, &owner);
    }
    if (owner == processId) {
        return "a box waits for a click: " + test::MessageBoxText(box);
    }
    return std::to_string(test::CountWindowsOf(processId)) + " top-level windows";
}

void ExpectEnded(test::SaverProcess& saver, const std::string& when) {
    EXPECT_EQ(0u, test::WaitForExit(saver)) << when << ": " << WhatIsLeft(saver.id);
    test::EndSaver(saver);
}

class PreviewParent : public test::CleanRegistry {
  protected:
    void SetUp() override {
        CleanRegistry::SetUp();
        test::RegisterWindowClass("VanishingPreview", PreviewParentProc,
                                  static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
    }

    // Starts a preview in a new window of this process and destroys that window at the point.
    static test::SaverProcess StartAndDestroy(Vanish vanish) {
        g_vanish = vanish;
        g_childCreated = false;
        const HWND parent =
            CreateWindowExA(0, "VanishingPreview", "Preview", WS_POPUP | WS_VISIBLE, 100, 80, 152,
                            112, nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
        EXPECT_NE(nullptr, parent);
        test::SaverProcess saver =
            test::StartSaver("/p " + std::to_string(reinterpret_cast<INT_PTR>(parent)));
        if (vanish != Vanish::AtOnce) {
            EXPECT_TRUE(test::PumpUntil([] { return g_childCreated; }))
                << "no child window was made";
        }
        if (vanish == Vanish::DuringSetUp) {
            test::PumpUntil([] { return false; }, preview::kSetUpDelayMs);
        }
        if (vanish == Vanish::AfterFirstFrames && IsWindow(parent)) {
            const HWND child = test::FindSaverWindow(parent);
            DWORD_PTR answer = 0;
            EXPECT_NE(0, SendMessageTimeoutA(child, WM_NULL, 0, 0, SMTO_NORMAL, 30000, &answer))
                << "the frame loop does not answer";
        }
        if (IsWindow(parent)) {
            DestroyWindow(parent);
        }
        return saver;
    }
};

// Starts a preview in the window of a new preview_host.exe, which ends at the point.
test::SaverProcess StartAndEndHost(Vanish vanish) {
    test::SaverProcess host =
        test::StartProgram("\"" + test::ProgramFolder() + "preview_host.exe\" " +
                           std::to_string(static_cast<int>(vanish)));
    const HWND parent = test::WaitForWindow(preview::kHostClass, nullptr);
    EXPECT_NE(nullptr, parent) << "the host shows no window";
    test::SaverProcess saver =
        test::StartSaver("/p " + std::to_string(reinterpret_cast<INT_PTR>(parent)));
    if (vanish == Vanish::AtOnce) {
        TerminateProcess(host.process, 0);
    }
    EXPECT_EQ(0u, test::WaitForExit(host)) << "the host did not end by itself";
    test::EndSaver(host);
    return saver;
}

TEST_F(PreviewParent, GoneAtAnyPointOfTheStartEndsTheSaver) {
    for (const Vanish vanish : preview::kVanishes) {
        test::SaverProcess destroyed = StartAndDestroy(vanish);
        ExpectEnded(destroyed, std::string("destroyed ") + preview::NameOf(vanish));
        test::SaverProcess hostEnded = StartAndEndHost(vanish);
        ExpectEnded(hostEnded, std::string("its process ended ") + preview::NameOf(vanish));
    }
}

// Run only on a display without OpenGL (see CMakeLists.txt), where the pixel format fails at once:
// a preview whose window went with its process while the saver's window was being made has
// nobody left to read of that failure, so no box waits for a click.
TEST(PreviewWithoutOpenGL, GoneInsideTheCreationShowsNoBox) {
    test::SaverProcess saver = StartAndEndHost(Vanish::InsideCreation);
    ExpectEnded(saver, "the host ended inside the creation of the saver's window");
}

// A user browsing the list: each choice destroys the running preview and starts the next, which
// does not wait for the last one to have ended.
TEST_F(PreviewParent, HundredStartsAndStopsInARowLeaveNoProcess) {
    constexpr int kStarts = 100;
    constexpr size_t kStillEnding = 3;
    struct Started {
        test::SaverProcess saver;
        Vanish vanish;
    };
    std::deque<Started> ending;
    const auto expectFrontEnded = [&ending] {
        ExpectEnded(ending.front().saver,
                    std::string("destroyed ") + preview::NameOf(ending.front().vanish));
        ending.pop_front();
    };
    for (int start = 0; start < kStarts; ++start) {
        const Vanish vanish = preview::kVanishes[start % std::size(preview::kVanishes)];
        ending.push_back({StartAndDestroy(vanish), vanish});
        if (ending.size() > kStillEnding) {
            expectFrontEnded();
        }
    }
    while (!ending.empty()) {
        expectFrontEnded();
    }
}

} // namespace
