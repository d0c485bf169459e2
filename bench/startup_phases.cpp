// The saver's start-up to its first frame, phase by phase, made of the product's own steps in the
// order RunSaver takes them: from the launch to the program's entry, the settings, the window, the
// pixel format, the context, InitScene, showing the window, the first frame's drawing and swap.
// Prints "phase.NAME milliseconds" lines, then draws like the saver until its window closes. A
// watcher that starts it sets MOSKEL_LAUNCH_TIME (a FILETIME, in decimal) just before it does;
// without it, the process's creation time stands for the launch. It is linked as the saver is,
// without the C runtime and with the saver's entry point, so that its start is the saver's.

#include "bench/clock.h"
#include "host/globals.h"
#include "host/saver_window.h"
#include "render/run_saver.h"
#include "render/scene.h"

#include <cstdint>

namespace {

std::uint64_t FileTimeValue(const FILETIME& time) {
    return (std::uint64_t(time.dwHighDateTime) << 32) | time.dwLowDateTime;
}

std::uint64_t LaunchTime() {
    char given[32] = {};
    const DWORD length = GetEnvironmentVariableA("MOSKEL_LAUNCH_TIME", given, sizeof(given));
    if (length == 0 || length >= sizeof(given)) {
        FILETIME created = {};
        FILETIME unused = {};
        GetProcessTimes(GetCurrentProcess(), &created, &unused, &unused, &unused);
        return FileTimeValue(created);
    }
    std::uint64_t launch = 0;
    for (const char* digit = given; *digit >= '0' && *digit <= '9'; ++digit) {
        launch = launch * 10 + std::uint64_t(*digit - '0');
    }
    return launch;
}

double MsSinceLaunch() {
    FILETIME now = {};
    GetSystemTimePreciseAsFileTime(&now);
    return double(FileTimeValue(now) - LaunchTime()) / 10000.0; // FILETIME counts 100 ns
}

// "phase.NAME ms" with two decimals, written straight to the standard output: there is no C
// runtime to format floating point.
void PrintPhase(const char* phase, double ms) {
    const auto hundredths = static_cast<unsigned>(ms * 100 + 0.5);
    char line[64];
    const int length =
        wsprintfA(line, "phase.%s %u.%02u\n", phase, hundredths / 100, hundredths % 100);
    DWORD written = 0;
    WriteFile(GetStdHandle(STD_OUTPUT_HANDLE), line, DWORD(length), &written, nullptr);
}

class PhaseClock {
  public:
    PhaseClock() : last_(NowMs()) {}
    void End(const char* phase) {
        const double now = NowMs();
        PrintPhase(phase, now - last_);
        last_ = now;
    }

  private:
    double last_;
};

void RunFrames(HDC deviceContext) {
    MSG message = {};
    for (;;) {
        if (!PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
            AdvanceAngles();
            DrawScene(1);
            WrapAngles();
            SwapBuffers(deviceContext);
        } else if (message.message == WM_QUIT) {
            return;
        } else {
            TranslateMessage(&message);
            DispatchMessageA(&message);
        }
    }
}

} // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    PrintPhase("process", MsSinceLaunch());
    PhaseClock clock;
    g_instance = instance;
    g_mode = SaverMode::Saver;
    SaverState state;
    g_state = &state;
    g_state->ReadCommonSettings();
    g_state->ReadSettings();
    clock.End("settings");

    WNDCLASSA windowClass = {};
    windowClass.style = CS_OWNDC | CS_HREDRAW | CS_VREDRAW;
    windowClass.lpfnWndProc = SaverWindowProc;
    windowClass.hInstance = g_instance;
    windowClass.lpszClassName = "OpenGL";
    RegisterClassA(&windowClass);
    const int width = GetSystemMetrics(SM_CXSCREEN);
    const int height = GetSystemMetrics(SM_CYSCREEN);
    g_saverWindow = CreateWindowExA(0, "OpenGL", "SaverWindow", WS_POPUP | WS_VISIBLE, 0, 0, width,
                                    height, nullptr, nullptr, g_instance, nullptr);
    UINT previouslyRunning = 0;
    SystemParametersInfoA(SPI_SCREENSAVERRUNNING, TRUE, &previouslyRunning, 0);
    clock.End("window");

    const HDC deviceContext = GetDC(g_saverWindow);
    const int format = ChoosePixelFormat(deviceContext, &g_pixelFormat);
    SetPixelFormat(deviceContext, format, &g_pixelFormat);
    DescribePixelFormat(deviceContext, format, sizeof(g_pixelFormat), &g_pixelFormat);
    clock.End("pixel_format");

    const HGLRC renderingContext = wglCreateContext(deviceContext);
    wglMakeCurrent(deviceContext, renderingContext);
    clock.End("context");
    InitScene(width, height);
    clock.End("init_scene");
    ShowWindow(g_saverWindow, SW_SHOW);
    clock.End("show");
    AdvanceAngles();
    DrawScene(1);
    WrapAngles();
    clock.End("first_draw");
    SwapBuffers(deviceContext);
    clock.End("first_swap");

    RunFrames(deviceContext);
    wglMakeCurrent(nullptr, nullptr);
    ReleaseDC(g_saverWindow, deviceContext);
    wglDeleteContext(renderingContext);
    SystemParametersInfoA(SPI_SCREENSAVERRUNNING, FALSE, &previouslyRunning, 0);
    g_state = nullptr;
    return 0;
}
