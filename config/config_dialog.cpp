#include "config/config_dialog.h"

// Placeholder until the configuration dialog is built.
INT_PTR CALLBACK ConfigDialogProc(HWND, UINT, WPARAM, LPARAM) {
    return FALSE;
}
