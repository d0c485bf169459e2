#pragma once
// A real window of a test class whose procedure is SaverWindowProc, with g_mode and g_state set
// up the way the render run sets them, and the means to drive it with real messages.

#include "host/globals.h"
#include "host/saver_state.h"

#include "tests/support/registry.h"

#include <gtest/gtest.h>

namespace test {

class SaverWindowTest : public CleanRegistry {
  protected:
    void SetUp() override;
    void TearDown() override;

    // Saver mode: a full-screen popup, active and in the foreground, as the render run makes it.
    // Preview mode: a child as large as a test parent window. The settings are loaded first.
    void CreateSaverWindow(SaverMode mode);
    void DestroySaverWindow();

    // Handles what is queued, then tells whether the window is gone and the frame loop was told
    // to end.
    bool Closed();

    // Makes the saver look as if it had run this long already.
    void SetElapsed(DWORD milliseconds);

    SaverState state;
    HWND window = nullptr;
    HWND parent = nullptr;
};

} // namespace test
