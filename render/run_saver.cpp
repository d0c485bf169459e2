#include "render/run_saver.h"

// Placeholder until the render window is built.
void RunSaver(HWND, int) {}
