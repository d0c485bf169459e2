#pragma once
// What a message box offers, read from any process.

#include <windows.h>

#include <string>

namespace test {

// The box's buttons by their texts, in creation order, and whether it shows an icon.
std::string ButtonsAndIcon(HWND box);

// What ButtonsAndIcon gives for a box of type MB_OK: one OK button and no icon.
constexpr const char* kOkButtonNoIcon = "OK, no icon";

} // namespace test
