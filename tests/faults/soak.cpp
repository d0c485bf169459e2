// A long run of a full-screen saver with the cursor moving within the mouse threshold, watched
// from this program once a second: the saver's working set and committed memory, its handles, and
// its GDI and USER objects. Prints the first, last and largest of each; a figure that grows, or a
// saver that ends or stops drawing, is a fault (exit code 1). Run by tools/soak.
//   soak.exe MINUTES

#include "tests/faults/running_saver.h"
#include "tests/support/screen.h"

#include <psapi.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

struct Figure {
    const char* name;
    std::vector<std::uint64_t> samples;
    std::string notCounted; // why the platform gives no number that means anything
};

enum { kWorkingSet, kCommitted, kHandles, kGdiObjects, kUserObjects, kFigureCount };

void Record(Figure& figure, std::uint64_t value, const char* notCounted) {
    if (!figure.notCounted.empty()) {
        return;
    }
    if (notCounted != nullptr) {
        figure.notCounted = notCounted;
        figure.samples.clear();
        return;
    }
    figure.samples.push_back(value);
}

void RecordGuiObjects(Figure& figure, HANDLE process, DWORD kind) {
    SetLastError(ERROR_SUCCESS);
    const DWORD objects = GetGuiResources(process, kind);
    const char* notCounted = nullptr;
    if (objects == 0) {
        notCounted = GetLastError() == ERROR_CALL_NOT_IMPLEMENTED
                         ? "GetGuiResources is not implemented by this platform"
                         : "GetGuiResources gives 0 for a process with a window";
    }
    Record(figure, objects, notCounted);
}

void Sample(HANDLE process, Figure (&figures)[kFigureCount]) {
    PROCESS_MEMORY_COUNTERS memory = {};
    memory.cb = sizeof(memory);
    const char* noMemory = GetProcessMemoryInfo(process, &memory, sizeof(memory))
                               ? nullptr
                               : "GetProcessMemoryInfo fails";
    Record(figures[kWorkingSet], memory.WorkingSetSize / 1024, noMemory);
    Record(figures[kCommitted], memory.PagefileUsage / 1024, noMemory);
    DWORD handles = 0;
    const BOOL counted = GetProcessHandleCount(process, &handles);
    Record(figures[kHandles], handles,
           !counted       ? "GetProcessHandleCount fails"
           : handles == 0 ? "GetProcessHandleCount gives 0 for a running process"
                          : nullptr);
    RecordGuiObjects(figures[kGdiObjects], process, GR_GDIOBJECTS);
    RecordGuiObjects(figures[kUserObjects], process, GR_USEROBJECTS);
}

// Grows: the figure keeps setting new highs through the second half of the run. A leak climbs
// again and again; the 32-bit saver under emulation rises by a few pages within its first minute
// or so and then stays level, so one late rise is not growth.
bool Grows(const std::vector<std::uint64_t>& samples) {
    const size_t half = samples.size() / 2;
    std::uint64_t high = *std::max_element(samples.begin(), samples.begin() + half);
    int newHighs = 0;
    for (size_t i = half; i < samples.size(); ++i) {
        if (samples[i] > high) {
            high = samples[i];
            ++newHighs;
        }
    }
    return newHighs >= 2;
}

// One second of a user's hand on the mouse: twenty small moves within reach.
void MoveForASecond(LONG reach, unsigned& step) {
    for (int move = 0; move < 20; ++move) {
        const POINT to = running::WalkWithin(reach, step++);
        SetCursorPos(to.x, to.y);
        Sleep(50);
    }
}

} // namespace

int main(int argc, char** argv) {
    const unsigned minutes = argc > 1 ? std::strtoul(argv[1], nullptr, 10) : 2;
    const LONG reach = running::Reach();
    if (minutes == 0 || reach < 1 || !running::CentreCursor()) {
        std::printf("soak: needs MINUTES, room within the mouse threshold and a cursor to move\n");
        return 1;
    }
    test::SaverProcess saver;
    const HWND window = running::StartDrawing(saver);
    if (window == nullptr) {
        std::printf("soak: the saver does not draw\n");
        return 1;
    }
    std::printf("soak of the %zu-bit saver: %u min with the cursor moving within %ld pixels of its"
                " start, one sample a second\n",
                sizeof(void*) * 8, minutes, reach);
    std::fflush(stdout);
    Figure figures[kFigureCount] = {{"working set (KB)", {}, {}},
                                    {"committed memory (KB)", {}, {}},
                                    {"handles", {}, {}},
                                    {"GDI objects", {}, {}},
                                    {"USER objects", {}, {}}};
    std::vector<std::uint32_t> lastPicture = test::CaptureScreen(test::CentrePatch());
    unsigned changes = 0;
    unsigned seconds = 0;
    unsigned step = 0;
    bool running = true;
    while (running && seconds < minutes * 60) {
        MoveForASecond(reach, step);
        running = test::WaitForExit(saver, 0) == STILL_ACTIVE;
        if (running) {
            Sample(saver.process, figures);
        }
        std::vector<std::uint32_t> picture = test::CaptureScreen(test::CentrePatch());
        changes += picture != lastPicture ? 1 : 0;
        lastPicture = std::move(picture);
        if (++seconds % 60 == 0 && !figures[kWorkingSet].samples.empty()) {
            std::printf("minute %u: working set %llu KB, committed %llu KB, picture changed at %u"
                        " of %u samples\n",
                        seconds / 60, figures[kWorkingSet].samples.back(),
                        figures[kCommitted].samples.back(), changes, seconds);
            std::fflush(stdout);
        }
    }
    bool grew = false;
    std::printf("%-24s %10s %10s %10s\n", "figure", "first", "last", "largest");
    for (const Figure& figure : figures) {
        if (!figure.notCounted.empty()) {
            std::printf("%-24s not counted: %s\n", figure.name, figure.notCounted.c_str());
            continue;
        }
        if (figure.samples.empty()) {
            std::printf("%-24s no samples\n", figure.name);
            continue;
        }
        const bool grows = Grows(figure.samples);
        grew = grew || grows;
        std::printf("%-24s %10llu %10llu %10llu  %s\n", figure.name, figure.samples.front(),
                    figure.samples.back(),
                    *std::max_element(figure.samples.begin(), figure.samples.end()),
                    grows ? "GROWS" : "steady");
    }
    std::printf("picture: changed at %u of %u samples\n", changes, seconds);
    const bool ok = running::EndWithAKey(saver, running) && !grew;
    std::printf("soak: %s\n", ok ? "ok" : "FAULT");
    return ok ? 0 : 1;
}
