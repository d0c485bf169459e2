#include "host/globals.h"

constinit SaverMode g_mode = SaverMode::None;
constinit HINSTANCE g_instance = nullptr;
constinit SaverState* g_state = nullptr;
