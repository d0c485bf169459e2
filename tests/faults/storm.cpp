// A storm at a running full-screen saver from another program: 100,000 cursor moves within the
// mouse threshold, and thousands of WM_CLOSE, SC_CLOSE and SC_SCREENSAVE posted to its window,
// none of which may end it. Prints whether it still runs and draws afterwards, and how often the
// picture changed during the storm; ends it with a key. Exit code 1 on a fault. Run by tools/storm.
//   storm.exe [MOVES]

#include "tests/faults/running_saver.h"
#include "tests/support/screen.h"

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <thread>
#include <vector>

namespace {

// Looks at the centre of the screen every 20 ms until stopped: how many looks, and how many of
// them saw a picture other than the look before.
class PictureWatch {
  public:
    PictureWatch()
        : thread_([this] {
              std::vector<std::uint32_t> last = test::CaptureScreen(test::CentrePatch());
              while (!stop_) {
                  Sleep(20);
                  std::vector<std::uint32_t> now = test::CaptureScreen(test::CentrePatch());
                  ++looks_;
                  if (now != last) {
                      ++changes_;
                      last = std::move(now);
                  }
              }
          }) {}
    void Stop() {
        stop_ = true;
        thread_.join();
    }
    unsigned looks() const {
        return looks_;
    }
    unsigned changes() const {
        return changes_;
    }

  private:
    std::atomic<bool> stop_{false};
    std::atomic<unsigned> looks_{0};
    std::atomic<unsigned> changes_{0};
    std::thread thread_;
};

struct Posted {
    const char* name;
    UINT message;
    WPARAM wParam;
    unsigned count;
    unsigned refused;
};

} // namespace

int main(int argc, char** argv) {
    const unsigned moves = argc > 1 ? std::strtoul(argv[1], nullptr, 10) : 100000;
    constexpr unsigned kMovesPerPost = 25;
    const LONG reach = running::Reach();
    if (reach < 1) {
        std::printf("storm: the mouse threshold leaves no room for moves within it\n");
        return 1;
    }
    if (!running::CentreCursor()) {
        std::printf("storm: the cursor cannot be put in the centre of the screen\n");
        return 1;
    }
    test::SaverProcess saver;
    const HWND window = running::StartDrawing(saver);
    if (window == nullptr) {
        std::printf("storm: the saver does not draw\n");
        return 1;
    }

    Posted posted[] = {{"WM_CLOSE", WM_CLOSE, 0, 0, 0},
                       {"SC_CLOSE", WM_SYSCOMMAND, SC_CLOSE, 0, 0},
                       {"SC_SCREENSAVE", WM_SYSCOMMAND, SC_SCREENSAVE, 0, 0}};
    PictureWatch watch;
    const DWORD start = GetTickCount();
    for (unsigned move = 0; move < moves; ++move) {
        const POINT to = running::WalkWithin(reach, move);
        SetCursorPos(to.x, to.y);
        if (move % kMovesPerPost == 0) {
            Posted& post = posted[(move / kMovesPerPost) % std::size(posted)];
            ++post.count;
            post.refused += PostMessageA(window, post.message, post.wParam, 0) ? 0 : 1;
        }
    }
    const DWORD stormMs = GetTickCount() - start;
    watch.Stop();

    const bool running = test::WaitForExit(saver, 0) == STILL_ACTIVE && IsWindow(window);
    std::printf("storm at the %zu-bit saver: %u cursor moves within %ld pixels of its start, and"
                " posted",
                sizeof(void*) * 8, moves, reach);
    for (const Posted& post : posted) {
        std::printf(" %u %s (%u refused)", post.count, post.name, post.refused);
    }
    std::printf(", in %.1f s\n", stormMs / 1000.0);
    std::printf("picture during the storm: it changed at %u of %u looks, one look every 20 ms or"
                " more (several frames between two looks count once)\n",
                watch.changes(), watch.looks());
    const bool ok = running::EndWithAKey(saver, running);
    std::printf("storm: %s\n", ok ? "ok" : "FAULT");
    return ok ? 0 : 1;
}
