// The built moskel.scr as a file and as a process: what it imports, how large it is, the version
// it carries, and what it does with a switch it does not know.

#include "tests/support/saver_process.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <set>
#include <sstream>
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
    WORD MajorImageVersion() const {
        return Is64() ? Optional<IMAGE_OPTIONAL_HEADER64>()->MajorImageVersion
                      : Optional<IMAGE_OPTIONAL_HEADER32>()->MajorImageVersion;
    }
    WORD MinorImageVersion() const {
        return Is64() ? Optional<IMAGE_OPTIONAL_HEADER64>()->MinorImageVersion
                      : Optional<IMAGE_OPTIONAL_HEADER32>()->MinorImageVersion;
    }
    IMAGE_DATA_DIRECTORY Directory(int entry) const {
        return Is64() ? Optional<IMAGE_OPTIONAL_HEADER64>()->DataDirectory[entry]
                      : Optional<IMAGE_OPTIONAL_HEADER32>()->DataDirectory[entry];
    }
    // Imported functions by DLL (upper case); a function imported by ordinal reads "#N".
    std::map<std::string, std::set<std::string>> Imports() const {
        const IMAGE_DATA_DIRECTORY directory = Directory(IMAGE_DIRECTORY_ENTRY_IMPORT);
        std::map<std::string, std::set<std::string>> imports;
        for (DWORD offset = FileOffset(directory.VirtualAddress);;
             offset += sizeof(IMAGE_IMPORT_DESCRIPTOR)) {
            const auto* entry = At<IMAGE_IMPORT_DESCRIPTOR>(offset);
            if (entry->Name == 0) {
                break;
            }
            std::string dll = &bytes_[FileOffset(entry->Name)];
            std::transform(dll.begin(), dll.end(), dll.begin(),
                           [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
            const DWORD thunks =
                entry->OriginalFirstThunk != 0 ? entry->OriginalFirstThunk : entry->FirstThunk;
            imports[dll] = Is64() ? FunctionNames<ULONGLONG>(thunks, IMAGE_ORDINAL_FLAG64)
                                  : FunctionNames<DWORD>(thunks, IMAGE_ORDINAL_FLAG32);
        }
        return imports;
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
    template <typename Thunk>
    std::set<std::string> FunctionNames(DWORD thunks, Thunk ordinalFlag) const {
        std::set<std::string> names;
        for (DWORD offset = FileOffset(thunks);; offset += sizeof(Thunk)) {
            const Thunk thunk = *At<Thunk>(offset);
            if (thunk == 0) {
                break;
            }
            if ((thunk & ordinalFlag) != 0) {
                names.insert("#" + std::to_string(thunk & 0xFFFF));
            } else {
                // IMAGE_IMPORT_BY_NAME: a 16-bit hint, then the name.
                names.insert(&bytes_[FileOffset(static_cast<DWORD>(thunk)) + sizeof(WORD)]);
            }
        }
        return names;
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

// "DLL FUNCTION" for each imported function, the DLL in upper case.
using ImportSet = std::set<std::string>;

// What the .def files of the build name: the one list of the saver's imports.
ImportSet ListedImports() {
    ImportSet listed;
    for (const auto& entry : std::filesystem::directory_iterator(MOSKEL_IMPORT_LISTS)) {
        if (entry.path().extension() != ".def") {
            continue;
        }
        std::ifstream file(entry.path());
        std::string dll;
        std::string word;
        while (file >> word) {
            if (word == "LIBRARY" && file >> dll) {
                std::transform(dll.begin(), dll.end(), dll.begin(),
                               [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
            } else if (word == ";") {
                std::getline(file, word);
            } else if (word != "EXPORTS") {
                listed.insert(dll + " " + word);
            }
        }
    }
    return listed;
}

// No C runtime: only the functions of the six system DLLs that the import lists name, and no TLS
// directory, which comes with the C runtime's start-up.
TEST(Executable, IsAGuiProgramOfThisArchitectureThatImportsWhatItsListsName) {
    const PeFile scr(ReadFile(test::ScrPath()));
    ASSERT_TRUE(scr.Valid()) << test::ScrPath();
    EXPECT_EQ(sizeof(void*) == 8 ? IMAGE_FILE_MACHINE_AMD64 : IMAGE_FILE_MACHINE_I386,
              scr.Machine());
    EXPECT_EQ(IMAGE_SUBSYSTEM_WINDOWS_GUI, scr.Subsystem());

    ImportSet imported;
    for (const auto& [dll, functions] : scr.Imports()) {
        for (const std::string& function : functions) {
            imported.insert(dll + " " + function);
        }
    }
    EXPECT_EQ(ListedImports(), imported) << "the lists are in " << MOSKEL_IMPORT_LISTS;
    EXPECT_EQ(0u, scr.Directory(IMAGE_DIRECTORY_ENTRY_TLS).VirtualAddress);
}

// The saver carries its resources, the model tables and a little code: growth past these limits
// (81 and 79 KiB) means something large has been pulled in again (a runtime's start-up, say).
TEST(Executable, StaysWithinItsSizeLimit) {
    const std::size_t limit = sizeof(void*) == 8 ? 82944 : 80896;
    EXPECT_LE(ReadFile(test::ScrPath()).size(), limit);
}

TEST(Executable, CarriesTheProductVersionInItsImageHeader) {
    const PeFile scr(ReadFile(test::ScrPath()));
    ASSERT_TRUE(scr.Valid());
    EXPECT_EQ(MOSKEL_VERSION_MAJOR, scr.MajorImageVersion());
    EXPECT_EQ(MOSKEL_VERSION_MINOR, scr.MinorImageVersion());
}

// The 32-bit saver starts on Windows 95, 98 and NT 4.0 only if every function it imports is
// exported there: each import has been checked, and the list of the checks names no other.
TEST(Executable, ImportsOnlyFunctionsThatWindows95AndNt4Export) {
    std::ifstream file(MOSKEL_WINDOWS_95_IMPORTS);
    ImportSet checked;
    std::string line;
    while (std::getline(file, line)) {
        std::istringstream fields(line);
        std::string dll;
        std::string function;
        if (fields >> dll >> function && dll[0] != '#') {
            checked.insert(dll + " " + function);
        }
    }
    EXPECT_EQ(ListedImports(), checked) << "the checks are in " << MOSKEL_WINDOWS_95_IMPORTS;
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
