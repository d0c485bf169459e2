#pragma once
// This test program's own side of the platform: its window classes, its message queue, waiting
// for something to happen, and the family of Windows that the platform reports to it.

#include <windows.h>

namespace test {

// Registers a window class of this program; a class registered before stays as it was.
void RegisterWindowClass(const char* name, WNDPROC procedure = DefWindowProcA,
                         HBRUSH background = nullptr, UINT style = 0);

// Handles the calling thread's waiting messages; true when a quit message was among them. A saver
// that draws into a window of the test (a preview) sends it messages and waits for the answer.
bool PumpMessages();

// Looks until the condition holds, every 10 ms and whenever a message comes; false when it still
// does not after the guard time.
template <typename Condition> bool WaitUntil(Condition condition, DWORD guardMs = 30000) {
    const DWORD start = GetTickCount();
    while (!condition()) {
        if (GetTickCount() - start > guardMs) {
            return false;
        }
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
    }
    return true;
}

// The same, handling the thread's messages before each look.
template <typename Condition> bool PumpUntil(Condition condition, DWORD guardMs = 30000) {
    return WaitUntil(
        [&] {
            PumpMessages();
            return condition();
        },
        guardMs);
}

// VER_PLATFORM_WIN32_NT, or VER_PLATFORM_WIN32_WINDOWS for the Windows 9x family.
DWORD PlatformId();

} // namespace test
