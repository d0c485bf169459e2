// The ARM64 lane's Windows program, linked like the saver, without a runtime. Started without
// arguments it is the parent of a preview: a visible top-level window that prints its handle in
// decimal and goes when its standard input ends, so the lane decides how long the parent lives.
// When the pointer moves over it, it prints where Wine has the pointer, so that the lane sees when
// Wine agrees with the X server. With a word on its command line it looks at or prods a saver
// from inside the same Wine, and its exit code says whether it found what it looked for:
//   post-screensave     posts the platform's SC_SCREENSAVE to the saver's window
//   error-box           prints the text of the saver's visible "Error" box, the control IDs of its
//                       buttons, whether it shows an icon, and the screen-saver-running flag
//   press-ok            presses OK in that box
//   running-flag [clear]  prints the screen-saver-running flag, clearing it first when asked
// Wine keeps system parameters in each process once read, so each look is a process of its own.

#include <windows.h>

namespace {

void Write(const char* text, DWORD length) {
    DWORD written = 0;
    WriteFile(GetStdHandle(STD_OUTPUT_HANDLE), text, length, &written, nullptr);
}

void WriteText(const char* text) {
    Write(text, static_cast<DWORD>(lstrlenA(text)));
}

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
    Write(digit, static_cast<DWORD>(text + sizeof(text) - digit));
}

// "NAME NUMBER" as one line.
void PrintNamed(const char* name, ULONG_PTR value) {
    WriteText(name);
    WriteText(" ");
    PrintLine(&value, 1);
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

int RunParent(HINSTANCE instance) {
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

// The word at *line, which then points past it and the blanks after it; true when it is WORD.
bool TakeWord(const char** line, const char* word) {
    const char* p = *line;
    while (*word != '\0' && *p == *word) {
        ++p;
        ++word;
    }
    if (*word != '\0' || (*p != '\0' && *p != ' ')) {
        return false;
    }
    while (*p == ' ') {
        ++p;
    }
    *line = p;
    return true;
}

// The full-screen saver's window, by the class and caption the saver gives it.
HWND SaverWindow() {
    return FindWindowA("OpenGL", "SaverWindow");
}

// The saver's error box once it shows: a dialog may be found before it is visible.
HWND ErrorBox() {
    const HWND box = FindWindowA("#32770", "Error");
    return box != nullptr && IsWindowVisible(box) ? box : nullptr;
}

void PrintRunningFlag() {
    BOOL running = FALSE;
    SystemParametersInfoA(SPI_GETSCREENSAVERRUNNING, 0, &running, 0);
    PrintNamed("running", running ? 1 : 0);
}

bool IsClass(HWND window, const char* name) {
    char found[32] = {};
    GetClassNameA(window, found, sizeof(found));
    return lstrcmpiA(found, name) == 0;
}

// Each button's control ID on a line "button ID"; "icon 1" for an icon control that holds an
// icon. Wine keeps the icon control in every box and leaves it empty when there is no icon.
BOOL CALLBACK PrintControl(HWND control, LPARAM) {
    if (IsClass(control, "Button")) {
        PrintNamed("button", static_cast<ULONG_PTR>(GetDlgCtrlID(control)));
    } else if (IsClass(control, "Static") &&
               (GetWindowLongA(control, GWL_STYLE) & SS_TYPEMASK) == SS_ICON &&
               SendMessageA(control, STM_GETICON, 0, 0) != 0) {
        PrintNamed("icon", 1);
    }
    return TRUE;
}

int PrintErrorBox() {
    const HWND box = ErrorBox();
    if (box == nullptr) {
        return 1;
    }
    char text[256] = {};
    GetDlgItemTextA(box, 0xFFFF, text, sizeof(text));
    WriteText("text ");
    WriteText(text);
    WriteText("\n");
    EnumChildWindows(box, PrintControl, 0);
    PrintRunningFlag();
    return 0;
}

int PostTo(HWND window, UINT message, WPARAM wParam) {
    return window != nullptr && PostMessageA(window, message, wParam, 0) ? 0 : 1;
}

} // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR commandLine, int) {
    const char* line = commandLine;
    while (*line == ' ') {
        ++line;
    }
    if (*line == '\0') {
        return RunParent(instance);
    }
    if (TakeWord(&line, "post-screensave")) {
        return PostTo(SaverWindow(), WM_SYSCOMMAND, SC_SCREENSAVE);
    }
    if (TakeWord(&line, "error-box")) {
        return PrintErrorBox();
    }
    if (TakeWord(&line, "press-ok")) {
        return PostTo(ErrorBox(), WM_COMMAND, IDOK);
    }
    if (TakeWord(&line, "running-flag")) {
        if (TakeWord(&line, "clear")) {
            SystemParametersInfoA(SPI_SETSCREENSAVERRUNNING, FALSE, nullptr, 0);
        }
        PrintRunningFlag();
        return 0;
    }
    WriteText("unknown command\n");
    return 2;
}
