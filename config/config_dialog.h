#pragma once
// The configuration dialog's procedure: shows and edits the "Rotate" setting.

#include <windows.h>

INT_PTR CALLBACK ConfigDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
