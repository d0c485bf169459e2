// Frames per second of the saver's own frame against two baselines in the same window, pixel
// format and context: a bare clear and swap (the floor of this pipeline), and the same picture from
// vertex buffers, grouped by material (the fastest way this GL offers) and in the saver's own
// material runs. At full screen and in a preview-sized child window. Prints "key value" lines.
//   frame_rate.exe [seconds of drawing for each window]

#include "bench/buffer_figure.h"
#include "bench/clock.h"
#include "host/globals.h"
#include "render/run_saver.h"
#include "render/scene.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <vector>

namespace {

constexpr const char* kClassName = "MoskelFrameRate";
constexpr int kPreviewWidth = 152;
constexpr int kPreviewHeight = 112;

struct Surface {
    HWND top;    // the full-screen window, or the stand-in for the settings' preview window
    HWND window; // the one drawn into
    HDC deviceContext;
    HGLRC renderingContext;
};

// The saver's request, pixel format and context; a preview is a child as large as its parent.
Surface OpenSurface(int width, int height, bool preview) {
    Surface surface = {};
    surface.top = CreateWindowExA(0, kClassName, "frame rate", WS_POPUP | WS_VISIBLE, 0, 0, width,
                                  height, nullptr, nullptr, nullptr, nullptr);
    surface.window = preview
                         ? CreateWindowExA(0, kClassName, "preview", WS_CHILD | WS_VISIBLE, 0, 0,
                                           width, height, surface.top, nullptr, nullptr, nullptr)
                         : surface.top;
    surface.deviceContext = GetDC(surface.window);
    const int format = ChoosePixelFormat(surface.deviceContext, &g_pixelFormat);
    if (format == 0 || !SetPixelFormat(surface.deviceContext, format, &g_pixelFormat)) {
        return surface;
    }
    surface.renderingContext = wglCreateContext(surface.deviceContext);
    wglMakeCurrent(surface.deviceContext, surface.renderingContext);
    return surface;
}

void CloseSurface(const Surface& surface) {
    wglMakeCurrent(nullptr, nullptr);
    wglDeleteContext(surface.renderingContext);
    ReleaseDC(surface.window, surface.deviceContext);
    DestroyWindow(surface.top);
}

void PrintPixelFormat(HDC deviceContext) {
    PIXELFORMATDESCRIPTOR chosen = {};
    DescribePixelFormat(deviceContext, GetPixelFormat(deviceContext), sizeof(chosen), &chosen);
    std::printf("pixel_format %d-bit colour, %d-bit depth\n", chosen.cColorBits, chosen.cDepthBits);
}

void PumpMessages() {
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
}

void ClearOnly() {
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
}

void SaverFrame() {
    AdvanceAngles();
    DrawScene(1);
    WrapAngles();
}

void BufferFrameInRuns() {
    AdvanceAngles();
    DrawBufferFigure(BatchOrder::SaverRuns);
    WrapAngles();
}

void BufferFrame() {
    AdvanceAngles();
    DrawBufferFigure(BatchOrder::ByMaterial);
    WrapAngles();
}

struct Way {
    const char* name;
    void (*draw)();
};

constexpr Way kWays[] = {{"saver", SaverFrame},
                         {"clear", ClearOnly},
                         {"buffers", BufferFrame},
                         {"buffers_in_runs", BufferFrameInRuns}};

struct Tally {
    double ms = 0;
    int frames = 0;
};

// The ways take turns frame by frame, so that load from elsewhere on the machine falls on all of
// them alike; each frame is timed from the message check to the return of the swap.
std::vector<Tally> TakeTurns(HDC deviceContext, double seconds) {
    std::vector<Tally> tallies(std::size(kWays));
    const double start = NowMs();
    while (NowMs() - start < seconds * 1000) {
        for (std::size_t i = 0; i < std::size(kWays); ++i) {
            const double frameStart = NowMs();
            PumpMessages();
            kWays[i].draw();
            SwapBuffers(deviceContext);
            tallies[i].ms += NowMs() - frameStart;
            ++tallies[i].frames;
        }
    }
    return tallies;
}

std::vector<GLubyte> BackBuffer(int width, int height) {
    std::vector<GLubyte> pixels(std::size_t(width) * height * 4);
    glReadPixels(0, 0, width, height, GL_RGBA, GL_UNSIGNED_BYTE, pixels.data());
    return pixels;
}

// The saver and a way from buffers at a few angles: a baseline counts only if it draws what the
// saver draws.
int PixelsThatDiffer(int width, int height, BatchOrder order) {
    constexpr GLfloat kAngles[][3] = {
        {0.25f, 0.5f, 0.125f}, {30.25f, 100.5f, 200.125f}, {300, 250.5f, 45.375f}};
    int differing = 0;
    for (const auto& angles : kAngles) {
        g_angleX = angles[0];
        g_angleY = angles[1];
        g_angleZ = angles[2];
        DrawScene(1);
        const std::vector<GLubyte> saver = BackBuffer(width, height);
        DrawBufferFigure(order);
        const std::vector<GLubyte> buffers = BackBuffer(width, height);
        for (std::size_t i = 0; i < saver.size(); i += 4) {
            differing += !std::equal(&saver[i], &saver[i] + 3, &buffers[i]);
        }
    }
    g_angleX = g_angleY = g_angleZ = 0;
    return differing;
}

bool MeasureSurface(const char* label, int width, int height, bool preview, double seconds) {
    const Surface surface = OpenSurface(width, height, preview);
    if (surface.renderingContext == nullptr) {
        std::printf("error no pixel format or context for the %s window\n", label);
        return false;
    }
    InitScene(width, height);
    if (!MakeBufferFigure()) {
        std::printf("error no vertex buffer objects in this GL\n");
        CloseSurface(surface);
        return false;
    }
    if (!preview) {
        std::printf("renderer %s\n", glGetString(GL_RENDERER));
        std::printf("version %s\n", glGetString(GL_VERSION));
        PrintPixelFormat(surface.deviceContext);
    }
    std::printf("%s.size %dx%d\n", label, width, height);
    std::printf("%s.buffers.differing_pixels %d\n", label,
                PixelsThatDiffer(width, height, BatchOrder::ByMaterial));
    std::printf("%s.buffers_in_runs.differing_pixels %d\n", label,
                PixelsThatDiffer(width, height, BatchOrder::SaverRuns));
    TakeTurns(surface.deviceContext, seconds / 10); // warm-up
    const std::vector<Tally> tallies = TakeTurns(surface.deviceContext, seconds);
    for (std::size_t i = 0; i < std::size(kWays); ++i) {
        std::printf("%s.%s %.1f\n", label, kWays[i].name, 1000 * tallies[i].frames / tallies[i].ms);
    }
    CloseSurface(surface);
    return true;
}

} // namespace

int main(int argc, char** argv) {
    const double seconds = argc > 1 ? std::atof(argv[1]) : 6.0;
    WNDCLASSA windowClass = {};
    windowClass.style = CS_OWNDC | CS_HREDRAW | CS_VREDRAW;
    windowClass.lpfnWndProc = DefWindowProcA;
    windowClass.lpszClassName = kClassName;
    RegisterClassA(&windowClass);

    const bool measured = MeasureSurface("full", GetSystemMetrics(SM_CXSCREEN),
                                         GetSystemMetrics(SM_CYSCREEN), false, seconds) &&
                          MeasureSurface("preview", kPreviewWidth, kPreviewHeight, true, seconds);
    return measured ? 0 : 1;
}
