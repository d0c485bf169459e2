#pragma once
// Putting the built stand-ins where the saver looks for the platform's modules, and taking them
// away again: the Wine prefix is shared by every test and by later real runs.

#include <windows.h>

#include <string>

namespace standin {

// A built stand-in: with its entry point (standins\ beside the test programs) or without it
// (standins\no_entry\).
std::string BuiltModule(const char* fileName, bool withEntry = true);

// The platform's system directory as this process sees it, with a trailing backslash.
std::string SystemDirectory();

// Puts a copy of source at destination for the object's lifetime. A file already there is moved
// aside and put back afterwards; one that an interrupted run left aside is put back first.
class PlacedFile {
  public:
    PlacedFile(const std::string& source, const std::string& destination);
    ~PlacedFile();
    PlacedFile(const PlacedFile&) = delete;
    PlacedFile& operator=(const PlacedFile&) = delete;

    bool Placed() const {
        return placed_;
    }

  private:
    std::string destination_;
    std::string saved_;
    bool movedAside_ = false;
    bool placed_ = false;
};

} // namespace standin
