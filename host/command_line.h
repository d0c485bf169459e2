#pragma once
// The screen-saver command line, parsed without any platform call so that it can be tested alone.

#include <stdint.h>

// What the display settings ask for. None: a switch that is not recognised, so nothing runs.
enum class SaverMode : int32_t {
    None = 0,
    Config = 1,
    ChangePassword = 2,
    Preview = 3,
    Saver = 4,
};

struct CommandLine {
    SaverMode mode = SaverMode::None;
    // The window handle given after the switch, as its decimal value; 0 when none is given.
    int32_t parent = 0;
    // "/c" with nothing after it: the dialog is owned by the foreground window, which only the
    // caller can ask the platform for.
    bool ownerIsForeground = false;
};

// Parses the whole command line, program name first, as GetCommandLineA returns it.
CommandLine ParseCommandLine(const char* commandLine);

// Where the arguments begin: past the program name, the one character that ends it, and blanks.
const char* ArgumentsOf(const char* commandLine);

// Reads a decimal number the way atoi does (leading white space, optional sign, digits up to the
// first non-digit, 0 without digits), but clamps at the 32-bit limits instead of overflowing.
int32_t ReadDecimal(const char* text);
