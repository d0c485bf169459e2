// The least a program does to show a first frame the way the saver does: the same class style,
// full-screen popup, pixel format request and context, then one frame cleared to a colour that a
// watcher tells apart from the black screen, with one lit, depth-tested triangle on it. It then
// waits for messages until its window closes: the floor under the saver's start-up and memory.

#include <windows.h>

#include <GL/gl.h>

namespace {

// The saver's request: double-buffered RGBA for a window, 16 colour bits with one alpha bit,
// 16 depth bits.
PIXELFORMATDESCRIPTOR RequestedFormat() {
    PIXELFORMATDESCRIPTOR format = {};
    format.nSize = sizeof(format);
    format.nVersion = 1;
    format.dwFlags = PFD_DRAW_TO_WINDOW | PFD_SUPPORT_OPENGL | PFD_DOUBLEBUFFER;
    format.iPixelType = PFD_TYPE_RGBA;
    format.cColorBits = 16;
    format.cAlphaBits = 1;
    format.cDepthBits = 16;
    format.iLayerType = PFD_MAIN_PLANE;
    return format;
}

// Lit, depth-tested triangles make llvmpipe generate code at the first draw: a platform cost that
// any such program pays, so the floor pays it too. The default light 0 shines along the view.
void DrawLitTriangle() {
    glEnable(GL_LIGHTING);
    glEnable(GL_LIGHT0);
    glEnable(GL_DEPTH_TEST);
    glBegin(GL_TRIANGLES);
    glNormal3f(0, 0, 1);
    glVertex3f(-0.5f, -0.5f, 0);
    glVertex3f(0.5f, -0.5f, 0);
    glVertex3f(0, 0.5f, 0);
    glEnd();
}

LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_DESTROY) {
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

} // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int showCommand) {
    WNDCLASSA windowClass = {};
    windowClass.style = CS_OWNDC | CS_HREDRAW | CS_VREDRAW;
    windowClass.lpfnWndProc = WindowProc;
    windowClass.hInstance = instance;
    windowClass.lpszClassName = "MoskelMinimal";
    RegisterClassA(&windowClass);
    const HWND window = CreateWindowExA(
        0, "MoskelMinimal", "Minimal", WS_POPUP | WS_VISIBLE, 0, 0, GetSystemMetrics(SM_CXSCREEN),
        GetSystemMetrics(SM_CYSCREEN), nullptr, nullptr, instance, nullptr);
    const HDC deviceContext = GetDC(window);
    PIXELFORMATDESCRIPTOR format = RequestedFormat();
    const int index = ChoosePixelFormat(deviceContext, &format);
    SetPixelFormat(deviceContext, index, &format);
    const HGLRC renderingContext = wglCreateContext(deviceContext);
    wglMakeCurrent(deviceContext, renderingContext);
    ShowWindow(window, showCommand);
    glClearColor(0.2f, 0.4f, 0.6f, 1);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    DrawLitTriangle();
    SwapBuffers(deviceContext);

    MSG message = {};
    while (GetMessageA(&message, nullptr, 0, 0) > 0) {
        DispatchMessageA(&message);
    }
    wglMakeCurrent(nullptr, nullptr);
    ReleaseDC(window, deviceContext);
    wglDeleteContext(renderingContext);
    return 0;
}
