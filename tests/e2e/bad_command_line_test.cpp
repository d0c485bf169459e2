// The built saver against command lines that no display settings would send: the longest line the
// platform passes on, numbers far beyond 32 bits, signs, colons and blanks in odd orders. None of
// them asks for anything, so each run must end at once with exit code 0, having made no window and
// written no registry key.

#include "host/saver_state.h"
#include "tests/support/registry.h"
#include "tests/support/saver_process.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>

namespace {

// The longest command line CreateProcess takes, terminating zero included.
constexpr std::size_t kLongestCommandLine = 32767;

// `head`, then `unit` repeated, then `tail`: the longest command line that the saver can be given.
std::string FilledToTheLimit(const std::string& head, const std::string& unit,
                             const std::string& tail = "") {
    // The quoted path of the saver and the blank after it come first.
    const std::size_t room = kLongestCommandLine - 1 - (test::ScrPath().size() + 3);
    std::string arguments = head;
    while (arguments.size() + unit.size() + tail.size() <= room) {
        arguments += unit;
    }
    return arguments + tail;
}

class BadCommandLine : public test::CleanRegistry {
  protected:
    // A window of this program whose handle the numbers below come close to: a number read modulo
    // 2^32 instead of clamped would hand it to the saver as preview window or owner.
    void SetUp() override {
        CleanRegistry::SetUp();
        bait = CreateWindowExA(0, "STATIC", "Bait", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 100, 80, 320,
                               240, nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
        ASSERT_NE(nullptr, bait);
    }
    void TearDown() override {
        DestroyWindow(bait);
        CleanRegistry::TearDown();
    }
    HWND bait = nullptr;
};

TEST_F(BadCommandLine, EndsAtOnceWithoutAWindowOrARegistryKey) {
    const std::uint64_t handle = reinterpret_cast<UINT_PTR>(bait);
    ASSERT_LT(handle, std::uint64_t{1} << 32);
    const std::string beyond32 = std::to_string(handle + (std::uint64_t{1} << 32));
    const std::string beyond63 = std::to_string(handle + (std::uint64_t{1} << 63));
    const std::string below32 = "-" + std::to_string((std::uint64_t{1} << 32) - handle);
    const std::string handleText = std::to_string(handle);
    const std::string arguments[] = {
        // Numbers that are the bait's handle modulo 2^32.
        "/p " + beyond32,
        "/l:" + beyond63,
        "-P " + below32,
        "/a " + beyond32,
        "/c " + beyond32,
        // Lines as long as the platform allows.
        FilledToTheLimit("/p ", "9"),
        FilledToTheLimit("/p -", "9"),
        FilledToTheLimit("/c:", "4294967296"),
        FilledToTheLimit("/p", " :"),
        // The switch at the very end: a line cut short would be all blanks and show the dialog.
        FilledToTheLimit("", " ", "/x"),
        FilledToTheLimit("/", ":"),
        FilledToTheLimit("-", "-/"),
        // Signs, colons and blanks where the number cannot be read.
        "/p +-" + handleText,
        "/p -+" + handleText,
        "/p - " + handleText,
        "/p:+:" + handleText,
        "/a --" + handleText,
        // Where no switch can be read.
        "-/p " + handleText,
        "/ p " + handleText,
        ":/p " + handleText,
        "+p " + handleText,
    };
    for (const std::string& line : arguments) {
        SCOPED_TRACE("[" + line.substr(0, 40) + "], " + std::to_string(line.size()) +
                     " characters");
        test::SaverProcess saver = test::StartSaver(line);
        ASSERT_NE(nullptr, saver.process);
        EXPECT_EQ(0u, test::WaitForExit(saver)) << "nothing to show, so it ends at once";
        EXPECT_EQ(nullptr, test::FindSaverWindow(bait));
        EXPECT_EQ(nullptr, test::FindSaverWindow());
        EXPECT_EQ(nullptr, FindWindowA(test::kDialogClass, test::kSettingsCaption));
        test::EndSaver(saver);
        EXPECT_FALSE(test::KeyExists(kProductSettingsKey));
        EXPECT_FALSE(test::KeyExists(kCommonSettingsKey));
    }
}

} // namespace
