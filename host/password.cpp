#include "host/password.h"

namespace {

using VerifyScreenSavePwdFunction = BOOL(WINAPI*)(HWND window);
using PwdChangePasswordAFunction = DWORD(WINAPI*)(LPCSTR provider, HWND parent, DWORD reserved1,
                                                  DWORD reserved2);

// Loads a module from the system directory by its full path, never by its bare name: a bare name
// would also find a module of that name planted beside the saver or in the current directory.
HMODULE LoadSystemModule(const char* fileName) {
    char path[MAX_PATH] = {};
    const UINT length = GetSystemDirectoryA(path, MAX_PATH);
    if (length == 0 || length + 1 + lstrlenA(fileName) >= MAX_PATH) {
        return nullptr;
    }
    path[length] = '\\';
    lstrcpyA(path + length + 1, fileName);
    return LoadLibraryA(path);
}

bool IsNtFamily() {
    OSVERSIONINFOA version = {};
    version.dwOSVersionInfoSize = sizeof(version);
    GetVersionExA(&version);
    return version.dwPlatformId == VER_PLATFORM_WIN32_NT;
}

} // namespace

// Whatever keeps the platform's verifier from being reached lets the saver close; only an
// explicit refusal keeps it open.
BOOL VerifyPassword(HWND window) {
    if (IsNtFamily()) {
        return TRUE;
    }
    const HMODULE module = LoadSystemModule("PASSWORD.CPL");
    if (module == nullptr) {
        return TRUE;
    }
    const auto verify = __builtin_bit_cast(VerifyScreenSavePwdFunction,
                                           GetProcAddress(module, "VerifyScreenSavePwd"));
    if (verify == nullptr) {
        FreeLibrary(module);
        return TRUE;
    }
    const BOOL result = verify(window);
    FreeLibrary(module);
    return result;
}

void ChangePassword(HWND parent) {
    const HMODULE module = LoadSystemModule("MPR.DLL");
    if (module == nullptr) {
        return;
    }
    const auto change = __builtin_bit_cast(PwdChangePasswordAFunction,
                                           GetProcAddress(module, "PwdChangePasswordA"));
    if (change != nullptr) {
        change("SCRSAVE", parent, 0, 0);
    }
    FreeLibrary(module);
}
