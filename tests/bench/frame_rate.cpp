// Frames per second of the saver's frame at full screen: the same pixel format, scene and per-frame
// steps as a /s run, timed over a fixed number of frames. Prints a figure; asserts nothing.
//   wine build/i686/frame_rate.exe [frames]

#include "host/globals.h"
#include "render/run_saver.h"
#include "render/scene.h"

#include <cstdio>
#include <cstdlib>

int main(int argc, char** argv) {
    const int frames = argc > 1 ? std::atoi(argv[1]) : 2000;
    const int width = GetSystemMetrics(SM_CXSCREEN);
    const int height = GetSystemMetrics(SM_CYSCREEN);
    const HWND window = CreateWindowExA(0, "STATIC", "frame rate", WS_POPUP | WS_VISIBLE, 0, 0,
                                        width, height, nullptr, nullptr, nullptr, nullptr);
    const HDC deviceContext = GetDC(window);
    const int format = ChoosePixelFormat(deviceContext, &g_pixelFormat);
    if (format == 0 || !SetPixelFormat(deviceContext, format, &g_pixelFormat)) {
        std::printf("no pixel format\n");
        return 1;
    }
    const HGLRC renderingContext = wglCreateContext(deviceContext);
    wglMakeCurrent(deviceContext, renderingContext);
    InitScene(width, height);

    LARGE_INTEGER frequency = {};
    LARGE_INTEGER start = {};
    LARGE_INTEGER end = {};
    QueryPerformanceFrequency(&frequency);
    QueryPerformanceCounter(&start);
    for (int frame = 0; frame < frames; ++frame) {
        MSG message;
        while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
            DispatchMessageA(&message);
        }
        AdvanceAngles();
        DrawScene(1);
        WrapAngles();
        SwapBuffers(deviceContext);
    }
    QueryPerformanceCounter(&end);
    const double seconds = double(end.QuadPart - start.QuadPart) / double(frequency.QuadPart);
    std::printf("%d frames at %d x %d in %.2f s: %.1f frames per second (%zu-bit)\n", frames, width,
                height, seconds, frames / seconds, sizeof(void*) * 8);

    wglMakeCurrent(nullptr, nullptr);
    wglDeleteContext(renderingContext);
    ReleaseDC(window, deviceContext);
    DestroyWindow(window);
    return 0;
}
