#pragma once
// The one settings-and-state object of a saver process: the settings loaded from the current
// user's registry and the little run-time state that the saver window keeps.

#include <windows.h>

// The platform's common screen-saver settings, read only.
constexpr const char* kCommonSettingsKey =
    "Software\\Microsoft\\Windows\\CurrentVersion\\Screen Savers";
// The product's own key, created on the first store.
constexpr const char* kProductSettingsKey = "Software\\Orvel\\Tavrin Saver";

class SaverState {
  public:
    SaverState();

    // Each returns the status of its last platform call; nothing reads it.
    LONG ReadCommonSettings();
    LONG ReadSettings();
    LONG WriteSettings();
    LONG Close();
    LONG SuspendInput();
    LONG ResumeInput();

    HWND window;
    DWORD passwordDelay; // seconds
    LONG mouseThreshold; // pixels, on either axis
    DWORD muteSound;     // loaded with the others, read by nothing
    POINT startCursor;   // reference for the mouse threshold, screen coordinates
    DWORD startTick;     // GetTickCount when the window was created
    UINT timerId;        // 0: no timer
    DWORD inputSuspended;
    DWORD closing;
    DWORD rotate;
};
