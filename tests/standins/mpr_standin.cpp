// Stands in for MPR.DLL, whose Wine builtin only stubs the password change. It records each call
// under the scratch registry key. Built twice: with the entry point, and without it
// (STANDIN_WITH_ENTRY 0).

#include <windows.h>

#include "tests/standins/module_record.h"
#include "tests/standins/standin_record.h"

namespace {

constexpr const char* kModuleName = "MPR.DLL";

} // namespace

#if STANDIN_WITH_ENTRY
extern "C" __declspec(dllexport) DWORD WINAPI
    PwdChangePasswordA(LPCSTR provider, HWND parent, DWORD reserved1, DWORD reserved2) {
    standin::Increment(standin::kChangeCalls);
    standin::WriteString(standin::kChangeProvider, provider != nullptr ? provider : "(null)");
    standin::WriteQword(standin::kChangeParent, reinterpret_cast<UINT_PTR>(parent));
    standin::WriteDword(standin::kChangeReserved1, reserved1);
    standin::WriteDword(standin::kChangeReserved2, reserved2);
    return ERROR_SUCCESS;
}
#endif

BOOL WINAPI DllMain(HINSTANCE module, DWORD reason, LPVOID reserved) {
    standin::RecordLifetime(module, reason, reserved, kModuleName);
    return TRUE;
}
