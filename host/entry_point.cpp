// Where the process starts. The saver links no C runtime, so that it needs nothing beyond the
// system's own DLLs (msvcrt.dll is not on every Windows it serves); this does the little of the C
// start-up that WinMain relies on. Nothing runs before it: globals are constant-initialised.

#include <windows.h>

#include "host/command_line.h"

extern "C" void WINAPI EntryPoint() {
    // The show command a caller asked for, as the platform's start-up computes it.
    STARTUPINFOA startup = {};
    startup.cb = sizeof(startup);
    GetStartupInfoA(&startup);
    const int showCommand =
        (startup.dwFlags & STARTF_USESHOWWINDOW) != 0 ? startup.wShowWindow : SW_SHOWDEFAULT;

    // WinMain reads the whole line itself; the tail is passed as the platform passes it.
    const LPSTR commandLine = GetCommandLineA();
    const LPSTR tail = commandLine + (ArgumentsOf(commandLine) - commandLine);
    ExitProcess(static_cast<UINT>(WinMain(GetModuleHandleA(nullptr), nullptr, tail, showCommand)));
}
