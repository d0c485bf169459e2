#pragma once
// The resources of a built moskel.scr, read from the file itself: loaded as a data file, each
// resource looked up by its type, name and language. A file built for another machine loads as
// data too, so one table of cases covers every build.

#include <windows.h>

#include <gtest/gtest.h>

#include <memory>
#include <set>
#include <string>
#include <tuple>
#include <vector>

namespace test {

using Bytes = std::vector<unsigned char>;

// Resource types and languages by number, as the file stores them.
constexpr WORD kBitmap = 2;     // RT_BITMAP
constexpr WORD kIcon = 3;       // RT_ICON
constexpr WORD kDialog = 5;     // RT_DIALOG
constexpr WORD kString = 6;     // RT_STRING
constexpr WORD kGroupIcon = 14; // RT_GROUP_ICON
constexpr WORD kEnglishUs = 1033;
constexpr WORD kGerman = 1031;

// Type, name and language of one resource; names that are strings show as 0xFFFF.
using ResourceKey = std::tuple<WORD, WORD, WORD>;

class ScrResources {
  public:
    explicit ScrResources(const std::string& path);
    ~ScrResources();
    ScrResources(const ScrResources&) = delete;
    ScrResources& operator=(const ScrResources&) = delete;

    bool Loaded() const {
        return module_ != nullptr;
    }
    // Every resource in the file.
    std::set<ResourceKey> List() const;
    // The bytes of one resource; empty when it is not there.
    Bytes Find(WORD type, WORD name, WORD language) const;
    // The same, found as the platform finds it for a program that names no language.
    Bytes FindAnyLanguage(WORD type, WORD name) const;

  private:
    HMODULE module_;
};

// The builds whose moskel.scr is read, by their folders beside this program's own build folder.
constexpr const char* kBuilds[] = {"i686", "x86_64", "aarch64", "clang-i686", "clang-x86_64"};

// One case per build in kBuilds: SetUp loads that build's moskel.scr into scr. A build that was not
// made is skipped with the reason; the program's own build, which it depends on, must be there.
class BuiltScrTest : public ::testing::TestWithParam<const char*> {
  protected:
    void SetUp() override;
    std::unique_ptr<ScrResources> scr;
};

// A case's name: the build's folder, with what a test name cannot hold replaced.
std::string BuildName(const ::testing::TestParamInfo<const char*>& info);

} // namespace test
