#include "host/saver_state.h"

namespace {

// Reads a value of up to four bytes. The buffer is cleared first, so that a shorter value arrives
// zero-extended; the field changes only when the query succeeds.
void QueryDword(HKEY key, const char* name, DWORD* field) {
    DWORD value = 0;
    DWORD size = sizeof(value);
    if (RegQueryValueExA(key, name, nullptr, nullptr, reinterpret_cast<BYTE*>(&value), &size) ==
        ERROR_SUCCESS) {
        *field = value;
    }
}

} // namespace

SaverState::SaverState() : window(nullptr), timerId(0), closing(0) {}

LONG SaverState::ReadCommonSettings() {
    passwordDelay = 15;
    mouseThreshold = 50;
    inputSuspended = 0;
    HKEY key = nullptr;
    LONG status = RegOpenKeyExA(HKEY_CURRENT_USER, kCommonSettingsKey, 0, KEY_QUERY_VALUE, &key);
    if (status != ERROR_SUCCESS) {
        return status;
    }
    QueryDword(key, "Password Delay", &passwordDelay);
    QueryDword(key, "Mouse Threshold", reinterpret_cast<DWORD*>(&mouseThreshold));
    QueryDword(key, "Mute Sound", &muteSound);
    return RegCloseKey(key);
}

LONG SaverState::ReadSettings() {
    rotate = 1;
    HKEY key = nullptr;
    LONG status = RegOpenKeyExA(HKEY_CURRENT_USER, kProductSettingsKey, 0, KEY_QUERY_VALUE, &key);
    if (status != ERROR_SUCCESS) {
        return status;
    }
    QueryDword(key, "Rotate", &rotate);
    return RegCloseKey(key);
}

LONG SaverState::WriteSettings() {
    HKEY key = nullptr;
    DWORD disposition = 0;
    LONG status = RegCreateKeyExA(HKEY_CURRENT_USER, kProductSettingsKey, 0, nullptr, 0,
                                  KEY_ALL_ACCESS, nullptr, &key, &disposition);
    if (status != ERROR_SUCCESS) {
        return status;
    }
    RegSetValueExA(key, "Rotate", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&rotate),
                   sizeof(rotate));
    return RegCloseKey(key);
}

LONG SaverState::Close() {
    closing = 1;
    return PostMessageA(window, WM_CLOSE, 0, 0);
}

LONG SaverState::SuspendInput() {
    inputSuspended = 1;
    return static_cast<LONG>(SendMessageA(window, WM_SETCURSOR, 0, 0));
}

LONG SaverState::ResumeInput() {
    inputSuspended = 0;
    SendMessageA(window, WM_SETCURSOR, 0, 0);
    return GetCursorPos(&startCursor);
}

// The design's eleven 32-bit words, on the 32-bit build where a window handle is one of them.
static_assert(sizeof(void*) != 4 || sizeof(SaverState) == 44);
