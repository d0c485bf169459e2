// What moskel.scr weighs beside the bytes it must carry: its resources (the .rsrc section), the
// model tables and its import table (descriptors, lookup and address tables, DLL names, hint and
// name entries, walked from the import data directory). Built per architecture and run on the .scr
// of the same one. Prints "key value" lines.
//   scr_size.exe PATH

#include "model/model.h"

#include <windows.h>

#include <cstdio>
#include <cstring>
#include <vector>

namespace {

std::vector<char> ReadFile(const char* path) {
    std::vector<char> bytes;
    if (FILE* file = std::fopen(path, "rb")) {
        char chunk[65536];
        for (std::size_t got; (got = std::fread(chunk, 1, sizeof(chunk), file)) > 0;) {
            bytes.insert(bytes.end(), chunk, chunk + got);
        }
        std::fclose(file);
    }
    return bytes;
}

class PeImage {
  public:
    explicit PeImage(const std::vector<char>& bytes) : bytes_(bytes) {
        if (bytes.size() < sizeof(IMAGE_DOS_HEADER)) {
            return;
        }
        const auto* dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(bytes.data());
        if (dos->e_magic != IMAGE_DOS_SIGNATURE ||
            std::size_t(dos->e_lfanew) + sizeof(IMAGE_NT_HEADERS) > bytes.size()) {
            return;
        }
        headers_ = reinterpret_cast<const IMAGE_NT_HEADERS*>(bytes.data() + dos->e_lfanew);
        if (headers_->Signature != IMAGE_NT_SIGNATURE ||
            headers_->OptionalHeader.Magic != IMAGE_NT_OPTIONAL_HDR_MAGIC) {
            headers_ = nullptr;
        }
    }

    bool Valid() const {
        return headers_ != nullptr;
    }

    const IMAGE_SECTION_HEADER* Section(const char* name) const {
        const IMAGE_SECTION_HEADER* section = IMAGE_FIRST_SECTION(headers_);
        for (int i = 0; i < headers_->FileHeader.NumberOfSections; ++i, ++section) {
            if (std::strncmp(reinterpret_cast<const char*>(section->Name), name,
                             IMAGE_SIZEOF_SHORT_NAME) == 0) {
                return section;
            }
        }
        return nullptr;
    }

    // The file's bytes at a relative virtual address; null outside every section's raw data.
    const char* At(DWORD rva) const {
        const IMAGE_SECTION_HEADER* section = IMAGE_FIRST_SECTION(headers_);
        for (int i = 0; i < headers_->FileHeader.NumberOfSections; ++i, ++section) {
            const DWORD offset = rva - section->VirtualAddress;
            if (rva >= section->VirtualAddress && offset < section->SizeOfRawData &&
                section->PointerToRawData + offset < bytes_.size()) {
                return bytes_.data() + section->PointerToRawData + offset;
            }
        }
        return nullptr;
    }

    const IMAGE_DATA_DIRECTORY& Directory(int index) const {
        return headers_->OptionalHeader.DataDirectory[index];
    }

  private:
    const std::vector<char>& bytes_;
    const IMAGE_NT_HEADERS* headers_ = nullptr;
};

struct ImportTable {
    std::size_t bytes = 0;
    int modules = 0;
    int functions = 0;
};

ImportTable WalkImports(const PeImage& image) {
    ImportTable table;
    const auto* descriptor = reinterpret_cast<const IMAGE_IMPORT_DESCRIPTOR*>(
        image.At(image.Directory(IMAGE_DIRECTORY_ENTRY_IMPORT).VirtualAddress));
    for (; descriptor != nullptr && descriptor->Name != 0; ++descriptor) {
        ++table.modules;
        table.bytes += sizeof(*descriptor) + std::strlen(image.At(descriptor->Name)) + 1;
        const DWORD lookup = descriptor->OriginalFirstThunk != 0 ? descriptor->OriginalFirstThunk
                                                                 : descriptor->FirstThunk;
        const auto* thunk = reinterpret_cast<const IMAGE_THUNK_DATA*>(image.At(lookup));
        for (; thunk->u1.AddressOfData != 0; ++thunk) {
            ++table.functions;
            table.bytes += 2 * sizeof(*thunk); // lookup and address table entries
            if (!IMAGE_SNAP_BY_ORDINAL(thunk->u1.Ordinal)) {
                const std::size_t hintAndName =
                    2 + std::strlen(image.At(DWORD(thunk->u1.AddressOfData) + 2)) + 1;
                table.bytes += hintAndName + hintAndName % 2;
            }
        }
        table.bytes += 2 * sizeof(*thunk); // the two tables' terminators
    }
    table.bytes += sizeof(IMAGE_IMPORT_DESCRIPTOR); // the terminating descriptor
    return table;
}

} // namespace

int main(int argc, char** argv) {
    const std::vector<char> bytes = ReadFile(argc > 1 ? argv[1] : "moskel.scr");
    const PeImage image(bytes);
    if (!image.Valid()) {
        std::printf("error not a PE image of this architecture\n");
        return 1;
    }
    const IMAGE_SECTION_HEADER* resources = image.Section(".rsrc");
    const ImportTable imports = WalkImports(image);
    std::printf("scr_bytes %zu\n", bytes.size());
    std::printf("resource_bytes %lu\n", resources != nullptr ? resources->Misc.VirtualSize : 0UL);
    std::printf("model_table_bytes %zu\n", sizeof(g_materials) + sizeof(g_faces) +
                                               sizeof(g_vertices) + sizeof(g_normals) +
                                               sizeof(g_coordPairs) + sizeof(g_materialRuns));
    std::printf("import_bytes %zu\n", imports.bytes);
    std::printf("import_modules %d\n", imports.modules);
    std::printf("import_functions %d\n", imports.functions);
    return 0;
}
