// Program entry: parse the command line, load the settings, run the one action the mode asks for.

#include <windows.h>

#include "config/config_dialog.h"
#include "host/command_line.h"
#include "host/globals.h"
#include "host/password.h"
#include "render/run_saver.h"
#include "resources/resource_ids.h"

namespace {

HWND ParentOf(const CommandLine& line) {
    if (line.ownerIsForeground) {
        return GetForegroundWindow();
    }
    // The number is the handle's value; on 64-bit Windows handles fit in 32 bits, sign-extended.
    return reinterpret_cast<HWND>(static_cast<INT_PTR>(line.parent));
}

} // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int showCommand) {
    g_instance = instance;
    const CommandLine line = ParseCommandLine(GetCommandLineA());
    const HWND parent = ParentOf(line);
    g_mode = line.mode;

    // Lives exactly as long as the action; a local object needs no heap, so the saver carries no
    // allocator that could throw.
    SaverState state;
    g_state = &state;
    g_state->ReadCommonSettings();
    g_state->ReadSettings();

    if (g_mode == SaverMode::ChangePassword) {
        ChangePassword(parent);
    }
    if (g_mode == SaverMode::Config) {
        DialogBoxParamA(g_instance, MAKEINTRESOURCEA(IDD_CONFIG), parent, ConfigDialogProc, 0);
    }
    if (g_mode == SaverMode::Saver || g_mode == SaverMode::Preview) {
        RunSaver(parent, showCommand);
    }

    g_state = nullptr;
    return 0;
}
