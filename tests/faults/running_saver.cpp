#include "tests/faults/running_saver.h"

#include "host/saver_state.h"
#include "tests/support/screen.h"

#include <algorithm>

namespace running {

RECT CentrePatch() {
    const LONG cx = GetSystemMetrics(SM_CXSCREEN) / 2;
    const LONG cy = GetSystemMetrics(SM_CYSCREEN) / 2;
    return {cx - 40, cy - 40, cx + 40, cy + 40};
}

bool CentreCursor() {
    const int x = GetSystemMetrics(SM_CXSCREEN) / 2;
    const int y = GetSystemMetrics(SM_CYSCREEN) / 2;
    SetCursorPos(x, y);
    for (int i = 0; i < 500; ++i) {
        POINT now = {};
        GetCursorPos(&now);
        if (now.x == x && now.y == y) {
            return true;
        }
        Sleep(10);
    }
    return false;
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
    const HWND window = test::WaitForWindow("OpenGL", "SaverWindow");
    if (window == nullptr || !test::WaitForFrames(CentrePatch(), 2)) {
        return nullptr;
    }
    return window;
}

} // namespace running
