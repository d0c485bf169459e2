#include "tests/support/screen.h"

#include "tests/support/platform.h"

#include <algorithm>

namespace test {

std::vector<std::uint32_t> CaptureScreen(const RECT& area) {
    const int width = area.right - area.left;
    const int height = area.bottom - area.top;
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height; // top row first
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    const HDC screen = GetDC(nullptr);
    const HDC memory = CreateCompatibleDC(screen);
    const HBITMAP bitmap = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    const HGDIOBJ old = SelectObject(memory, bitmap);
    BitBlt(memory, 0, 0, width, height, screen, area.left, area.top, SRCCOPY);
    GdiFlush();
    const auto* first = static_cast<const std::uint32_t*>(bits);
    std::vector<std::uint32_t> pixels(first, first + static_cast<size_t>(width) * height);
    for (std::uint32_t& pixel : pixels) {
        pixel &= 0x00FFFFFF;
    }
    SelectObject(memory, old);
    DeleteObject(bitmap);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
    return pixels;
}

bool AllBlack(const std::vector<std::uint32_t>& pixels) {
    return std::all_of(pixels.begin(), pixels.end(), [](std::uint32_t p) { return p == 0; });
}

bool WaitForFrames(const RECT& area, int changes, DWORD timeoutMs) {
    std::vector<std::uint32_t> last = CaptureScreen(area);
    return PumpUntil(
        [&] {
            std::vector<std::uint32_t> now = CaptureScreen(area);
            if (now != last) {
                --changes;
                last = std::move(now);
            }
            return changes <= 0;
        },
        timeoutMs);
}

RECT CentrePatch() {
    const LONG cx = GetSystemMetrics(SM_CXSCREEN) / 2;
    const LONG cy = GetSystemMetrics(SM_CYSCREEN) / 2;
    return {cx - 40, cy - 40, cx + 40, cy + 40};
}

} // namespace test
