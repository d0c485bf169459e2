// Draws the figure's motion with the saver's own scene and frame steps and writes each picture as
// a binary PPM file, FOLDER/frame-000.ppm on: make_animation FOLDER. tools/animation joins them
// into docs/saver.gif. Needs an X display with GLX, as the saver does.

#include "render/run_saver.h"
#include "render/scene.h"
#include "tools/write_file.h"

#include <cstdio>
#include <string>
#include <vector>

namespace {

using Bytes = std::vector<unsigned char>;

// 4:3 and as large as keeps docs/saver.gif under a megabyte.
constexpr int kWidth = 640;
constexpr int kHeight = 480;
// The angles come back to where they started after this many frames; every kStride-th frame of
// one period is a picture, so the loop has no jump.
constexpr int kPeriod = 2880;
constexpr int kStride = 16;
// The Rotate setting's default; the picture does not depend on it.
constexpr int kRotate = 1;

// A hidden window whose context has the pixel format the saver asks for, made current.
bool MakeContext(int width, int height) {
    WNDCLASSA windowClass = {};
    windowClass.style = CS_OWNDC;
    windowClass.lpfnWndProc = DefWindowProcA;
    windowClass.hInstance = GetModuleHandleA(nullptr);
    windowClass.lpszClassName = "MoskelAnimation";
    RegisterClassA(&windowClass);
    const HWND window = CreateWindowExA(0, windowClass.lpszClassName, "", WS_POPUP, 0, 0, width,
                                        height, nullptr, nullptr, windowClass.hInstance, nullptr);
    const HDC dc = window != nullptr ? GetDC(window) : nullptr;
    const int format = dc != nullptr ? ChoosePixelFormat(dc, &g_pixelFormat) : 0;
    if (format == 0 || !SetPixelFormat(dc, format, &g_pixelFormat)) {
        return false;
    }
    const HGLRC context = wglCreateContext(dc);
    return context != nullptr && wglMakeCurrent(dc, context);
}

// The back buffer as a binary PPM file: red, green, blue bytes, top row first. GL reads the
// bottom row first.
Bytes PpmOfBackBuffer(int width, int height) {
    const auto rowSize = static_cast<std::ptrdiff_t>(3 * width);
    Bytes bottomUp(static_cast<std::size_t>(rowSize * height));
    glReadBuffer(GL_BACK);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(0, 0, width, height, GL_RGB, GL_UNSIGNED_BYTE, bottomUp.data());
    const std::string header =
        "P6\n" + std::to_string(width) + " " + std::to_string(height) + "\n255\n";
    Bytes file(header.begin(), header.end());
    for (auto rowEnd = bottomUp.end(); rowEnd != bottomUp.begin(); rowEnd -= rowSize) {
        file.insert(file.end(), rowEnd - rowSize, rowEnd);
    }
    return file;
}

// Numbered so that the pictures sort in the order they were drawn.
std::string PictureName(const std::string& folder, int index) {
    char name[32];
    std::snprintf(name, sizeof(name), "/frame-%03d.ppm", index);
    return folder + name;
}

// Steps the angles through one period as the frame loop does, writing every kStride-th frame.
bool DrawPeriod(const std::string& folder, int width, int height) {
    InitScene(width, height);
    for (int frame = 1; frame <= kPeriod; ++frame) {
        AdvanceAngles();
        if (frame % kStride == 0) {
            DrawScene(kRotate);
            if (!WriteFile(PictureName(folder, frame / kStride - 1),
                           PpmOfBackBuffer(width, height))) {
                return false;
            }
        }
        WrapAngles();
    }
    return true;
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: make_animation FOLDER\n");
        return 2;
    }
    if (!MakeContext(kWidth, kHeight)) {
        std::fprintf(stderr, "make_animation: no OpenGL context\n");
        return 1;
    }
    return DrawPeriod(argv[1], kWidth, kHeight) ? 0 : 1;
}
