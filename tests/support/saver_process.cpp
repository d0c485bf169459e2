#include "tests/support/saver_process.h"

#include <gtest/gtest.h>

namespace test {

std::string ProgramFolder() {
    char path[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string folder(path);
    return folder.substr(0, folder.find_last_of('\\') + 1);
}

std::string ScrPath() {
    return ProgramFolder() + "moskel.scr";
}

SaverProcess StartSaver(const std::string& arguments) {
    std::string commandLine = ScrPath();
    commandLine.insert(commandLine.begin(), '"');
    commandLine.push_back('"');
    if (!arguments.empty()) {
        commandLine.push_back(' ');
        commandLine.append(arguments);
    }
    STARTUPINFOA startup = {};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION info = {};
    SaverProcess saver;
    if (!CreateProcessA(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                        &startup, &info)) {
        ADD_FAILURE() << "cannot start " << commandLine << ": error " << GetLastError();
        return saver;
    }
    CloseHandle(info.hThread);
    saver.process = info.hProcess;
    saver.id = info.dwProcessId;
    return saver;
}

DWORD WaitForExit(const SaverProcess& saver, DWORD timeoutMs) {
    if (WaitForSingleObject(saver.process, timeoutMs) != WAIT_OBJECT_0) {
        return STILL_ACTIVE;
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

HWND WaitForWindow(const char* className, const char* name, DWORD timeoutMs) {
    const DWORD start = GetTickCount();
    do {
        HWND window = FindWindowA(className, name);
        if (window != nullptr && IsWindowVisible(window)) {
            return window;
        }
        Sleep(20);
    } while (GetTickCount() - start < timeoutMs);
    return nullptr;
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

} // namespace

int CountWindowsOf(DWORD processId) {
    WindowCount windows = {processId, 0};
    EnumWindows(CountIfOwned, reinterpret_cast<LPARAM>(&windows));
    return windows.count;
}

} // namespace test
