#pragma once
// Starting the built moskel.scr as a process of its own and watching what it does.

#include <windows.h>

#include <optional>
#include <string>
#include <vector>

namespace test {

// Full path of moskel.scr, which the build puts beside the test programs.
std::string ScrPath();

// Folder of the running test program, with a trailing backslash.
std::string ProgramFolder();

struct SaverProcess {
    HANDLE process = nullptr;
    DWORD id = 0;
};

// Starts moskel.scr with the given arguments (after the quoted program path), its environment
// changed by "NAME=value" entries, and the show command, if any, passed the way a caller asks for
// one (STARTF_USESHOWWINDOW). Fails the test and returns an empty process when it cannot start.
SaverProcess StartSaver(const std::string& arguments,
                        const std::vector<std::string>& environmentChanges = {},
                        std::optional<WORD> showCommand = std::nullopt);

// Handles the calling thread's waiting messages. The waits below do it too, since a saver that
// draws into a window of the test (a preview) sends it messages and waits for the answer.
void PumpMessages();

// Waits for the process to end and returns its exit code; STILL_ACTIVE after the timeout.
DWORD WaitForExit(const SaverProcess& saver, DWORD timeoutMs = 30000);

// Ends a process that is still running and closes the handle.
void EndSaver(SaverProcess& saver);

// Polls until a top-level window of that class and name (either may be null) is there and visible.
HWND WaitForWindow(const char* className, const char* name, DWORD timeoutMs = 30000);

// Top-level windows that the process owns, visible or not.
int CountWindowsOf(DWORD processId);

// The platform's screen-saver-running flag as a new process sees it; ClearScreenSaverRunning
// clears it the same way.
bool ScreenSaverRunning();
void ClearScreenSaverRunning();

// The text of a message box, read from any process.
std::string MessageBoxText(HWND box);

} // namespace test
