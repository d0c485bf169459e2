// Writes the product's picture and icon: make_art FOLDER gives FOLDER/moskel.bmp and
// FOLDER/moskel.ico. Run it under Wine from the checkout to refresh the committed files:
//   cmake --build build/i686 --target art

#include "tools/make_art/art.h"
#include "tools/write_file.h"

#include <cstdio>
#include <string>

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
