#pragma once
// Starting the built moskel.scr as a process of its own and watching what it does.

#include <windows.h>

#include <optional>
#include <string>
#include <vector>

namespace test {

// How other programs find the saver's windows: the one it draws in, and the dialogs it shows (the
// settings, and the message box that reports a failure).
constexpr const char* kSaverClass = "OpenGL";
constexpr const char* kSaverWindowName = "SaverWindow";
constexpr const char* kDialogClass = "#32770";
constexpr const char* kSettingsCaption = "Config dialog";
constexpr const char* kErrorCaption = "Error";

// Full path of the saver under test: the file that the environment variable MOSKEL_SCR names, when
// it is set and not empty (a Windows path, or a Unix one that Wine reaches through Z:), so that one
// set of tests can run another build of it; otherwise the moskel.scr that the build puts beside
// the test programs.
std::string ScrPath();

// The folder of that file, with a trailing backslash.
std::string ScrFolder();

// Folder of the running test program, with a trailing backslash.
std::string ProgramFolder();

struct SaverProcess {
    HANDLE process = nullptr;
    DWORD id = 0;
};

// Starts a program with that command line and environment block (null: this one's), and the show
// command, if any, passed the way a caller asks for one (STARTF_USESHOWWINDOW). Fails the test and
// returns an empty process when it cannot start.
SaverProcess StartProgram(std::string commandLine, char* environment = nullptr,
                          std::optional<WORD> showCommand = std::nullopt);

// Starts moskel.scr with the given arguments (after the quoted program path), its environment
// changed by "NAME=value" entries, and the show command, if any.
SaverProcess StartSaver(const std::string& arguments,
                        const std::vector<std::string>& environmentChanges = {},
                        std::optional<WORD> showCommand = std::nullopt);

// Waits for the process to end and returns its exit code; STILL_ACTIVE after the timeout. Like the
// waits below, it handles this thread's messages meanwhile (see PumpMessages).
DWORD WaitForExit(const SaverProcess& saver, DWORD timeoutMs = 30000);

// Ends a process that is still running and closes the handle.
void EndSaver(SaverProcess& saver);

// Polls until a window of that class and name (either may be null) is there and visible: a
// top-level one, or a child of parent.
HWND WaitForWindow(const char* className, const char* name, HWND parent = nullptr);

// The saver's window (a child of parent for a preview), or null; WaitForSaverWindow waits for it
// to be there and visible.
HWND FindSaverWindow(HWND parent = nullptr);
HWND WaitForSaverWindow(HWND parent = nullptr);

// Top-level windows that the process owns, visible or not.
int CountWindowsOf(DWORD processId);

// The platform's screen-saver-running flag as a new process sees it; ClearScreenSaverRunning
// clears it the same way.
bool ScreenSaverRunning();
void ClearScreenSaverRunning();

// The text of a message box, read from any process.
std::string MessageBoxText(HWND box);

} // namespace test
