#include "tests/support/message_box.h"

namespace test {

namespace {

struct Controls {
    std::string buttons;
    bool icon = false;
};

std::string ClassOf(HWND window) {
    char name[32] = {};
    GetClassNameA(window, name, sizeof(name));
    return name;
}

// Wine keeps the icon control in every box and leaves it empty when the type asks for no icon,
// so an icon counts only when the control holds one.
BOOL CALLBACK NoteControl(HWND control, LPARAM lParam) {
    auto* controls = reinterpret_cast<Controls*>(lParam);
    const std::string className = ClassOf(control);
    if (lstrcmpiA(className.c_str(), "Button") == 0) {
        char text[64] = {};
        GetWindowTextA(control, text, sizeof(text));
        controls->buttons += (controls->buttons.empty() ? "" : " ") + std::string(text);
    } else if (lstrcmpiA(className.c_str(), "Static") == 0 &&
               (GetWindowLongA(control, GWL_STYLE) & SS_TYPEMASK) == SS_ICON &&
               SendMessageA(control, STM_GETICON, 0, 0) != 0) {
        controls->icon = true;
    }
    return TRUE;
}

} // namespace

std::string ButtonsAndIcon(HWND box) {
    Controls controls;
    EnumChildWindows(box, NoteControl, reinterpret_cast<LPARAM>(&controls));
    return controls.buttons + (controls.icon ? ", an icon" : ", no icon");
}

} // namespace test
