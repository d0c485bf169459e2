// The built moskel.scr as a file and as a process: what it imports, and what it does with a switch
// it does not know.

#include "tests/support/saver_process.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <fstream>
#include <iterator>
#include <set>
#include <string>
#include <vector>

namespace {

std::vector<char> ReadFile(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}

// A PE image read from disk, enough to walk its import table.
class PeFile {
  public:
    explicit PeFile(std::vector<char> bytes) : bytes_(std::move(bytes)) {}

    bool Valid() const {
        if (bytes_.size() < sizeof(IMAGE_DOS_HEADER)) {
            return false;
        }
        const auto* dos = At<IMAGE_DOS_HEADER>(0);
        return dos->e_magic == IMAGE_DOS_SIGNATURE &&
               *At<DWORD>(dos->e_lfanew) == IMAGE_NT_SIGNATURE;
    }
    WORD Machine() const {
        return FileHeader()->Machine;
    }
    WORD Subsystem() const {
        return Is64() ? Optional<IMAGE_OPTIONAL_HEADER64>()->Subsystem
                      : Optional<IMAGE_OPTIONAL_HEADER32>()->Subsystem;
    }
    std::set<std::string> ImportedDlls() const {
        const IMAGE_DATA_DIRECTORY directory =
            Is64()
                ? Optional<IMAGE_OPTIONAL_HEADER64>()->DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT]
                : Optional<IMAGE_OPTIONAL_HEADER32>()->DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
        std::set<std::string> names;
        for (DWORD offset = FileOffset(directory.VirtualAddress);;
             offset += sizeof(IMAGE_IMPORT_DESCRIPTOR)) {
            const auto* entry = At<IMAGE_IMPORT_DESCRIPTOR>(offset);
            if (entry->Name == 0) {
                break;
            }
            std::string name = &bytes_[FileOffset(entry->Name)];
            std::transform(name.begin(), name.end(), name.begin(),
                           [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
            names.insert(name);
        }
        return names;
    }

  private:
    template <typename T> const T* At(DWORD offset) const {
        return reinterpret_cast<const T*>(&bytes_.at(offset));
    }
    const IMAGE_FILE_HEADER* FileHeader() const {
        return At<IMAGE_FILE_HEADER>(At<IMAGE_DOS_HEADER>(0)->e_lfanew + sizeof(DWORD));
    }
    template <typename T> const T* Optional() const {
        return At<T>(At<IMAGE_DOS_HEADER>(0)->e_lfanew + sizeof(DWORD) + sizeof(IMAGE_FILE_HEADER));
    }
    bool Is64() const {
        return Machine() == IMAGE_FILE_MACHINE_AMD64;
    }
    DWORD FileOffset(DWORD rva) const {
        const IMAGE_FILE_HEADER* header = FileHeader();
        const auto* sections =
            At<IMAGE_SECTION_HEADER>(At<IMAGE_DOS_HEADER>(0)->e_lfanew + sizeof(DWORD) +
                                     sizeof(IMAGE_FILE_HEADER) + header->SizeOfOptionalHeader);
        for (WORD i = 0; i < header->NumberOfSections; ++i) {
            const IMAGE_SECTION_HEADER& s = sections[i];
            if (rva >= s.VirtualAddress && rva < s.VirtualAddress + s.Misc.VirtualSize) {
                return rva - s.VirtualAddress + s.PointerToRawData;
            }
        }
        ADD_FAILURE() << "address " << rva << " is in no section";
        return 0;
    }
    std::vector<char> bytes_;
};

TEST(Executable, IsAGuiProgramOfThisArchitectureThatImportsSystemDllsOnly) {
    const PeFile scr(ReadFile(test::ScrPath()));
    ASSERT_TRUE(scr.Valid()) << test::ScrPath();
    EXPECT_EQ(sizeof(void*) == 8 ? IMAGE_FILE_MACHINE_AMD64 : IMAGE_FILE_MACHINE_I386,
              scr.Machine());
    EXPECT_EQ(IMAGE_SUBSYSTEM_WINDOWS_GUI, scr.Subsystem());

    const std::set<std::string> allowed = {"KERNEL32.DLL", "USER32.DLL",   "GDI32.DLL",
                                           "ADVAPI32.DLL", "OPENGL32.DLL", "GLU32.DLL",
                                           "MSVCRT.DLL"};
    const std::set<std::string> imported = scr.ImportedDlls();
    EXPECT_TRUE(imported.count("KERNEL32.DLL")) << "the import table was not read";
    for (const std::string& dll : imported) {
        EXPECT_TRUE(allowed.count(dll)) << "moskel.scr needs " << dll;
    }
}

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
