#include "tests/standins/standin_files.h"

#include "tests/support/saver_process.h"

#include <gtest/gtest.h>

namespace standin {

namespace {

bool Exists(const std::string& path) {
    return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

} // namespace

std::string BuiltModule(const char* fileName, bool withEntry) {
    return test::ProgramFolder() + (withEntry ? "standins\\" : "standins\\no_entry\\") + fileName;
}

std::string SystemDirectory() {
    char path[MAX_PATH] = {};
    GetSystemDirectoryA(path, MAX_PATH);
    return std::string(path) + "\\";
}

PlacedFile::PlacedFile(const std::string& source, const std::string& destination)
    : destination_(destination), saved_(destination + ".moskel-saved") {
    if (Exists(saved_)) {
        MoveFileExA(saved_.c_str(), destination_.c_str(), MOVEFILE_REPLACE_EXISTING);
    }
    if (Exists(destination_)) {
        movedAside_ = MoveFileExA(destination_.c_str(), saved_.c_str(), 0) != FALSE;
        EXPECT_TRUE(movedAside_) << "cannot move " << destination_ << " aside: error "
                                 << GetLastError();
    }
    placed_ = CopyFileA(source.c_str(), destination_.c_str(), FALSE) != FALSE;
    EXPECT_TRUE(placed_) << "cannot copy " << source << " to " << destination_ << ": error "
                         << GetLastError();
}

PlacedFile::~PlacedFile() {
    if (placed_) {
        EXPECT_TRUE(DeleteFileA(destination_.c_str()))
            << "cannot remove " << destination_ << ": error " << GetLastError();
    }
    if (movedAside_) {
        EXPECT_TRUE(MoveFileExA(saved_.c_str(), destination_.c_str(), 0))
            << "cannot put " << destination_ << " back: error " << GetLastError();
    }
}

} // namespace standin
