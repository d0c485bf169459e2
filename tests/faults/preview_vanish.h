#pragma once
// The points of a preview saver's start-up at which its preview window goes: shared by the test
// and by preview_host.exe, the stand-in for the display settings' process.

namespace preview {

enum class Vanish {
    AtOnce,           // the saver is still loading: its window does not exist yet
    InsideCreation,   // from the parent's WM_PARENTNOTIFY: the saver is inside CreateWindowExA
    AfterCreation,    // right after that notification: the saver sets up its pixel format
    DuringSetUp,      // a little later, while the saver sets up OpenGL
    AfterFirstFrames, // once the saver answers messages from its frame loop
};

constexpr Vanish kVanishes[] = {Vanish::AtOnce, Vanish::InsideCreation, Vanish::AfterCreation,
                                Vanish::DuringSetUp, Vanish::AfterFirstFrames};

constexpr unsigned kSetUpDelayMs = 50;

constexpr const char* kHostClass = "MoskelPreviewHost";

inline const char* NameOf(Vanish vanish) {
    switch (vanish) {
    case Vanish::AtOnce:
        return "at once";
    case Vanish::InsideCreation:
        return "inside the creation of the saver's window";
    case Vanish::AfterCreation:
        return "right after the creation of the saver's window";
    case Vanish::DuringSetUp:
        return "during the set-up of OpenGL";
    case Vanish::AfterFirstFrames:
        return "after the first frames";
    }
    return "?";
}

} // namespace preview
