#pragma once
// Reads the little-endian fields of a resource as the platform lays them out. Reading past the end
// gives zeros and marks the reader as overrun, so a short resource fails its checks, not the test.

#include "tests/resources/scr_resources.h"

#include <ostream>
#include <string>

namespace test {

// A name or text in a template: a number in the ordinal form (0xFFFF, number) or a string.
struct NameOrId {
    bool isNumber = false;
    WORD number = 0;
    std::wstring text;

    bool operator==(const NameOrId&) const = default;
};
NameOrId Number(WORD number);
NameOrId Text(const wchar_t* text);
void PrintTo(const NameOrId& value, std::ostream* out);

class ResourceReader {
  public:
    explicit ResourceReader(const Bytes& bytes, std::size_t offset = 0)
        : bytes_(bytes), offset_(offset) {}

    BYTE Byte();
    WORD Word();
    DWORD Dword();
    short Short() {
        return static_cast<short>(Word());
    }
    // A zero-terminated UTF-16 string.
    std::wstring String();
    // The template form of a name: 0x0000 for none, 0xFFFF then a number, or a string.
    NameOrId NameOrNumber();
    void AlignToDword() {
        offset_ = (offset_ + 3) & ~std::size_t{3};
    }

    std::size_t Offset() const {
        return offset_;
    }
    bool Overrun() const {
        return overrun_;
    }

  private:
    const Bytes& bytes_;
    std::size_t offset_;
    bool overrun_ = false;
};

} // namespace test
