#include "tests/support/platform.h"

namespace test {

void RegisterWindowClass(const char* name, WNDPROC procedure, HBRUSH background, UINT style) {
    WNDCLASSA windowClass = {};
    windowClass.style = style;
    windowClass.lpfnWndProc = procedure;
    windowClass.hInstance = GetModuleHandleA(nullptr);
    windowClass.hbrBackground = background;
    windowClass.lpszClassName = name;
    RegisterClassA(&windowClass);
}

bool PumpMessages() {
    bool quit = false;
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
        if (message.message == WM_QUIT) {
            quit = true;
            continue;
        }
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
    return quit;
}

DWORD PlatformId() {
    OSVERSIONINFOA version = {};
    version.dwOSVersionInfoSize = sizeof(version);
    GetVersionExA(&version);
    return version.dwPlatformId;
}

} // namespace test
