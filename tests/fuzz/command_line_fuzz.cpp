// libFuzzer target for the command-line parse, built natively with AddressSanitizer and
// UndefinedBehaviorSanitizer: any input, as GetCommandLineA could return it, must neither read past
// its end nor overflow, and what comes out must keep the promises that WinMain relies on.

#include "host/command_line.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <memory>

namespace {

void Require(bool holds, const char* promise, const char* line) {
    if (!holds) {
        std::fprintf(stderr, "broken: %s\nfor [%s]\n", promise, line);
        std::abort();
    }
}

// The C library's own reading of a decimal number (it saturates at 64 bits), clamped to 32 bits.
std::int32_t ClampedLibraryDecimal(const char* text) {
    const long long value = std::strtoll(text, nullptr, 10);
    if (value > std::numeric_limits<std::int32_t>::max()) {
        return std::numeric_limits<std::int32_t>::max();
    }
    if (value < std::numeric_limits<std::int32_t>::min()) {
        return std::numeric_limits<std::int32_t>::min();
    }
    return static_cast<std::int32_t>(value);
}

void CheckParse(const char* line) {
    const CommandLine parsed = ParseCommandLine(line);
    const auto mode = static_cast<std::int32_t>(parsed.mode);
    Require(mode >= 0 && mode <= 4, "the mode is one of the five values", line);
    const bool takesNumber = parsed.mode == SaverMode::Preview ||
                             parsed.mode == SaverMode::ChangePassword ||
                             parsed.mode == SaverMode::Config;
    Require(takesNumber || parsed.parent == 0, "/s and unknown switches have no parent", line);
    Require(!parsed.ownerIsForeground || parsed.mode == SaverMode::Config,
            "only /c is owned by the foreground window", line);
    Require(!parsed.ownerIsForeground || parsed.parent == 0,
            "a dialog owned by the foreground window has no number", line);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    // An exact-size copy, so that the sanitizer sees any read past the terminating zero.
    const std::unique_ptr<char[]> line(new char[size + 1]);
    std::memcpy(line.get(), data, size);
    line[size] = '\0';
    CheckParse(line.get());
    Require(ReadDecimal(line.get()) == ClampedLibraryDecimal(line.get()),
            "ReadDecimal agrees with the C library, clamped", line.get());
    return 0;
}
