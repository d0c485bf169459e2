#include "host/command_line.h"

#include <gtest/gtest.h>

#include <climits>

namespace {

struct ParseCase {
    const char* commandLine;
    SaverMode mode;
    std::int32_t parent;
    bool ownerIsForeground;
};

void PrintTo(const ParseCase& c, std::ostream* out) {
    *out << '[' << c.commandLine << ']';
}

class ParseCommandLineTest : public ::testing::TestWithParam<ParseCase> {};

TEST_P(ParseCommandLineTest, SelectsModeAndParent) {
    const ParseCase& c = GetParam();
    const CommandLine line = ParseCommandLine(c.commandLine);
    EXPECT_EQ(c.mode, line.mode);
    EXPECT_EQ(c.parent, line.parent);
    EXPECT_EQ(c.ownerIsForeground, line.ownerIsForeground);
}

constexpr SaverMode None = SaverMode::None;
constexpr SaverMode Config = SaverMode::Config;
constexpr SaverMode Password = SaverMode::ChangePassword;
constexpr SaverMode Preview = SaverMode::Preview;
constexpr SaverMode Saver = SaverMode::Saver;

const ParseCase kCases[] = {
    // The switches, with and without a leading - or /, in either case.
    {"moskel.scr /s", Saver, 0, false},
    {"moskel.scr -S", Saver, 0, false},
    {"moskel.scr s", Saver, 0, false},
    {"moskel.scr /p 1234", Preview, 1234, false},
    {"moskel.scr /p:1234", Preview, 1234, false},
    {"moskel.scr /P 1234", Preview, 1234, false},
    {"moskel.scr /l 1234", Preview, 1234, false},
    {"moskel.scr /L:1234", Preview, 1234, false},
    {"moskel.scr /p : 99", Preview, 99, false},
    {"moskel.scr /c:5678", Config, 5678, false},
    {"moskel.scr /C 5678", Config, 5678, false},
    {"moskel.scr /a 42", Password, 42, false},
    {"moskel.scr -A:42", Password, 42, false},
    // No argument: the dialog without an owner; /c alone: owned by the foreground window.
    {"moskel.scr", Config, 0, false},
    {"moskel.scr   ", Config, 0, false},
    {"\"C:\\Program Files\\moskel.scr\"", Config, 0, false},
    {"moskel.scr /c", Config, 0, true},
    {"moskel.scr /c  ", Config, 0, true},
    {"moskel.scr /c::", Config, 0, true},
    {"moskel.scr /c 0", Config, 0, false},
    // A quoted program path with blanks inside it, and several blanks before the switch.
    {"\"C:\\Program Files\\My Savers\\moskel.scr\" /s", Saver, 0, false},
    {"\"C:\\Program Files\\moskel.scr\" /p 77", Preview, 77, false},
    {"moskel.scr     /s", Saver, 0, false},
    // The program name ends at the first blank only; a tab is an ordinary character.
    {"moskel.scr\t/s", Config, 0, false},
    {"moskel.scr \t/s", None, 0, false},
    // The number after s is not read; an unknown letter runs nothing.
    {"moskel.scr /s 1234", Saver, 0, false},
    {"moskel.scr /x", None, 0, false},
    {"moskel.scr /x 12", None, 0, false},
    {"moskel.scr /", None, 0, false},
    {"moskel.scr -", None, 0, false},
    {"moskel.scr //s", None, 0, false},
    // Numbers are read as atoi reads them.
    {"moskel.scr /p", Preview, 0, false},
    {"moskel.scr /p abc", Preview, 0, false},
    {"moskel.scr /p 12ab", Preview, 12, false},
    {"moskel.scr /p -5", Preview, -5, false},
    {"moskel.scr /p +5", Preview, 5, false},
    {"moskel.scr /p:\t7", Preview, 7, false},
    {"moskel.scr /a", Password, 0, false},
    {"moskel.scr /c 9999999999", Config, INT_MAX, false},
};

INSTANTIATE_TEST_SUITE_P(Examples, ParseCommandLineTest, ::testing::ValuesIn(kCases));

TEST(ReadDecimal, FollowsAtoiRulesAndClampsAtTheLimits) {
    const struct {
        const char* text;
        std::int32_t value;
    } cases[] = {
        {"", 0},
        {"   ", 0},
        {"-", 0},
        {"+", 0},
        {"x12", 0},
        {" \t\n\v\f\r42", 42},
        {"0042", 42},
        {"42 17", 42},
        {"- 4", 0},
        {"2147483647", INT_MAX},
        {"2147483648", INT_MAX},
        {"-2147483648", INT_MIN},
        {"-2147483649", INT_MIN},
        {"99999999999999999999999999", INT_MAX},
        {"-99999999999999999999999999", INT_MIN},
        {"00000000000000000000000000000007", 7},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(c.value, ReadDecimal(c.text)) << "for [" << c.text << "]";
    }
}

} // namespace
