#pragma once
// A full-screen saver run as its own process and driven from outside: shared by the tests of
// foreign input and by the storm and soak programs.

#include "tests/support/saver_process.h"

#include <gtest/gtest.h>

#include <windows.h>

namespace running {

// Puts the cursor in the centre of the screen and waits until the platform reports it there, so
// that a saver started next takes the centre as its reference.
::testing::AssertionResult CentreCursor();

// How far the cursor may wander from the saver's reference on either axis and stay well within
// the mouse threshold that the saver reads; 0 when the threshold leaves no room.
LONG Reach();

// The cursor's position at a step of a walk to and fro across the square within reach of the
// centre of the screen, a different position on every step.
POINT WalkWithin(LONG reach, unsigned step);

// Starts moskel.scr /s and waits until its window is there and draws. The window, or null with
// the saver ended.
HWND StartDrawing(test::SaverProcess& saver);

// After a trial: looks whether the saver still draws, ends it with a key, prints what it saw and
// tells whether all was well (running before, drawing, and exit code 0).
bool EndWithAKey(test::SaverProcess& saver, bool running);

} // namespace running
