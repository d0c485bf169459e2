#include "host/globals.h"

SaverMode g_mode = SaverMode::None;
HINSTANCE g_instance = nullptr;
SaverState* g_state = nullptr;
