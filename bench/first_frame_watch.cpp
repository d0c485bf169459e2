// Starts programs and watches the screen until each shows its first frame: the time from the start
// to a frame on the screen, over several runs that alternate between the programs; and the peak
// working set of each, read from outside after it has drawn for a while.
//   first_frame_watch.exe RUNS SETTLE_MS LABEL COMMAND_LINE [LABEL COMMAND_LINE ...]
// Prints "first_frame.LABEL median min max" in milliseconds and "peak_working_set.LABEL bytes".
// The screen must be black before each start; a frame is any pixel of the centre that is not.

#include "bench/clock.h"

#include <psapi.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

constexpr int kAreaSide = 256;
constexpr DWORD kFrameTimeoutMs = 60000;
constexpr DWORD kExitTimeoutMs = 10000;

struct Program {
    std::string label;
    std::string commandLine;
    std::vector<double> firstFrameMs;
    SIZE_T peakWorkingSet = 0;
};

// Reads the centre of the screen through a DIB section kept for the whole watch.
class CentreProbe {
  public:
    CentreProbe() : screen_(GetDC(nullptr)), memory_(CreateCompatibleDC(screen_)) {
        BITMAPINFO info = {};
        info.bmiHeader.biSize = sizeof(info.bmiHeader);
        info.bmiHeader.biWidth = kAreaSide;
        info.bmiHeader.biHeight = kAreaSide;
        info.bmiHeader.biPlanes = 1;
        info.bmiHeader.biBitCount = 32;
        info.bmiHeader.biCompression = BI_RGB;
        void* bits = nullptr;
        bitmap_ = CreateDIBSection(screen_, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
        pixels_ = static_cast<const std::uint32_t*>(bits);
        SelectObject(memory_, bitmap_);
        left_ = (GetSystemMetrics(SM_CXSCREEN) - kAreaSide) / 2;
        top_ = (GetSystemMetrics(SM_CYSCREEN) - kAreaSide) / 2;
    }

    bool ShowsAnything() {
        BitBlt(memory_, 0, 0, kAreaSide, kAreaSide, screen_, left_, top_, SRCCOPY);
        GdiFlush();
        return std::any_of(pixels_, pixels_ + kAreaSide * kAreaSide,
                           [](std::uint32_t pixel) { return (pixel & 0x00FFFFFF) != 0; });
    }

  private:
    HDC screen_;
    HDC memory_;
    HBITMAP bitmap_ = nullptr;
    const std::uint32_t* pixels_ = nullptr;
    int left_ = 0;
    int top_ = 0;
};

bool WaitUntil(CentreProbe& probe, bool showing, HANDLE process, DWORD timeoutMs) {
    const double start = NowMs();
    while (probe.ShowsAnything() != showing) {
        if (NowMs() - start > timeoutMs ||
            (process != nullptr && WaitForSingleObject(process, 0) == WAIT_OBJECT_0)) {
            return false;
        }
        Sleep(1);
    }
    return true;
}

// Tells a program started here when it was started, for its own account of its start-up.
void PublishLaunchTime() {
    FILETIME now = {};
    GetSystemTimePreciseAsFileTime(&now);
    const std::uint64_t value = (std::uint64_t(now.dwHighDateTime) << 32) | now.dwLowDateTime;
    SetEnvironmentVariableA("MOSKEL_LAUNCH_TIME", std::to_string(value).c_str());
}

// A key ends a running saver, which takes a close only from itself; other programs take the close.
BOOL CALLBACK CloseIfOwnedBy(HWND window, LPARAM processId) {
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    if (owner == DWORD(processId)) {
        PostMessageA(window, WM_KEYDOWN, VK_SPACE, 0);
        PostMessageA(window, WM_CLOSE, 0, 0);
    }
    return TRUE;
}

void EndProgram(const PROCESS_INFORMATION& started) {
    EnumWindows(CloseIfOwnedBy, LPARAM(started.dwProcessId));
    if (WaitForSingleObject(started.hProcess, kExitTimeoutMs) != WAIT_OBJECT_0) {
        TerminateProcess(started.hProcess, 1);
        WaitForSingleObject(started.hProcess, kExitTimeoutMs);
    }
    CloseHandle(started.hThread);
    CloseHandle(started.hProcess);
}

// One start: the time to the first frame, and the peak working set after settleMs of drawing
// when settleMs is not 0.
bool WatchOnce(CentreProbe& probe, Program& program, DWORD settleMs) {
    if (!WaitUntil(probe, false, nullptr, kExitTimeoutMs)) {
        std::printf("error the screen is not black before %s starts\n", program.label.c_str());
        return false;
    }
    STARTUPINFOA startup = {};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION started = {};
    std::string commandLine = program.commandLine;
    PublishLaunchTime();
    const double start = NowMs();
    if (!CreateProcessA(nullptr, commandLine.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr,
                        &startup, &started)) {
        std::printf("error cannot start %s (%lu)\n", commandLine.c_str(), GetLastError());
        return false;
    }
    const bool shown = WaitUntil(probe, true, started.hProcess, kFrameTimeoutMs);
    program.firstFrameMs.push_back(NowMs() - start);
    if (shown && settleMs != 0) {
        Sleep(settleMs);
        PROCESS_MEMORY_COUNTERS counters = {};
        counters.cb = sizeof(counters);
        GetProcessMemoryInfo(started.hProcess, &counters, sizeof(counters));
        program.peakWorkingSet = counters.PeakWorkingSetSize;
    }
    EndProgram(started);
    if (!shown) {
        std::printf("error %s showed no frame\n", program.label.c_str());
    }
    return shown;
}

void PrintFigures(Program& program) {
    std::vector<double>& times = program.firstFrameMs;
    std::sort(times.begin(), times.end());
    std::printf("first_frame.%s %.1f %.1f %.1f\n", program.label.c_str(), times[times.size() / 2],
                times.front(), times.back());
    std::printf("peak_working_set.%s %zu\n", program.label.c_str(),
                std::size_t(program.peakWorkingSet));
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 5 || argc % 2 == 0) {
        std::printf("usage: first_frame_watch RUNS SETTLE_MS LABEL COMMAND_LINE ...\n");
        return 2;
    }
    const int runs = std::max(1, std::atoi(argv[1]));
    const DWORD settleMs = DWORD(std::atoi(argv[2]));
    std::vector<Program> programs;
    for (int i = 3; i + 1 < argc; i += 2) {
        programs.push_back({argv[i], argv[i + 1], {}, 0});
    }
    CentreProbe probe;
    for (int run = 0; run < runs; ++run) {
        for (Program& program : programs) {
            std::fflush(stdout);
            if (!WatchOnce(probe, program, run == runs - 1 ? settleMs : 0)) {
                return 1;
            }
        }
    }
    for (Program& program : programs) {
        PrintFigures(program);
    }
    return 0;
}
