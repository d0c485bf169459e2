#pragma once
// Program-wide values set by WinMain and read by the saver window, the render run and the dialog.

#include <windows.h>

#include "host/command_line.h"
#include "host/saver_state.h"

extern SaverMode g_mode;
extern HINSTANCE g_instance;
extern SaverState* g_state;
