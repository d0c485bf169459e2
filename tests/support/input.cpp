#include "tests/support/input.h"

#include "tests/support/platform.h"

namespace test {

UINT SendKey(WORD key) {
    INPUT inputs[2] = {};
    inputs[0].type = inputs[1].type = INPUT_KEYBOARD;
    inputs[0].ki.wVk = inputs[1].ki.wVk = key;
    inputs[1].ki.dwFlags = KEYEVENTF_KEYUP;
    return SendInput(2, inputs, sizeof(INPUT));
}

UINT SendClick() {
    INPUT inputs[2] = {};
    inputs[0].type = inputs[1].type = INPUT_MOUSE;
    inputs[0].mi.dwFlags = MOUSEEVENTF_LEFTDOWN;
    inputs[1].mi.dwFlags = MOUSEEVENTF_LEFTUP;
    return SendInput(2, inputs, sizeof(INPUT));
}

::testing::AssertionResult MoveCursor(int x, int y) {
    SetCursorPos(x, y);
    POINT now = {};
    if (WaitUntil([&] { return GetCursorPos(&now) && now.x == x && now.y == y; }, 5000)) {
        return ::testing::AssertionSuccess();
    }
    return ::testing::AssertionFailure()
           << "the cursor stays at " << now.x << "," << now.y << " instead of " << x << "," << y;
}

} // namespace test
