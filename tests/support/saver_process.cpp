#include "tests/support/saver_process.h"

#include "tests/support/platform.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <iostream>

namespace test {

namespace {

std::string FolderOf(const std::string& path) {
    return path.substr(0, path.find_last_of('\\') + 1);
}

// Wine's drive Z: is the Unix root; a Windows path is taken as it is.
std::string WindowsPath(std::string path) {
    if (path.empty() || path[0] != '/') {
        return path;
    }
    std::replace(path.begin(), path.end(), '/', '\\');
    return "Z:" + path;
}

} // namespace

std::string ProgramFolder() {
    char path[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    return FolderOf(path);
}

std::string ScrPath() {
    const DWORD size = GetEnvironmentVariableA("MOSKEL_SCR", nullptr, 0);
    if (size <= 1) { // unset or empty
        return ProgramFolder() + "moskel.scr";
    }
    std::string chosen(size, '\0');
    chosen.resize(GetEnvironmentVariableA("MOSKEL_SCR", chosen.data(), size));
    return WindowsPath(chosen);
}

std::string ScrFolder() {
    return FolderOf(ScrPath());
}

namespace {

// The current environment as a block for CreateProcessA, with the changes applied.
std::string EnvironmentWith(const std::vector<std::string>& changes) {
    std::string block;
    char* strings = GetEnvironmentStringsA();
    for (const char* entry = strings; *entry != '\0'; entry += strlen(entry) + 1) {
        const std::string current(entry);
        const std::string name = current.substr(0, current.find('=') + 1);
        const bool replaced =
            std::any_of(changes.begin(), changes.end(), [&](const std::string& c) {
                return name.size() > 1 && c.compare(0, name.size(), name) == 0;
            });
        if (!replaced) {
            block.append(current).push_back('\0');
        }
    }
    FreeEnvironmentStringsA(strings);
    for (const std::string& change : changes) {
        block.append(change).push_back('\0');
    }
    block.push_back('\0');
    return block;
}

} // namespace

SaverProcess StartProgram(std::string commandLine, char* environment,
                          std::optional<WORD> showCommand) {
    STARTUPINFOA startup = {};
    startup.cb = sizeof(startup);
    if (showCommand) {
        startup.dwFlags = STARTF_USESHOWWINDOW;
        startup.wShowWindow = *showCommand;
    }
    // Wine reports ERROR_INTERNAL_ERROR when the new process ended while the platform was still
    // starting it, before any of the program's own code ran: a start the platform lost, made
    // again, three times at most.
    for (int attempt = 1;; ++attempt) {
        PROCESS_INFORMATION info = {};
        if (CreateProcessA(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, environment,
                           nullptr, &startup, &info)) {
            CloseHandle(info.hThread);
            return {info.hProcess, info.dwProcessId};
        }
        const DWORD error = GetLastError();
        if (error != ERROR_INTERNAL_ERROR || attempt == 3) {
            ADD_FAILURE() << "cannot start " << commandLine << ": error " << error;
            return {};
        }
        std::cerr << "the platform lost the start of " << commandLine << " (error " << error
                  << "); starting it again\n";
    }
}

SaverProcess StartSaver(const std::string& arguments,
                        const std::vector<std::string>& environmentChanges,
                        std::optional<WORD> showCommand) {
    std::string commandLine = "\"" + ScrPath() + "\"";
    if (!arguments.empty()) {
        commandLine.append(" ").append(arguments);
    }
    std::string environment = EnvironmentWith(environmentChanges);
    return StartProgram(commandLine, environmentChanges.empty() ? nullptr : environment.data(),
                        showCommand);
}

DWORD WaitForExit(const SaverProcess& saver, DWORD timeoutMs) {
    const DWORD start = GetTickCount();
    for (;;) {
        const DWORD elapsed = GetTickCount() - start;
        const DWORD left = elapsed < timeoutMs ? timeoutMs - elapsed : 0;
        const DWORD woken = MsgWaitForMultipleObjects(1, &saver.process, FALSE, left, QS_ALLINPUT);
        if (woken == WAIT_OBJECT_0) {
            break;
        }
        if (woken != WAIT_OBJECT_0 + 1) {
            return STILL_ACTIVE;
        }
        PumpMessages();
    }
    DWORD code = STILL_ACTIVE;
    GetExitCodeProcess(saver.process, &code);
    return code;
}

void EndSaver(SaverProcess& saver) {
    if (saver.process == nullptr) {
        return;
    }
    if (WaitForSingleObject(saver.process, 0) != WAIT_OBJECT_0) {
        TerminateProcess(saver.process, 1);
        WaitForSingleObject(saver.process, 10000);
    }
    CloseHandle(saver.process);
    saver = {};
}

HWND WaitForWindow(const char* className, const char* name, HWND parent) {
    HWND window = nullptr;
    const bool shown = PumpUntil([&] {
        window = FindWindowExA(parent, nullptr, className, name);
        return window != nullptr && IsWindowVisible(window);
    });
    return shown ? window : nullptr;
}

HWND FindSaverWindow(HWND parent) {
    return FindWindowExA(parent, nullptr, kSaverClass, kSaverWindowName);
}

HWND WaitForSaverWindow(HWND parent) {
    return WaitForWindow(kSaverClass, kSaverWindowName, parent);
}

namespace {

struct WindowCount {
    DWORD processId;
    int count;
};

BOOL CALLBACK CountIfOwned(HWND window, LPARAM context) {
    auto* windows = reinterpret_cast<WindowCount*>(context);
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    if (owner == windows->processId) {
        ++windows->count;
    }
    return TRUE;
}

DWORD RunFlagProbe(const char* argument) {
    SaverProcess probe =
        StartProgram("\"" + ProgramFolder() + "running_flag_probe.exe\" " + argument);
    const DWORD code = WaitForExit(probe);
    EndSaver(probe);
    return code;
}

} // namespace

bool ScreenSaverRunning() {
    return RunFlagProbe("") == 1;
}

void ClearScreenSaverRunning() {
    EXPECT_EQ(0u, RunFlagProbe("clear"));
}

std::string MessageBoxText(HWND box) {
    char text[512] = {};
    GetDlgItemTextA(box, 0xFFFF, text, sizeof(text));
    return text;
}

int CountWindowsOf(DWORD processId) {
    WindowCount windows = {processId, 0};
    EnumWindows(CountIfOwned, reinterpret_cast<LPARAM>(&windows));
    return windows.count;
}

} // namespace test
