#pragma once
// What the screen shows, read back through the platform's screen device context, the way a user
// would look at it.

#include <windows.h>

#include <cstdint>
#include <vector>

namespace test {

// The pixels of a screen rectangle, 0x00RRGGBB, top row first.
std::vector<std::uint32_t> CaptureScreen(const RECT& area);

bool AllBlack(const std::vector<std::uint32_t>& pixels);

// Waits until the area has changed `changes` times, one look after another: proof that frames are
// being drawn there. Returns false if it did not within the timeout.
bool WaitForFrames(const RECT& area, int changes, DWORD timeoutMs = 30000);

// A patch in the centre of the primary screen, where a full-screen saver's figure always is.
RECT CentrePatch();

} // namespace test
