#pragma once
// The render window's procedure: what ends a running saver, the cursor, the end of the frame loop.

#include <windows.h>

LRESULT CALLBACK SaverWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
