#pragma once
// Input as a user makes it, delivered by the platform to whatever window has the focus.

#include <windows.h>

#include <gtest/gtest.h>

namespace test {

// A press and release; each gives the number of events that the platform took, 2 when all went.
UINT SendKey(WORD key);
UINT SendClick();

// Moves the real cursor and waits until the platform reports it there.
::testing::AssertionResult MoveCursor(int x, int y);

} // namespace test
