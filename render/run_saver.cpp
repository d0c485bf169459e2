#include "render/run_saver.h"

#include "host/globals.h"
#include "host/saver_window.h"
#include "render/scene.h"

constinit HWND g_saverWindow = nullptr;

// Double-buffered RGBA for a window, 16 colour bits with one alpha bit, 16 depth bits.
constinit PIXELFORMATDESCRIPTOR g_pixelFormat = {
    sizeof(PIXELFORMATDESCRIPTOR),
    1,
    PFD_DRAW_TO_WINDOW | PFD_SUPPORT_OPENGL | PFD_DOUBLEBUFFER,
    PFD_TYPE_RGBA,
    16,
    0,
    0,
    0,
    0,
    0,
    0, // red, green, blue bits and shifts: the platform chooses
    1,
    0, // alpha bits and shift
    0,
    0,
    0,
    0,
    0,  // no accumulation buffer
    16, // depth bits
    0,
    0, // no stencil, no auxiliary buffers
    PFD_MAIN_PLANE,
    0,
    0,
    0,
    0,
};

namespace {

constexpr const char* kClassName = "OpenGL";

// The box takes the activation from the full-screen window, whose watch would then close the run
// at once and the box with it, unread: the watch is suspended while the box is up, as it is while
// the platform asks for the password.
void ShowSetupFailure(const char* text) {
    g_state->SuspendInput();
    MessageBoxA(nullptr, text, "Error", MB_OK);
    g_state->ResumeInput();
}

// A preview lives as long as the display settings' preview window. When their process ends, the
// platform takes that window along and this one with it, but no WM_DESTROY comes: the run then
// ends here, and a set-up failure met on the way is not reported to a user who has gone.
bool PreviewWindowGone(HWND parent) {
    return g_mode == SaverMode::Preview && !IsWindow(parent);
}

// Tells the platform, for the length of a full-screen run, that a screen saver is running.
void SetScreenSaverRunning(BOOL running, UINT* previous) {
    SystemParametersInfoA(SPI_SCREENSAVERRUNNING, running, previous, 0);
}

ATOM RegisterSaverClass() {
    WNDCLASSA windowClass = {};
    windowClass.style = CS_OWNDC | CS_HREDRAW | CS_VREDRAW;
    windowClass.lpfnWndProc = SaverWindowProc;
    windowClass.hInstance = g_instance;
    // No icon, no cursor (the window procedure sets it), no background: only frames paint.
    windowClass.lpszClassName = kClassName;
    return RegisterClassA(&windowClass);
}

// Preview: a child as large as the preview window's whole rectangle. Saver: the primary screen.
HWND CreateSaverWindow(HWND parent, int* width, int* height) {
    DWORD style = WS_POPUP | WS_VISIBLE;
    if (g_mode == SaverMode::Preview) {
        RECT rect = {};
        GetWindowRect(parent, &rect);
        *width = rect.right - rect.left;
        *height = rect.bottom - rect.top;
        style = WS_CHILD | WS_VISIBLE;
    } else {
        *width = GetSystemMetrics(SM_CXSCREEN);
        *height = GetSystemMetrics(SM_CYSCREEN);
        parent = nullptr;
    }
    return CreateWindowExA(0, kClassName, "SaverWindow", style, 0, 0, *width, *height, parent,
                           nullptr, g_instance, nullptr);
}

void DrawFrame(HDC deviceContext) {
    AdvanceAngles();
    DrawScene(g_state->rotate != 0 ? 1 : 0);
    WrapAngles();
    SwapBuffers(deviceContext);
}

// One message per pass while any is waiting; a frame on every pass that finds the queue empty.
// The run ends with its window: a quit message that comes while the window is still there was
// posted by another program, or follows a WM_DESTROY that another program sent, and must not end
// a saver that only closes once the password has been given.
void RunFrameLoop(HWND parent, HDC deviceContext) {
    MSG message = {};
    bool done = false;
    while (!done) {
        if (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
            if (message.message == WM_QUIT) {
                done = !IsWindow(g_saverWindow);
            } else {
                TranslateMessage(&message);
                DispatchMessageA(&message);
            }
        } else if (PreviewWindowGone(parent)) {
            done = true;
        } else {
            DrawFrame(deviceContext);
        }
    }
}

} // namespace

// The steps are 2^-1, 2^-3 and 2^-2 degrees: every angle is an exact multiple of 1/8 in single
// precision, so each one reaches 360 exactly and the motion repeats every 2880 frames.
void AdvanceAngles() {
    g_angleY += 0.5f;
    g_angleZ += 0.125f;
    g_angleX += 0.25f;
}

void WrapAngles() {
    if (g_angleX >= 360.0f) {
        g_angleX = 0.0f;
    }
    if (g_angleY >= 360.0f) {
        g_angleY = 0.0f;
    }
    if (g_angleZ >= 360.0f) {
        g_angleZ = 0.0f;
    }
}

void RunSaver(HWND parent, int showCommand) {
    if (RegisterSaverClass() == 0) {
        ShowSetupFailure("RegisterClass() failed:  Cannot register window class.");
        return;
    }
    int width = 0;
    int height = 0;
    g_saverWindow = CreateSaverWindow(parent, &width, &height);
    if (g_saverWindow == nullptr) {
        return;
    }
    const bool fullScreen = g_mode == SaverMode::Saver;
    UINT previouslyRunning = 0;
    if (fullScreen) {
        SetScreenSaverRunning(TRUE, &previouslyRunning);
    }
    const HDC deviceContext = GetDC(g_saverWindow);
    const int format = ChoosePixelFormat(deviceContext, &g_pixelFormat);
    const char* failure = nullptr;
    if (format == 0) {
        failure = "ChoosePixelFormat() failed:  Cannot find a suitable pixel format.";
    } else if (!SetPixelFormat(deviceContext, format, &g_pixelFormat)) {
        failure = "SetPixelFormat() failed:  Cannot set format specified.";
    }
    if (failure != nullptr) {
        if (!PreviewWindowGone(parent)) {
            ShowSetupFailure(failure);
        }
        if (fullScreen) {
            SetScreenSaverRunning(FALSE, &previouslyRunning);
        }
        return;
    }
    DescribePixelFormat(deviceContext, format, sizeof(g_pixelFormat), &g_pixelFormat);
    const HGLRC renderingContext = wglCreateContext(deviceContext);
    wglMakeCurrent(deviceContext, renderingContext);
    InitScene(width, height);
    ShowWindow(g_saverWindow, showCommand);

    RunFrameLoop(parent, deviceContext);

    wglMakeCurrent(nullptr, nullptr);
    ReleaseDC(g_saverWindow, deviceContext);
    wglDeleteContext(renderingContext);
    if (fullScreen) {
        SetScreenSaverRunning(FALSE, &previouslyRunning);
    }
}
