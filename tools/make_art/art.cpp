#include "tools/make_art/art.h"

#include <array>
#include <cstdint>
#include <string_view>

namespace {

// Indices into the platform's standard 16-colour palette.
constexpr std::uint8_t kBlack = 0;
constexpr std::uint8_t kLightGrey = 7;
constexpr std::uint8_t kDarkGrey = 8;

// The standard palette as red, green, blue.
constexpr std::array<std::array<std::uint8_t, 3>, 16> kPalette = {{
    {0, 0, 0},
    {128, 0, 0},
    {0, 128, 0},
    {128, 128, 0},
    {0, 0, 128},
    {128, 0, 128},
    {0, 128, 128},
    {192, 192, 192},
    {128, 128, 128},
    {255, 0, 0},
    {0, 255, 0},
    {255, 255, 0},
    {0, 0, 255},
    {255, 0, 255},
    {0, 255, 255},
    {255, 255, 255},
}};

// The logo: the slab of five by four cubes seen from the front, its light cubes forming an M.
constexpr int kLogoColumns = 5;
constexpr int kLogoRows = 4;
constexpr std::array<std::string_view, kLogoRows> kLogo = {
    "L...L",
    "LL.LL",
    "L.L.L",
    "L...L",
};

// A 5 x 7 pixel font with just the glyphs that the picture writes.
constexpr int kGlyphWidth = 5;
constexpr int kGlyphHeight = 7;
struct Glyph {
    char letter;
    std::array<std::string_view, kGlyphHeight> rows;
};
constexpr std::array<Glyph, 11> kFont = {{
    {'M', {"X...X", "XX.XX", "X.X.X", "X.X.X", "X...X", "X...X", "X...X"}},
    {'o', {".....", ".....", ".XXX.", "X...X", "X...X", "X...X", ".XXX."}},
    {'s', {".....", ".....", ".XXXX", "X....", ".XXX.", "....X", "XXXX."}},
    {'k', {"X....", "X....", "X..X.", "X.X..", "XX...", "X.X..", "X..X."}},
    {'e', {".....", ".....", ".XXX.", "X...X", "XXXXX", "X....", ".XXX."}},
    {'l', {".XX..", "..X..", "..X..", "..X..", "..X..", "..X..", ".XXX."}},
    {'1', {"..X..", ".XX..", "..X..", "..X..", "..X..", "..X..", ".XXX."}},
    {'7', {"XXXXX", "....X", "...X.", "..X..", ".X...", ".X...", ".X..."}},
    {'8', {".XXX.", "X...X", "X...X", ".XXX.", "X...X", "X...X", ".XXX."}},
    {'9', {".XXX.", "X...X", "X...X", ".XXXX", "....X", "...X.", ".XX.."}},
    {'-', {".....", ".....", ".....", ".XXX.", ".....", ".....", "....."}},
}};

// A picture of palette indices, top row first.
class Image {
  public:
    Image(int width, int height)
        : width_(width), height_(height),
          pixels_(static_cast<std::size_t>(width * height), kBlack) {}

    int Width() const {
        return width_;
    }
    int Height() const {
        return height_;
    }
    std::uint8_t At(int x, int y) const {
        return pixels_[static_cast<std::size_t>(y * width_ + x)];
    }
    void FillRect(int left, int top, int width, int height, std::uint8_t colour) {
        for (int y = top; y < top + height; ++y) {
            for (int x = left; x < left + width; ++x) {
                pixels_[static_cast<std::size_t>(y * width_ + x)] = colour;
            }
        }
    }

  private:
    int width_;
    int height_;
    std::vector<std::uint8_t> pixels_;
};

// Each logo cell is `pitch` pixels; the square in it leaves `gap` pixels of black right and below.
void DrawLogo(Image& image, int left, int top, int pitch, int gap) {
    for (int row = 0; row < kLogoRows; ++row) {
        for (int column = 0; column < kLogoColumns; ++column) {
            const std::uint8_t colour =
                kLogo[static_cast<std::size_t>(row)][static_cast<std::size_t>(column)] == 'L'
                    ? kLightGrey
                    : kDarkGrey;
            image.FillRect(left + column * pitch, top + row * pitch, pitch - gap, pitch - gap,
                           colour);
        }
    }
}

// The texts are fixed; a letter missing from the font would show as the font's last glyph.
const Glyph& GlyphOf(char letter) {
    for (const Glyph& glyph : kFont) {
        if (glyph.letter == letter) {
            return glyph;
        }
    }
    return kFont.back();
}

// Glyphs are one font pixel apart; every font pixel is `scale` x `scale` picture pixels.
int TextWidth(std::string_view text, int scale) {
    return (static_cast<int>(text.size()) * (kGlyphWidth + 1) - 1) * scale;
}

void DrawCentredText(Image& image, std::string_view text, int top, int scale, std::uint8_t colour) {
    int left = (image.Width() - TextWidth(text, scale)) / 2;
    for (char letter : text) {
        const Glyph& glyph = GlyphOf(letter);
        for (int y = 0; y < kGlyphHeight; ++y) {
            for (int x = 0; x < kGlyphWidth; ++x) {
                if (glyph.rows[static_cast<std::size_t>(y)][static_cast<std::size_t>(x)] == 'X') {
                    image.FillRect(left + x * scale, top + y * scale, scale, scale, colour);
                }
            }
        }
        left += (kGlyphWidth + 1) * scale;
    }
}

void AppendU16(Bytes& bytes, unsigned value) {
    bytes.push_back(static_cast<unsigned char>(value & 0xFF));
    bytes.push_back(static_cast<unsigned char>((value >> 8) & 0xFF));
}

void AppendU32(Bytes& bytes, unsigned value) {
    AppendU16(bytes, value & 0xFFFF);
    AppendU16(bytes, value >> 16);
}

// Rows of 4-bit pixels, bottom row first, each padded to a multiple of four bytes.
unsigned PixelRowSize(int width) {
    return static_cast<unsigned>((width * 4 + 31) / 32 * 4);
}

unsigned MaskRowSize(int width) {
    return static_cast<unsigned>((width + 31) / 32 * 4);
}

// BITMAPINFOHEADER, the 16-entry colour table and the pixel rows. An icon image gives twice its
// height in the header, since its transparency mask follows the pixels.
void AppendDib(Bytes& bytes, const Image& image, int heightInHeader) {
    const unsigned rowSize = PixelRowSize(image.Width());
    AppendU32(bytes, 40);
    AppendU32(bytes, static_cast<unsigned>(image.Width()));
    AppendU32(bytes, static_cast<unsigned>(heightInHeader));
    AppendU16(bytes, 1); // planes
    AppendU16(bytes, 4); // bits per pixel
    AppendU32(bytes, 0); // BI_RGB
    AppendU32(bytes, rowSize * static_cast<unsigned>(image.Height()));
    for (int field = 0; field < 4; ++field) {
        AppendU32(bytes, 0); // resolutions, colours used, colours important
    }
    for (const auto& colour : kPalette) {
        AppendU32(bytes, static_cast<unsigned>(colour[2] | colour[1] << 8 | colour[0] << 16));
    }
    for (int y = image.Height() - 1; y >= 0; --y) {
        const std::size_t rowStart = bytes.size();
        // Two pixels to a byte, the left one in the high bits; both images are of even width.
        for (int x = 0; x < image.Width(); x += 2) {
            bytes.push_back(static_cast<unsigned char>(image.At(x, y) << 4 | image.At(x + 1, y)));
        }
        bytes.resize(rowStart + rowSize, 0);
    }
}

constexpr unsigned kDibHeaderAndPaletteSize = 40 + 16 * 4;

Image Picture() {
    Image image(300, 305);
    DrawLogo(image, 52, 36, 40, 4);
    DrawCentredText(image, "Moskel", 212, 4, kLightGrey);
    DrawCentredText(image, "1997-1998", 256, 2, kLightGrey);
    return image;
}

Image Icon() {
    Image image(32, 32);
    DrawLogo(image, 1, 6, 6, 0);
    return image;
}

} // namespace

Bytes PictureFile() {
    const Image image = Picture();
    const unsigned dataSize = kDibHeaderAndPaletteSize +
                              PixelRowSize(image.Width()) * static_cast<unsigned>(image.Height());
    Bytes bytes;
    AppendU16(bytes, 'B' | 'M' << 8);
    AppendU32(bytes, static_cast<unsigned>(kBitmapFileHeaderSize) + dataSize);
    AppendU32(bytes, 0); // reserved
    AppendU32(bytes, static_cast<unsigned>(kBitmapFileHeaderSize) + kDibHeaderAndPaletteSize);
    AppendDib(bytes, image, image.Height());
    return bytes;
}

Bytes IconFile() {
    const Image image = Icon();
    const unsigned imageSize =
        kDibHeaderAndPaletteSize + (PixelRowSize(image.Width()) + MaskRowSize(image.Width())) *
                                       static_cast<unsigned>(image.Height());
    Bytes bytes;
    AppendU16(bytes, 0); // reserved
    AppendU16(bytes, 1); // icon
    AppendU16(bytes, 1); // one image
    bytes.push_back(static_cast<unsigned char>(image.Width()));
    bytes.push_back(static_cast<unsigned char>(image.Height()));
    bytes.push_back(16); // colours
    bytes.push_back(0);  // reserved
    AppendU16(bytes, 1); // planes
    AppendU16(bytes, 4); // bits per pixel
    AppendU32(bytes, imageSize);
    AppendU32(bytes, static_cast<unsigned>(kIconFileHeaderSize));
    AppendDib(bytes, image, image.Height() * 2);
    // All-zero transparency mask: every pixel opaque.
    bytes.resize(bytes.size() + MaskRowSize(image.Width()) * static_cast<unsigned>(image.Height()),
                 0);
    return bytes;
}
