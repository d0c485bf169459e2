// RunSaver where no rendering context can be made: the render sources are built here against the
// recording stand-in for opengl32, which refuses every context, while the window, the pixel
// format and the buffer swaps stay the platform's own.

#include "host/globals.h"
#include "render/run_saver.h"
#include "tests/render/recording_gl.h"
#include "tests/support/saver_process.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

namespace {

std::vector<std::string> RecordedNames() {
    std::size_t count = 0;
    const RecordedGlCall* calls = RecordedGlCalls(&count);
    std::vector<std::string> names;
    for (std::size_t i = 0; i < count; ++i) {
        names.emplace_back(calls[i].name);
    }
    return names;
}

int Count(const std::vector<std::string>& names, const std::string& name) {
    return static_cast<int>(std::count(names.begin(), names.end(), name));
}

// What the frame loop did, seen from inside it: a thread timer is dispatched by the loop itself.
struct LoopSeen {
    int ticks = 0;
    std::vector<std::string> setUp;
    int frames = 0;
};
LoopSeen g_loop;

// The first tick takes what the set-up called, the later ones count the frames drawn since each
// previous tick (each frame calls the scene's list). Once frames are seen, or after ten ticks, the
// run is ended as a user's key would end it.
void CALLBACK WatchLoop(HWND, UINT, UINT_PTR timer, DWORD) {
    if (++g_loop.ticks == 1) {
        g_loop.setUp = RecordedNames();
    } else {
        g_loop.frames = Count(RecordedNames(), "glCallList");
    }
    ClearRecordedGlCalls();
    if (g_loop.frames > 0 || g_loop.ticks == 10) {
        KillTimer(nullptr, timer);
        g_state->Close();
    }
}

TEST(RunWithoutContext, TheLoopDrawsAndTheRunEndsAsUsual) {
    g_instance = GetModuleHandleA(nullptr);
    SaverState state;
    state.ReadCommonSettings();
    state.ReadSettings();
    state.passwordDelay = 3600;
    g_state = &state;
    g_mode = SaverMode::Saver;
    test::ClearScreenSaverRunning();
    ClearRecordedGlCalls();
    ASSERT_NE(0u, SetTimer(nullptr, 0, 200, WatchLoop));

    RunSaver(nullptr, SW_SHOW);

    EXPECT_GE(g_loop.ticks, 2) << "the loop ran until the close it was asked for";
    EXPECT_EQ(1, Count(g_loop.setUp, "wglCreateContext"));
    EXPECT_EQ(1, Count(g_loop.setUp, "glNewList")) << "the scene was set up all the same";
    EXPECT_GT(g_loop.frames, 0) << "frames are drawn without a context";
    const std::vector<std::string> teardown = RecordedNames();
    EXPECT_EQ(1, Count(teardown, "wglDeleteContext")) << "the context, none, is given up";
    EXPECT_FALSE(IsWindow(g_saverWindow));
    EXPECT_FALSE(test::ScreenSaverRunning()) << "the running flag is cleared";
    EXPECT_EQ(nullptr, FindWindowA(test::kDialogClass, test::kErrorCaption)) << "no message box";
    g_state = nullptr;
    test::ClearScreenSaverRunning();
}

} // namespace
