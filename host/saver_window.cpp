#include "host/saver_window.h"

#include "host/globals.h"
#include "host/password.h"

#include <stdint.h>

namespace {

// Input counts only in a full-screen run, and not while the password dialog is up.
bool Watching() {
    return g_mode == SaverMode::Saver && g_state->inputSuspended == 0;
}

void RecordCreation(HWND window) {
    g_state->window = window;
    GetCursorPos(&g_state->startCursor);
    g_state->startTick = GetTickCount();
}

void EndFrameLoop(HWND window) {
    if (g_state->timerId != 0) {
        KillTimer(window, g_state->timerId);
    }
    g_state->timerId = 0;
    PostQuitMessage(0);
}

LONG Travel(LONG from, LONG to) {
    return to > from ? to - from : from - to;
}

// Per axis, not the distance: 40 pixels each way diagonally stays within a threshold of 50.
void CheckMouseTravel() {
    POINT now = {};
    GetCursorPos(&now);
    const LONG dx = Travel(g_state->startCursor.x, now.x);
    const LONG dy = Travel(g_state->startCursor.y, now.y);
    if (dx > g_state->mouseThreshold || dy > g_state->mouseThreshold) {
        g_state->Close();
    }
}

// The delay in milliseconds is taken in 64 bits: in 32 bits a delay above 4294967 seconds would
// wrap and ask for the password far too early.
bool PasswordDue() {
    const DWORD elapsed = GetTickCount() - g_state->startTick;
    return uint64_t{elapsed} > uint64_t{g_state->passwordDelay} * 1000;
}

// Only a close asked for through Close, and not one that arrives while the password dialog is
// up, ends the run; a refused password leaves the saver running.
void CloseAfterPassword(HWND window) {
    if (g_state->closing != 1 || g_state->inputSuspended != 0) {
        return;
    }
    BOOL ok = TRUE;
    if (PasswordDue()) {
        g_state->SuspendInput();
        ok = VerifyPassword(window);
        g_state->ResumeInput();
    }
    if (ok) {
        DestroyWindow(window);
    }
}

} // namespace

LRESULT CALLBACK SaverWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_CREATE:
        RecordCreation(window);
        break;
    case WM_DESTROY:
        EndFrameLoop(window);
        break;
    case WM_ACTIVATE:
    case WM_ACTIVATEAPP:
    case WM_NCACTIVATE:
        if (Watching() && LOWORD(wParam) == 0) {
            g_state->Close();
        }
        break;
    case WM_CLOSE:
        if (g_mode == SaverMode::Saver) {
            CloseAfterPassword(window);
            return 0;
        }
        break;
    case WM_SETCURSOR:
        // While watching the cursor stays hidden, and the default handling is skipped: for any
        // hit test but the client area (the state sends 0) it would put the arrow back.
        if (Watching()) {
            SetCursor(nullptr);
            return TRUE;
        }
        SetCursor(LoadCursorA(nullptr, IDC_ARROW));
        break;
    case WM_KEYDOWN:
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_MBUTTONDOWN:
        if (Watching()) {
            g_state->Close();
        }
        break;
    case WM_MOUSEMOVE:
        if (Watching()) {
            CheckMouseTravel();
        }
        break;
    case WM_SYSCOMMAND:
        // Exact values: the platform's own screen saver and the system menu's close stay away.
        if (g_mode == SaverMode::Saver && (wParam == SC_SCREENSAVE || wParam == SC_CLOSE)) {
            return 0;
        }
        break;
    default:
        break;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}
