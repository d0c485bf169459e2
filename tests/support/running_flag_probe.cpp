// Reads the platform's screen-saver-running flag in a process of its own and returns it as the
// exit code; with "clear" it clears the flag first. Wine caches system parameters in each process
// once read, so a test that looks more than once must look from a fresh process every time.

#include <windows.h>

#include <cstring>

int main(int argc, char** argv) {
    if (argc > 1 && std::strcmp(argv[1], "clear") == 0) {
        SystemParametersInfoA(SPI_SETSCREENSAVERRUNNING, FALSE, nullptr, 0);
    }
    BOOL running = FALSE;
    SystemParametersInfoA(114 /* SPI_GETSCREENSAVERRUNNING */, 0, &running, 0);
    return running ? 1 : 0;
}
