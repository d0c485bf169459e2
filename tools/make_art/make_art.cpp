// Writes the product's picture and icon: make_art FOLDER gives FOLDER/moskel.bmp and
// FOLDER/moskel.ico. Run it under Wine from the checkout to refresh the committed files:
//   cmake --build build/i686 --target art

#include "tools/make_art/art.h"

#include <cstdio>
#include <fstream>
#include <string>

namespace {

bool WriteFile(const std::string& path, const Bytes& bytes) {
    std::ofstream file(path, std::ios::binary | std::ios::trunc);
    file.write(reinterpret_cast<const char*>(bytes.data()),
               static_cast<std::streamsize>(bytes.size()));
    file.close();
    if (!file) {
        std::fprintf(stderr, "make_art: cannot write %s\n", path.c_str());
        return false;
    }
    return true;
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: make_art FOLDER\n");
        return 2;
    }
    const std::string folder = argv[1];
    const bool written = WriteFile(folder + "/moskel.bmp", PictureFile()) &&
                         WriteFile(folder + "/moskel.ico", IconFile());
    return written ? 0 : 1;
}
