// The parent of a preview in the ARM64 lane: a visible top-level window that prints its handle in
// decimal and goes when its standard input ends, so the lane decides how long the parent lives.
// When the pointer moves over it, it prints where Wine has the pointer, so that the lane sees when
// Wine agrees with the X server. Linked like the saver, without a runtime.

#include <windows.h>

namespace {

// Writes the numbers in decimal, separated by spaces, as one line.
void PrintLine(const ULONG_PTR* numbers, int count) {
    char text[64];
    char* digit = text + sizeof(text);
    *--digit = '\n';
    for (int i = count - 1; i >= 0; --i) {
        ULONG_PTR value = numbers[i];
        do {
            *--digit = static_cast<char>('0' + value % 10);
            value /= 10;
        } while (value != 0);
        if (i > 0) {
            *--digit = ' ';
        }
    }
    DWORD written = 0;
    WriteFile(GetStdHandle(STD_OUTPUT_HANDLE), digit,
              static_cast<DWORD>(text + sizeof(text) - digit), &written, nullptr);
}

LRESULT CALLBACK ParentProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_DESTROY) {
        PostQuitMessage(0);
        return 0;
    }
    if (message == WM_MOUSEMOVE) {
        POINT pointer = {};
        GetCursorPos(&pointer);
        const ULONG_PTR place[] = {static_cast<ULONG_PTR>(pointer.x),
                                   static_cast<ULONG_PTR>(pointer.y)};
        PrintLine(place, 2);
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

DWORD WINAPI CloseAtEndOfInput(LPVOID window) {
    char buffer[64];
    DWORD got = 0;
    while (ReadFile(GetStdHandle(STD_INPUT_HANDLE), buffer, sizeof(buffer), &got, nullptr) &&
           got > 0) {
    }
    PostMessageA(static_cast<HWND>(window), WM_CLOSE, 0, 0);
    return 0;
}

} // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    WNDCLASSA windowClass = {};
    windowClass.lpfnWndProc = ParentProc;
    windowClass.hInstance = instance;
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    windowClass.lpszClassName = "PreviewParent";
    RegisterClassA(&windowClass);
    const HWND window = CreateWindowExA(0, "PreviewParent", "PreviewParent", WS_POPUP | WS_VISIBLE,
                                        300, 200, 200, 150, nullptr, nullptr, instance, nullptr);
    const ULONG_PTR handle[] = {reinterpret_cast<ULONG_PTR>(window)};
    PrintLine(handle, 1);
    CreateThread(nullptr, 0, CloseAtEndOfInput, window, 0, nullptr);
    // Sent messages (the child's creation notifies the parent) are handled while peeking: the
    // saver's CreateWindowExA waits for them.
    MSG message = {};
    while (message.message != WM_QUIT) {
        if (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
            DispatchMessageA(&message);
        } else {
            Sleep(10);
        }
    }
    return 0;
}
