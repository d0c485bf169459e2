#pragma once
// How the generators of committed files write their output.

#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

// Replaces the file at path with the bytes; says so on stderr when it cannot.
inline bool WriteFile(const std::string& path, const std::vector<unsigned char>& bytes) {
    std::ofstream file(path, std::ios::binary | std::ios::trunc);
    file.write(reinterpret_cast<const char*>(bytes.data()),
               static_cast<std::streamsize>(bytes.size()));
    file.close();
    if (!file) {
        std::fprintf(stderr, "cannot write %s\n", path.c_str());
        return false;
    }
    return true;
}
