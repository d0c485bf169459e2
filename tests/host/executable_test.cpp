// The built moskel.scr as a process: what it does with a switch it does not know. (The file itself,
// its headers, imports and size, is checked by tests/files without Windows.)

#include "tests/support/saver_process.h"

#include <gtest/gtest.h>

namespace {

TEST(Executable, UnknownSwitchExitsAtOnceWithoutAWindow) {
    for (const char* arguments : {"/x", "-q 12", "/"}) {
        test::SaverProcess saver = test::StartSaver(arguments);
        ASSERT_NE(nullptr, saver.process);
        EXPECT_EQ(0u, test::WaitForExit(saver)) << arguments;
        EXPECT_EQ(0, test::CountWindowsOf(saver.id)) << arguments;
        test::EndSaver(saver);
    }
}

} // namespace
