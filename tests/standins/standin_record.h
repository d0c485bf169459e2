#pragma once
// Where the stand-ins for the platform's password modules record what happens to them, and where
// the tests set their answers: values under one scratch key of the current user.

#include <windows.h>

#include <cstdint>
#include <string>

namespace standin {

constexpr const char* kRecordKey = "Software\\Moskel Stand-ins";

// Set by the tests.
constexpr const char* kVerifyAnswer = "Verify Answer"; // DWORD; 1 when missing
// Non-zero: while asking, the verifier sends the saver window a key, the three buttons, the
// three deactivations, a long mouse move and a WM_CLOSE, the way input reaches it during a dialog.
constexpr const char* kVerifySendsInput = "Verify Sends Input";
constexpr const char* kVerifyMovesCursorX = "Verify Moves Cursor X"; // both: where the user
constexpr const char* kVerifyMovesCursorY = "Verify Moves Cursor Y"; // leaves the cursor
// The name of an event: while asking, the verifier handles messages, as the platform's dialog does
// while the user types, until the event is set; it handles what is still waiting, then answers.
constexpr const char* kVerifyWaitEvent = "Verify Wait Event";

// Recorded by the password stand-in.
constexpr const char* kVerifyCalls = "Verify Calls";
constexpr const char* kVerifyWindow = "Verify Window"; // QWORD: the handle's value
constexpr const char* kVerifyCursor = "Verify Cursor"; // DWORD, one of the CursorSeen values

enum CursorSeen : DWORD { kNoCursor = 0, kArrowCursor = 1, kOtherCursor = 2 };

// Recorded by the change stand-in.
constexpr const char* kChangeCalls = "Change Calls";
constexpr const char* kChangeProvider = "Change Provider"; // string
constexpr const char* kChangeParent = "Change Parent";     // QWORD
constexpr const char* kChangeReserved1 = "Change Reserved 1";
constexpr const char* kChangeReserved2 = "Change Reserved 2";

// Recorded by every stand-in under its own file name: "<name> Loads", "<name> Frees" (unloads by
// FreeLibrary, not at process exit) and "<name> Path" (where it was loaded from).
std::string LoadsValue(const char* moduleName);
std::string FreesValue(const char* moduleName);
std::string PathValue(const char* moduleName);

DWORD ReadDword(const char* name, DWORD fallback);
std::uint64_t ReadQword(const char* name);
std::string ReadString(const char* name);
void WriteDword(const char* name, DWORD value);
void WriteQword(const char* name, std::uint64_t value);
void WriteString(const char* name, const char* value);
void Increment(const char* name);
void DeleteRecord();

} // namespace standin
