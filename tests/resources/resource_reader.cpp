#include "tests/resources/resource_reader.h"

namespace test {

NameOrId Number(WORD number) {
    return {true, number, {}};
}

NameOrId Text(const wchar_t* text) {
    return {false, 0, text};
}

void PrintTo(const NameOrId& value, std::ostream* out) {
    if (value.isNumber) {
        *out << "#" << value.number;
        return;
    }
    *out << '"';
    for (wchar_t c : value.text) {
        *out << (c < 0x80 ? static_cast<char>(c) : '?');
    }
    *out << '"';
}

BYTE ResourceReader::Byte() {
    if (offset_ >= bytes_.size()) {
        overrun_ = true;
        return 0;
    }
    return bytes_[offset_++];
}

WORD ResourceReader::Word() {
    const WORD low = Byte();
    return static_cast<WORD>(low | Byte() << 8);
}

DWORD ResourceReader::Dword() {
    const DWORD low = Word();
    return low | static_cast<DWORD>(Word()) << 16;
}

std::wstring ResourceReader::String() {
    std::wstring text;
    for (WORD c = Word(); c != 0 && !overrun_; c = Word()) {
        text.push_back(static_cast<wchar_t>(c));
    }
    return text;
}

NameOrId ResourceReader::NameOrNumber() {
    const std::size_t start = offset_;
    const WORD first = Word();
    if (first == 0xFFFF) {
        return Number(Word());
    }
    offset_ = start;
    return {false, 0, String()};
}

} // namespace test
