#pragma once
// The Preview and Saver action: the render window, its OpenGL context and the frame loop.

#include <windows.h>

void RunSaver(HWND parent, int showCommand);
