// Draws the figure's motion with the saver's own scene and frame steps and writes it as an
// animated GIF: make_animation FILE. Needs an X display with GLX, as the saver does.

#include "render/run_saver.h"
#include "render/scene.h"
#include "tools/make_animation/gif.h"
#include "tools/write_file.h"

#include <algorithm>
#include <cstdio>

namespace {

// 4:3 and as large as keeps the file well under a megabyte.
constexpr int kWidth = 640;
constexpr int kHeight = 480;
// The angles come back to where they started after this many frames; every kStride-th frame of
// one period is a picture, so the loop has no jump.
constexpr int kPeriod = 2880;
constexpr int kStride = 16;
// About 17 pictures a second: the motion reads as smooth, and a period (48 s of a saver drawing
// 60 frames a second) plays in 10.8 s. Browsers slow delays under 2 down to 10.
constexpr int kDelayCentiseconds = 6;
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

// The back buffer as red, green, blue bytes, top row first.
Bytes ReadPicture(int width, int height) {
    const auto rowSize = static_cast<std::size_t>(3 * width);
    Bytes bottomUp(rowSize * static_cast<std::size_t>(height));
    glReadBuffer(GL_BACK);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(0, 0, width, height, GL_RGB, GL_UNSIGNED_BYTE, bottomUp.data());
    Bytes picture(bottomUp.size());
    for (std::size_t y = 0; y < static_cast<std::size_t>(height); ++y) {
        const auto source = bottomUp.begin() + static_cast<std::ptrdiff_t>(y * rowSize);
        std::copy(source, source + static_cast<std::ptrdiff_t>(rowSize),
                  picture.end() - static_cast<std::ptrdiff_t>((y + 1) * rowSize));
    }
    return picture;
}

// Steps the angles through one period as the frame loop does, keeping every kStride-th frame.
std::vector<Bytes> DrawPeriod(int width, int height) {
    InitScene(width, height);
    std::vector<Bytes> pictures;
    for (int frame = 1; frame <= kPeriod; ++frame) {
        AdvanceAngles();
        if (frame % kStride == 0) {
            DrawScene(kRotate);
            pictures.push_back(ReadPicture(width, height));
        }
        WrapAngles();
    }
    return pictures;
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: make_animation FILE\n");
        return 2;
    }
    if (!MakeContext(kWidth, kHeight)) {
        std::fprintf(stderr, "make_animation: no OpenGL context\n");
        return 1;
    }
    Animation animation;
    animation.width = kWidth;
    animation.height = kHeight;
    animation.delayCentiseconds = kDelayCentiseconds;
    animation.pictures = DrawPeriod(kWidth, kHeight);
    return WriteFile(argv[1], GifFile(animation)) ? 0 : 1;
}
