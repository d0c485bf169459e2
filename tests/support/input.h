#pragma once
// Input as a user makes it, delivered by the platform to whatever window has the focus.

#include <windows.h>

namespace test {

void SendKey(WORD key);
void SendClick();

} // namespace test
