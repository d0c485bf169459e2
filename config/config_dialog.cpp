#include "config/config_dialog.h"

#include "host/globals.h"
#include "resources/resource_ids.h"

namespace {

// OK copies the box into the setting and stores it; Cancel, Esc and the close box store nothing.
void OnCommand(HWND dialog, WORD id) {
    if (id == IDOK) {
        g_state->rotate = IsDlgButtonChecked(dialog, IDC_ROTATE) == BST_CHECKED ? 1 : 0;
        g_state->WriteSettings();
    }
    if (id == IDOK || id == IDCANCEL) {
        EndDialog(dialog, id);
    }
}

} // namespace

INT_PTR CALLBACK ConfigDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
    if (message == WM_INITDIALOG) {
        // The stored value goes to the box as it is; the platform decides how it shows.
        CheckDlgButton(dialog, IDC_ROTATE, g_state->rotate);
        return TRUE;
    }
    if (message == WM_COMMAND) {
        OnCommand(dialog, LOWORD(wParam));
    }
    return FALSE;
}
