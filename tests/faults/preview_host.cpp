// Stands in for the display settings' process: it shows the preview window that a saver started
// with /p draws into, and ends at the point of the saver's start-up that its argument names, the
// way the display settings end when the user closes them. Its windows then go with the process,
// and the saver's child window with them, without a WM_DESTROY reaching the saver.
//   preview_host.exe POINT   (the number of a preview::Vanish; AtOnce: the test ends it)

#include <windows.h>

#include "tests/faults/preview_vanish.h"

#include <cstdlib>

namespace {

using preview::Vanish;

Vanish g_vanish = Vanish::AtOnce;
HWND g_child = nullptr;
DWORD g_createdAt = 0;

LRESULT CALLBACK HostProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_PARENTNOTIFY && LOWORD(wParam) == WM_CREATE) {
        if (g_vanish == Vanish::InsideCreation) {
            ExitProcess(0);
        }
        g_child = reinterpret_cast<HWND>(lParam);
        g_createdAt = GetTickCount();
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

bool TimeToEnd() {
    if (g_child == nullptr) {
        return false;
    }
    switch (g_vanish) {
    case Vanish::AfterCreation:
        return true;
    case Vanish::DuringSetUp:
        return GetTickCount() - g_createdAt >= preview::kSetUpDelayMs;
    case Vanish::AfterFirstFrames: {
        DWORD_PTR answer = 0;
        return SendMessageTimeoutA(g_child, WM_NULL, 0, 0, SMTO_NORMAL, 30000, &answer) != 0;
    }
    default:
        return false;
    }
}

} // namespace

int main(int argc, char** argv) {
    g_vanish = static_cast<Vanish>(argc > 1 ? std::atoi(argv[1]) : 0);
    WNDCLASSA windowClass = {};
    windowClass.lpfnWndProc = HostProc;
    windowClass.hInstance = GetModuleHandleA(nullptr);
    windowClass.lpszClassName = preview::kHostClass;
    RegisterClassA(&windowClass);
    CreateWindowExA(0, preview::kHostClass, "Preview", WS_POPUP | WS_VISIBLE, 100, 80, 152, 112,
                    nullptr, nullptr, windowClass.hInstance, nullptr);
    // A guard: a host whose saver never comes does not stay.
    const DWORD start = GetTickCount();
    while (!TimeToEnd() && GetTickCount() - start < 60000) {
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
        MSG message;
        while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
            DispatchMessageA(&message);
        }
    }
    return 0;
}
