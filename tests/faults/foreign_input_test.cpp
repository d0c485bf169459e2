// A running full-screen saver on the Windows 9x family with the password due: nothing that another
// program sends or posts ends it, and neither does input while the platform asks for the password;
// only the verifier's consent does. Wine reports that family to moskel.scr through its AppDefaults,
// and a stand-in PASSWORD.CPL in the system directory answers as each case tells it.

#include "host/saver_state.h"
#include "tests/faults/running_saver.h"
#include "tests/standins/standin_files.h"
#include "tests/standins/standin_record.h"
#include "tests/support/input.h"
#include "tests/support/platform.h"
#include "tests/support/registry.h"
#include "tests/support/screen.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

namespace {

constexpr const char* kReleaseEvent = "MoskelVerifierRelease";

DWORD VerifyCalls() {
    return standin::ReadDword(standin::kVerifyCalls, 0);
}

enum class Delivery { Post, Send, PostToThread };

struct Foreign {
    const char* what;
    UINT message;
    WPARAM wParam;
    Delivery how;
};

void Deliver(HWND window, const Foreign& foreign) {
    switch (foreign.how) {
    case Delivery::Post:
        PostMessageA(window, foreign.message, foreign.wParam, 0);
        break;
    case Delivery::Send: {
        DWORD_PTR result = 0;
        SendMessageTimeoutA(window, foreign.message, foreign.wParam, 0, SMTO_NORMAL, 30000,
                            &result);
        break;
    }
    case Delivery::PostToThread:
        PostThreadMessageA(GetWindowThreadProcessId(window, nullptr), foreign.message,
                           foreign.wParam, 0);
        break;
    }
}

class PasswordDueSaver : public test::CleanRegistry {
  protected:
    void SetUp() override {
        CleanRegistry::SetUp();
        standin::DeleteRecord();
        test::ClearScreenSaverRunning();
        const char windows98[] = "win98";
        ASSERT_NO_FATAL_FAILURE(test::SetValue(test::kSaverAppDefaults, "Version", REG_SZ,
                                               windows98, sizeof(windows98)));
        verifier = std::make_unique<standin::PlacedFile>(
            standin::BuiltModule("password.cpl"), standin::SystemDirectory() + "password.cpl");
        ASSERT_TRUE(verifier->Placed());
        standin::WriteDword(standin::kVerifyAnswer, 0);
        test::SetDword(kCommonSettingsKey, "Password Delay", 0);
        // Only what the cases do may count: the pointer that Wine reports to a new process may lag
        // behind the X server's.
        test::SetDword(kCommonSettingsKey, "Mouse Threshold", 100000);
        Start();
    }
    void TearDown() override {
        test::EndSaver(saver);
        verifier.reset();
        RegDeleteKeyValueA(HKEY_CURRENT_USER, test::kSaverAppDefaults, "Version");
        RegDeleteKeyA(HKEY_CURRENT_USER, test::kSaverAppDefaults); // only if nothing else is in it
        standin::DeleteRecord();
        test::ClearScreenSaverRunning();
        CleanRegistry::TearDown();
    }
    void Start() {
        test::EndSaver(saver);
        window = running::StartDrawing(saver);
        ASSERT_NE(nullptr, window) << "the saver does not draw";
    }
    bool Running() const {
        return test::WaitForExit(saver, 0) == STILL_ACTIVE;
    }
    // Frames are drawn only when the saver's queue is empty: two more show that all that was
    // posted to it has been handled.
    void ExpectRunningAndDrawing(const std::string& after) {
        EXPECT_TRUE(test::WaitForFrames(test::CentrePatch(), 2)) << "no frames after " << after;
        EXPECT_TRUE(Running()) << "ended by " << after;
    }
    // Waits until the verifier has been called that often (a guard, not a measure).
    static bool WaitForVerifyCalls(DWORD calls) {
        test::WaitUntil([calls] { return VerifyCalls() >= calls; });
        return VerifyCalls() == calls;
    }
    void EndWithConsent(DWORD callsBefore) {
        standin::WriteDword(standin::kVerifyAnswer, 1);
        test::SendKey('A');
        EXPECT_EQ(0u, test::WaitForExit(saver)) << "the verifier's consent ends it";
        EXPECT_EQ(callsBefore + 1, VerifyCalls());
    }
    std::unique_ptr<standin::PlacedFile> verifier;
    test::SaverProcess saver;
    HWND window = nullptr;
};

constexpr Foreign kForeign[] = {
    {"a posted WM_CLOSE", WM_CLOSE, 0, Delivery::Post},
    {"a sent WM_CLOSE", WM_CLOSE, 0, Delivery::Send},
    {"a posted SC_CLOSE", WM_SYSCOMMAND, SC_CLOSE, Delivery::Post},
    {"a sent SC_CLOSE", WM_SYSCOMMAND, SC_CLOSE, Delivery::Send},
    {"a posted SC_SCREENSAVE", WM_SYSCOMMAND, SC_SCREENSAVE, Delivery::Post},
    {"a sent SC_SCREENSAVE", WM_SYSCOMMAND, SC_SCREENSAVE, Delivery::Send},
    {"a posted WM_DESTROY", WM_DESTROY, 0, Delivery::Post},
    {"a sent WM_DESTROY", WM_DESTROY, 0, Delivery::Send},
    {"a WM_QUIT posted to the window", WM_QUIT, 0, Delivery::Post},
    {"a WM_QUIT posted to the thread", WM_QUIT, 0, Delivery::PostToThread},
};

TEST_F(PasswordDueSaver, MessagesFromAnotherProgramNeverEndIt) {
    for (const Foreign& foreign : kForeign) {
        if (!Running()) {
            Start();
        }
        Deliver(window, foreign);
        ExpectRunningAndDrawing(foreign.what);
    }
    EXPECT_EQ(0u, VerifyCalls()) << "nothing asked for a close";

    // After a refused password the saver is closing: each close asks again, and needs consent.
    if (!Running()) {
        Start();
    }
    test::SendKey('A');
    ASSERT_TRUE(WaitForVerifyCalls(1)) << "a key asks for the password";
    ExpectRunningAndDrawing("a refused password");
    for (const Foreign& foreign : kForeign) {
        ASSERT_TRUE(Running());
        Deliver(window, foreign);
        ExpectRunningAndDrawing(std::string(foreign.what) + " after a refused password");
    }
    EndWithConsent(VerifyCalls());
}

TEST_F(PasswordDueSaver, InputWhileThePasswordIsAskedForIsIgnored) {
    const HANDLE release = CreateEventA(nullptr, TRUE, FALSE, kReleaseEvent);
    ASSERT_NE(nullptr, release);
    standin::WriteString(standin::kVerifyWaitEvent, kReleaseEvent);
    test::SendKey('A');
    ASSERT_TRUE(WaitForVerifyCalls(1)) << "a key asks for the password";

    constexpr Foreign kDuringDialog[] = {
        {"deactivation", WM_ACTIVATE, WA_INACTIVE, Delivery::Post},
        {"deactivation", WM_ACTIVATE, WA_INACTIVE, Delivery::Send},
        {"application deactivation", WM_ACTIVATEAPP, FALSE, Delivery::Post},
        {"application deactivation", WM_ACTIVATEAPP, FALSE, Delivery::Send},
        {"caption deactivation", WM_NCACTIVATE, FALSE, Delivery::Post},
        {"caption deactivation", WM_NCACTIVATE, FALSE, Delivery::Send},
        {"key", WM_KEYDOWN, 'K', Delivery::Post},
        {"key", WM_KEYDOWN, 'K', Delivery::Send},
        {"left button", WM_LBUTTONDOWN, MK_LBUTTON, Delivery::Post},
        {"right button", WM_RBUTTONDOWN, MK_RBUTTON, Delivery::Send},
        {"middle button", WM_MBUTTONDOWN, MK_MBUTTON, Delivery::Post},
    };
    for (const Foreign& foreign : kDuringDialog) {
        Deliver(window, foreign);
    }
    for (const Foreign& foreign : kForeign) {
        if (foreign.message != WM_QUIT && foreign.message != WM_DESTROY) {
            Deliver(window, foreign);
        }
    }
    test::SendKey('B');
    test::SendClick();
    // The dialog handles all that is waiting before it answers no.
    SetEvent(release);
    standin::WriteString(standin::kVerifyWaitEvent, "");
    ExpectRunningAndDrawing("input while the password was asked for");
    EXPECT_EQ(1u, VerifyCalls()) << "input during the dialog asked again afterwards";
    EndWithConsent(1);
    CloseHandle(release);
}

} // namespace
