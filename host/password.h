#pragma once
// The platform's screen-saver password services (Windows 9x family), loaded only when needed.

#include <windows.h>

// Non-zero when the saver may close: the password was accepted, or there was nothing to ask.
BOOL VerifyPassword(HWND window);
// Lets the user change the screen-saver password, owned by parent.
void ChangePassword(HWND parent);
