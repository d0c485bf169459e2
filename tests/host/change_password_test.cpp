// /a: the built saver asks the platform to change the screen-saver password. Wine's own MPR.DLL
// only stubs the change, so a stand-in takes its place in the system directory, and Wine is told
// to prefer it over the builtin for moskel.scr alone (a DllOverrides key under its AppDefaults).

#include "tests/standins/standin_files.h"
#include "tests/standins/standin_record.h"
#include "tests/support/registry.h"
#include "tests/support/saver_process.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

namespace {

constexpr const char* kModule = "MPR.DLL";
const std::string kSaverOverrides = std::string(test::kSaverAppDefaults) + "\\DllOverrides";

DWORD Record(const char* name) {
    return standin::ReadDword(name, 0);
}

class ChangePasswordTest : public ::testing::Test {
  protected:
    void SetUp() override {
        standin::DeleteRecord();
        const char nativeFirst[] = "native,builtin";
        ASSERT_NO_FATAL_FAILURE(test::SetValue(kSaverOverrides.c_str(), "mpr", REG_SZ, nativeFirst,
                                               sizeof(nativeFirst)));
    }
    void TearDown() override {
        changer.reset();
        RegDeleteTreeA(HKEY_CURRENT_USER, kSaverOverrides.c_str());
        RegDeleteKeyA(HKEY_CURRENT_USER, test::kSaverAppDefaults); // only if nothing else is in it
        standin::DeleteRecord();
    }
    void PlaceChanger(bool withEntry) {
        changer = std::make_unique<standin::PlacedFile>(standin::BuiltModule("mpr.dll", withEntry),
                                                        ChangerPath());
        ASSERT_TRUE(changer->Placed());
    }
    static std::string ChangerPath() {
        return standin::SystemDirectory() + "mpr.dll";
    }
    static void RunSaver(const char* arguments) {
        test::SaverProcess saver = test::StartSaver(arguments);
        ASSERT_NE(nullptr, saver.process);
        EXPECT_EQ(0u, test::WaitForExit(saver));
        test::EndSaver(saver);
    }
    // The stand-in was the module loaded, once, and freed again before the process ended.
    static void ExpectLoadedOnceAndFreed() {
        EXPECT_EQ(1u, Record(standin::LoadsValue(kModule).c_str()));
        EXPECT_EQ(1u, Record(standin::FreesValue(kModule).c_str())) << "left loaded";
        EXPECT_STRCASEEQ(ChangerPath().c_str(),
                         standin::ReadString(standin::PathValue(kModule).c_str()).c_str());
    }
    std::unique_ptr<standin::PlacedFile> changer;
};

TEST_F(ChangePasswordTest, SwitchAHandsTheParentToThePasswordChange) {
    struct Case {
        const char* arguments;
        std::uint64_t parent;
    };
    constexpr Case kCases[] = {{"/a 1234", 1234}, {"-A:77", 77}, {"/a", 0}};
    PlaceChanger(true);
    for (const Case& c : kCases) {
        SCOPED_TRACE(c.arguments);
        standin::DeleteRecord();
        RunSaver(c.arguments);
        EXPECT_EQ(1u, Record(standin::kChangeCalls));
        EXPECT_EQ("SCRSAVE", standin::ReadString(standin::kChangeProvider));
        EXPECT_EQ(c.parent, standin::ReadQword(standin::kChangeParent));
        EXPECT_EQ(0u, standin::ReadDword(standin::kChangeReserved1, 99));
        EXPECT_EQ(0u, standin::ReadDword(standin::kChangeReserved2, 99));
        ExpectLoadedOnceAndFreed();
    }
}

TEST_F(ChangePasswordTest, ModuleWithoutTheEntryPointChangesNothing) {
    PlaceChanger(false);
    RunSaver("/a 1234");
    EXPECT_EQ(0u, Record(standin::kChangeCalls));
    ExpectLoadedOnceAndFreed();
}

// Beside the saver there is no stand-in unless a case plants one: the platform's own module (Wine's
// builtin) is then the one used, and the planted one is never run.
TEST_F(ChangePasswordTest, PlantedModuleBesideTheSaverIsNeverLoaded) {
    const standin::PlacedFile planted(standin::BuiltModule("mpr.dll"),
                                      test::ScrFolder() + "mpr.dll");
    ASSERT_TRUE(planted.Placed());
    RunSaver("/a 1234");
    EXPECT_EQ(0u, Record(standin::LoadsValue(kModule).c_str()));
    EXPECT_EQ(0u, Record(standin::kChangeCalls));
}

} // namespace
