#include "host/command_line.h"

namespace {

bool IsCSpace(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

// Only the blank counts as white space between the parts of the command line; a tab does not.
const char* SkipBlanks(const char* p) {
    while (*p == ' ') {
        ++p;
    }
    return p;
}

const char* SkipBlanksAndColons(const char* p) {
    while (*p == ' ' || *p == ':') {
        ++p;
    }
    return p;
}

const char* SkipProgramName(const char* p) {
    if (*p == '"') {
        ++p;
        while (*p != '\0' && *p != '"') {
            ++p;
        }
    } else {
        while (*p != '\0' && *p != ' ') {
            ++p;
        }
    }
    if (*p != '\0') {
        ++p; // the closing quote or the blank
    }
    return p;
}

} // namespace

int32_t ReadDecimal(const char* text) {
    const char* p = text;
    while (IsCSpace(*p)) {
        ++p;
    }
    bool negative = false;
    if (*p == '+' || *p == '-') {
        negative = *p == '-';
        ++p;
    }
    // Accumulate the magnitude in 64 bits and stop growing it once it is past every 32-bit value.
    constexpr int64_t limit = int64_t{INT32_MAX} + 1;
    int64_t magnitude = 0;
    while (*p >= '0' && *p <= '9') {
        if (magnitude <= limit) {
            magnitude = magnitude * 10 + (*p - '0');
        }
        ++p;
    }
    if (negative) {
        return magnitude >= limit ? INT32_MIN : static_cast<int32_t>(-magnitude);
    }
    return magnitude >= limit ? INT32_MAX : static_cast<int32_t>(magnitude);
}

const char* ArgumentsOf(const char* commandLine) {
    return SkipBlanks(SkipProgramName(commandLine));
}

CommandLine ParseCommandLine(const char* commandLine) {
    CommandLine result;
    const char* p = ArgumentsOf(commandLine);
    if (*p == '\0') {
        result.mode = SaverMode::Config;
        return result;
    }
    if (*p == '-' || *p == '/') {
        ++p;
    }
    switch (*p) {
    case 'p':
    case 'P':
    case 'l':
    case 'L':
        result.parent = ReadDecimal(SkipBlanksAndColons(p + 1));
        result.mode = SaverMode::Preview;
        break;
    case 's':
    case 'S':
        result.mode = SaverMode::Saver;
        break;
    case 'c':
    case 'C':
        p = SkipBlanksAndColons(p + 1);
        if (*p == '\0') {
            result.ownerIsForeground = true;
        } else {
            result.parent = ReadDecimal(p);
        }
        result.mode = SaverMode::Config;
        break;
    case 'a':
    case 'A':
        result.parent = ReadDecimal(SkipBlanksAndColons(p + 1));
        result.mode = SaverMode::ChangePassword;
        break;
    default:
        break;
    }
    return result;
}
