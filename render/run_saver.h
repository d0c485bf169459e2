#pragma once
// The Preview and Saver action: the render window, its OpenGL context and the frame loop.

#include <windows.h>

// The render window; 0 until it is created, and it names a destroyed window once the loop ends.
extern HWND g_saverWindow;
// The pixel format asked for; once set, the description of the one chosen.
extern PIXELFORMATDESCRIPTOR g_pixelFormat;

// Runs until the render window is destroyed, or returns at once when the set-up fails.
void RunSaver(HWND parent, int showCommand);

// One frame's change of the three angles, before drawing; and the wrap after it.
void AdvanceAngles();
void WrapAngles();
