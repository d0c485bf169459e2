// Stands in for the Windows 9x PASSWORD.CPL, which Wine does not have. Its answer comes from the
// scratch registry key; it records each call there. Built twice: with the verifier, and without it
// (STANDIN_WITH_ENTRY 0) for a module that lacks the entry point.

#include <windows.h>

#include "tests/standins/module_record.h"
#include "tests/standins/standin_record.h"

namespace {

constexpr const char* kModuleName = "PASSWORD.CPL";

} // namespace

#if STANDIN_WITH_ENTRY
namespace {

standin::CursorSeen CurrentCursor() {
    const HCURSOR cursor = GetCursor();
    if (cursor == nullptr) {
        return standin::kNoCursor;
    }
    return cursor == LoadCursorA(nullptr, IDC_ARROW) ? standin::kArrowCursor
                                                     : standin::kOtherCursor;
}

// What a user may do while the platform's dialog is up, delivered the way the dialog's own loop
// would deliver it: straight to the saver window's procedure.
void SendInputDuringDialog(HWND window) {
    SendMessageA(window, WM_KEYDOWN, 'K', 0);
    SendMessageA(window, WM_LBUTTONDOWN, MK_LBUTTON, 0);
    SendMessageA(window, WM_RBUTTONDOWN, MK_RBUTTON, 0);
    SendMessageA(window, WM_MBUTTONDOWN, MK_MBUTTON, 0);
    SendMessageA(window, WM_ACTIVATE, WA_INACTIVE, 0);
    SendMessageA(window, WM_ACTIVATEAPP, FALSE, 0);
    SendMessageA(window, WM_NCACTIVATE, FALSE, 0);
    POINT now = {};
    GetCursorPos(&now);
    SetCursorPos(now.x + 300, now.y + 300);
    SendMessageA(window, WM_MOUSEMOVE, 0, 0);
    SetCursorPos(now.x, now.y);
    SendMessageA(window, WM_CLOSE, 0, 0);
}

void HandleWaitingMessages() {
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
}

// The dialog's own loop, until the test sets the event (a minute at most, as a guard).
void HandleMessagesUntil(const char* eventName) {
    const HANDLE event = OpenEventA(SYNCHRONIZE, FALSE, eventName);
    if (event == nullptr) {
        return;
    }
    const DWORD start = GetTickCount();
    bool set = false;
    while (!set && GetTickCount() - start < 60000) {
        set = MsgWaitForMultipleObjects(1, &event, FALSE, 100, QS_ALLINPUT) == WAIT_OBJECT_0;
        HandleWaitingMessages();
    }
    CloseHandle(event);
}

} // namespace

extern "C" __declspec(dllexport) BOOL WINAPI VerifyScreenSavePwd(HWND window) {
    standin::Increment(standin::kVerifyCalls);
    standin::WriteQword(standin::kVerifyWindow, reinterpret_cast<UINT_PTR>(window));
    standin::WriteDword(standin::kVerifyCursor, CurrentCursor());
    if (standin::ReadDword(standin::kVerifySendsInput, 0) != 0) {
        SendInputDuringDialog(window);
    }
    const std::string waitEvent = standin::ReadString(standin::kVerifyWaitEvent);
    if (!waitEvent.empty()) {
        HandleMessagesUntil(waitEvent.c_str());
    }
    const DWORD noPosition = 0x7FFFFFFF;
    const DWORD x = standin::ReadDword(standin::kVerifyMovesCursorX, noPosition);
    const DWORD y = standin::ReadDword(standin::kVerifyMovesCursorY, noPosition);
    if (x != noPosition && y != noPosition) {
        SetCursorPos(static_cast<int>(x), static_cast<int>(y));
    }
    return static_cast<BOOL>(standin::ReadDword(standin::kVerifyAnswer, 1));
}
#endif

BOOL WINAPI DllMain(HINSTANCE module, DWORD reason, LPVOID reserved) {
    standin::RecordLifetime(module, reason, reserved, kModuleName);
    return TRUE;
}
