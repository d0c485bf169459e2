// The password check as a Windows 9x platform makes it: Wine reports that family to this program
// (a fixture sets its per-program version before it starts), and a stand-in PASSWORD.CPL in the
// system directory answers as each case tells it and records every call.

#include "tests/host/saver_window_fixture.h"

#include "host/password.h"
#include "tests/standins/standin_files.h"
#include "tests/standins/standin_record.h"
#include "tests/support/input.h"
#include "tests/support/platform.h"
#include "tests/support/saver_process.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

namespace {

using test::MoveCursor;

constexpr const char* kModule = "PASSWORD.CPL";

DWORD Loads() {
    return standin::ReadDword(standin::LoadsValue(kModule).c_str(), 0);
}

DWORD Frees() {
    return standin::ReadDword(standin::FreesValue(kModule).c_str(), 0);
}

DWORD VerifyCalls() {
    return standin::ReadDword(standin::kVerifyCalls, 0);
}

class PasswordTest : public test::SaverWindowTest {
  protected:
    void SetUp() override {
        SaverWindowTest::SetUp();
        standin::DeleteRecord();
        // Wine has no PASSWORD.CPL of its own: one found here is a stand-in that an interrupted
        // run left behind.
        DeleteFileA(VerifierPath().c_str());
    }
    void TearDown() override {
        EXPECT_EQ(nullptr, GetModuleHandleA("password.cpl")) << "left loaded";
        EXPECT_EQ(Loads(), Frees()) << "every load is freed again";
        verifier.reset();
        SaverWindowTest::TearDown();
        standin::DeleteRecord();
    }
    void PlaceVerifier(bool withEntry = true) {
        verifier = std::make_unique<standin::PlacedFile>(
            standin::BuiltModule("password.cpl", withEntry), VerifierPath());
        ASSERT_TRUE(verifier->Placed());
    }
    static std::string VerifierPath() {
        return standin::SystemDirectory() + "password.cpl";
    }
    // A saver that has run this long, then a key press.
    void PressKeyAfter(DWORD elapsed) {
        SetElapsed(elapsed);
        SendMessageA(window, WM_KEYDOWN, 'A', 0);
    }
    std::unique_ptr<standin::PlacedFile> verifier;
};

TEST_F(PasswordTest, PlatformReportsTheWindows9xFamily) {
    EXPECT_EQ(static_cast<DWORD>(VER_PLATFORM_WIN32_WINDOWS), test::PlatformId())
        << "the Version setting under AppDefaults for this program is missing";
}

struct Due {
    DWORD delaySeconds;
    DWORD elapsedMs;
    bool asks;
};

TEST_F(PasswordTest, AskedOnlyOnceTheDelayHasPassed) {
    // Delays whose milliseconds do not fit in 32 bits: 4294968 s would wrap to 704 ms, and
    // 5000000 s to about 8 days.
    constexpr Due kDues[] = {
        {15, 10000, false},        {15, 16000, true},        {0, 1000, true},
        {4294968, 1000, false},    {4294968, 960000, false}, {5000000, 864000000, false},
        {4294967, 3600000, false}, {60, 3600000, true},
    };
    PlaceVerifier();
    standin::WriteDword(standin::kVerifyAnswer, 1);
    DWORD calls = 0;
    for (const Due& due : kDues) {
        SCOPED_TRACE(testing::Message()
                     << "delay " << due.delaySeconds << " s, run for " << due.elapsedMs << " ms");
        test::SetDword(kCommonSettingsKey, "Password Delay", due.delaySeconds);
        CreateSaverWindow(SaverMode::Saver);
        ASSERT_EQ(due.delaySeconds, state.passwordDelay);
        PressKeyAfter(due.elapsedMs);
        EXPECT_TRUE(Closed());
        calls += due.asks ? 1 : 0;
        EXPECT_EQ(calls, VerifyCalls());
        EXPECT_EQ(calls, Loads()) << "loaded only when asking";
    }
}

TEST_F(PasswordTest, AcceptedPasswordClosesAndTheModuleIsFreed) {
    PlaceVerifier();
    standin::WriteDword(standin::kVerifyAnswer, 1);
    CreateSaverWindow(SaverMode::Saver);
    const HWND saver = window;
    PressKeyAfter(16000);
    EXPECT_TRUE(Closed());
    EXPECT_EQ(1u, VerifyCalls());
    EXPECT_EQ(reinterpret_cast<UINT_PTR>(saver), standin::ReadQword(standin::kVerifyWindow));
    EXPECT_EQ(static_cast<DWORD>(standin::kArrowCursor),
              standin::ReadDword(standin::kVerifyCursor, 99))
        << "the cursor shows while the dialog is up";
    EXPECT_EQ(1u, Frees());
    EXPECT_STRCASEEQ(VerifierPath().c_str(),
                     standin::ReadString(standin::PathValue(kModule).c_str()).c_str());
}

TEST_F(PasswordTest, RefusedPasswordKeepsTheSaverAndAsksAgainOnTheNextInput) {
    PlaceVerifier();
    standin::WriteDword(standin::kVerifyAnswer, 0);
    standin::WriteDword(standin::kVerifyMovesCursorX, 321);
    standin::WriteDword(standin::kVerifyMovesCursorY, 234);
    ASSERT_TRUE(MoveCursor(500, 400));
    CreateSaverWindow(SaverMode::Saver);
    PressKeyAfter(16000);
    EXPECT_FALSE(Closed());
    EXPECT_EQ(1u, VerifyCalls());
    EXPECT_EQ(1u, state.closing);
    EXPECT_EQ(0u, state.inputSuspended);
    EXPECT_EQ(321, state.startCursor.x) << "the reference is where the dialog left the cursor";
    EXPECT_EQ(234, state.startCursor.y);
    EXPECT_EQ(nullptr, GetCursor()) << "hidden again";
    EXPECT_EQ(1u, Frees()) << "freed after a refusal too";

    // Watching again from the new reference: a small move does not count, a key asks again.
    ASSERT_TRUE(MoveCursor(321 + 50, 234));
    SendMessageA(window, WM_MOUSEMOVE, 0, 0);
    EXPECT_FALSE(Closed());
    EXPECT_EQ(1u, VerifyCalls());
    standin::WriteDword(standin::kVerifyAnswer, 1);
    SendMessageA(window, WM_KEYDOWN, 'A', 0);
    EXPECT_TRUE(Closed());
    EXPECT_EQ(2u, VerifyCalls());
    EXPECT_EQ(2u, Loads()) << "loaded afresh on every call";
}

TEST_F(PasswordTest, InputWhileTheVerifierRunsPostsNoSecondClose) {
    PlaceVerifier();
    standin::WriteDword(standin::kVerifyAnswer, 0);
    standin::WriteDword(standin::kVerifySendsInput, 1);
    CreateSaverWindow(SaverMode::Saver);
    PressKeyAfter(16000);
    MSG message;
    ASSERT_TRUE(PeekMessageA(&message, window, WM_CLOSE, WM_CLOSE, PM_REMOVE));
    DispatchMessageA(&message);
    EXPECT_EQ(1u, VerifyCalls()) << "the WM_CLOSE sent during the dialog was dropped";
    EXPECT_FALSE(PeekMessageA(&message, window, WM_CLOSE, WM_CLOSE, PM_NOREMOVE))
        << "input during the dialog posted a close";
    EXPECT_FALSE(Closed());
    EXPECT_EQ(1u, VerifyCalls());
}

TEST_F(PasswordTest, UnreachableVerifierLetsTheSaverClose) {
    standin::WriteDword(standin::kVerifyAnswer, 0);
    {
        SCOPED_TRACE("no module");
        CreateSaverWindow(SaverMode::Saver);
        PressKeyAfter(16000);
        EXPECT_TRUE(Closed());
        EXPECT_EQ(0u, Loads());
    }
    {
        SCOPED_TRACE("module without the entry point");
        PlaceVerifier(false);
        CreateSaverWindow(SaverMode::Saver);
        PressKeyAfter(16000);
        EXPECT_TRUE(Closed());
        EXPECT_EQ(1u, Loads());
        EXPECT_EQ(1u, Frees());
        EXPECT_EQ(0u, VerifyCalls());
    }
}

TEST_F(PasswordTest, VerifyPasswordGivesTheVerifiersAnswer) {
    PlaceVerifier();
    CreateSaverWindow(SaverMode::Saver);
    for (DWORD answer : {0u, 1u, 0u}) {
        standin::WriteDword(standin::kVerifyAnswer, answer);
        EXPECT_EQ(static_cast<BOOL>(answer), VerifyPassword(window));
        EXPECT_EQ(nullptr, GetModuleHandleA("password.cpl"));
    }
    EXPECT_EQ(3u, VerifyCalls());
    EXPECT_EQ(3u, Loads());
    EXPECT_EQ(3u, Frees());
}

// A module of that name beside the program or in the current directory is never run; only the
// one in the system directory is.
TEST_F(PasswordTest, PlantedVerifierIsNeverLoaded) {
    char temp[MAX_PATH] = {};
    GetTempPathA(MAX_PATH, temp);
    const std::string folder = std::string(temp) + "moskel-planted";
    CreateDirectoryA(folder.c_str(), nullptr);
    char previous[MAX_PATH] = {};
    GetCurrentDirectoryA(MAX_PATH, previous);
    ASSERT_TRUE(SetCurrentDirectoryA(folder.c_str()));
    {
        const standin::PlacedFile besideProgram(standin::BuiltModule("password.cpl"),
                                                test::ProgramFolder() + "password.cpl");
        const standin::PlacedFile inCurrentFolder(standin::BuiltModule("password.cpl"),
                                                  folder + "\\password.cpl");
        ASSERT_TRUE(besideProgram.Placed());
        ASSERT_TRUE(inCurrentFolder.Placed());
        standin::WriteDword(standin::kVerifyAnswer, 0);
        CreateSaverWindow(SaverMode::Saver);
        EXPECT_TRUE(VerifyPassword(window)) << "nothing in the system directory: no verifier";
        EXPECT_EQ(0u, Loads());

        PlaceVerifier();
        EXPECT_FALSE(VerifyPassword(window));
        EXPECT_EQ(1u, Loads());
        EXPECT_STRCASEEQ(VerifierPath().c_str(),
                         standin::ReadString(standin::PathValue(kModule).c_str()).c_str());
    }
    SetCurrentDirectoryA(previous);
    RemoveDirectoryA(folder.c_str());
}

} // namespace
