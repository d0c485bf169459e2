#include "tests/faults/running_saver.h"

#include "host/saver_state.h"
#include "tests/support/input.h"
#include "tests/support/screen.h"

#include <algorithm>
#include <cstdio>

namespace running {

::testing::AssertionResult CentreCursor() {
    return test::MoveCursor(GetSystemMetrics(SM_CXSCREEN) / 2, GetSystemMetrics(SM_CYSCREEN) / 2);
}

LONG Reach() {
    SaverState settings;
    settings.ReadCommonSettings();
    return std::clamp<LONG>(settings.mouseThreshold * 4 / 5, 0, 40);
}

POINT WalkWithin(LONG reach, unsigned step) {
    const unsigned side = 2 * static_cast<unsigned>(reach) + 1;
    const LONG x = static_cast<LONG>(step % side) - reach;
    const LONG y = static_cast<LONG>((step / side) % side) - reach;
    return {GetSystemMetrics(SM_CXSCREEN) / 2 + x, GetSystemMetrics(SM_CYSCREEN) / 2 + y};
}

HWND StartDrawing(test::SaverProcess& saver) {
    saver = test::StartSaver("/s");
    const HWND window = test::WaitForSaverWindow();
    if (window == nullptr || !test::WaitForFrames(test::CentrePatch(), 2)) {
        test::EndSaver(saver);
        return nullptr;
    }
    return window;
}

bool EndWithAKey(test::SaverProcess& saver, bool running) {
    const bool drawing = running && test::WaitForFrames(test::CentrePatch(), 2);
    test::SendKey('A');
    const DWORD exitCode = test::WaitForExit(saver);
    test::EndSaver(saver);
    std::printf("afterwards: still running %s, still drawing %s; a key then ended it with exit"
                " code %lu\n",
                running ? "yes" : "no", drawing ? "yes" : "no", exitCode);
    return running && drawing && exitCode == 0;
}

} // namespace running
