#include "tools/make_animation/gif.h"

#include <algorithm>
#include <cstdint>
#include <map>
#include <string_view>

namespace {

using Colour = std::uint32_t; // 0xRRGGBB

constexpr int kTableSize = 256;
constexpr int kMinCodeSize = 8;
constexpr int kMaxCodeSize = 12;
constexpr int kMaxCodes = 1 << kMaxCodeSize;

Colour ColourAt(const Bytes& picture, std::size_t pixel) {
    return Colour(picture[3 * pixel]) << 16 | Colour(picture[3 * pixel + 1]) << 8 |
           picture[3 * pixel + 2];
}

int Channel(Colour colour, int shift) {
    return static_cast<int>(colour >> shift & 0xFF);
}

int DistanceSquared(Colour a, Colour b) {
    int sum = 0;
    for (int shift : {16, 8, 0}) {
        const int d = Channel(a, shift) - Channel(b, shift);
        sum += d * d;
    }
    return sum;
}

struct Palette {
    std::vector<Colour> colours;
    std::map<Colour, std::uint8_t> index;
};

// The pictures' colours, the most used first; ties go to the lower value, so the same pictures
// always give the same palette. Colours beyond its 256 take their nearest kept one; the figure's
// faces are flat, so it shows far fewer and the file keeps every colour drawn.
Palette FitPalette(const std::vector<Bytes>& pictures) {
    std::map<Colour, long> counts;
    for (const Bytes& picture : pictures) {
        for (std::size_t pixel = 0; pixel < picture.size() / 3; ++pixel) {
            ++counts[ColourAt(picture, pixel)];
        }
    }
    std::vector<std::pair<long, Colour>> byUse;
    for (const auto& [colour, count] : counts) {
        byUse.emplace_back(-count, colour);
    }
    std::sort(byUse.begin(), byUse.end());
    Palette palette;
    for (const auto& [negativeCount, colour] : byUse) {
        if (palette.colours.size() < kTableSize) {
            palette.index[colour] = static_cast<std::uint8_t>(palette.colours.size());
            palette.colours.push_back(colour);
        } else {
            const auto nearest = std::min_element(
                palette.colours.begin(), palette.colours.end(), [colour](Colour a, Colour b) {
                    return DistanceSquared(a, colour) < DistanceSquared(b, colour);
                });
            palette.index[colour] = palette.index[*nearest];
        }
    }
    return palette;
}

void AppendU16(Bytes& bytes, int value) {
    bytes.push_back(static_cast<unsigned char>(value & 0xFF));
    bytes.push_back(static_cast<unsigned char>(value >> 8 & 0xFF));
}

// Codes go out least significant bit first, packed into sub-blocks of at most 255 bytes.
class CodeWriter {
  public:
    void Write(int code, int size) {
        bits_ |= static_cast<std::uint32_t>(code) << count_;
        count_ += size;
        while (count_ >= 8) {
            data_.push_back(static_cast<unsigned char>(bits_ & 0xFF));
            bits_ >>= 8;
            count_ -= 8;
        }
    }
    void AppendBlocks(Bytes& bytes) {
        if (count_ > 0) {
            data_.push_back(static_cast<unsigned char>(bits_ & 0xFF));
        }
        for (std::size_t start = 0; start < data_.size(); start += 255) {
            const std::size_t length = std::min<std::size_t>(255, data_.size() - start);
            bytes.push_back(static_cast<unsigned char>(length));
            bytes.insert(bytes.end(), data_.begin() + static_cast<std::ptrdiff_t>(start),
                         data_.begin() + static_cast<std::ptrdiff_t>(start + length));
        }
        bytes.push_back(0);
    }

  private:
    Bytes data_;
    std::uint32_t bits_ = 0;
    int count_ = 0;
};

// LZW as GIF uses it. The reader adds each table entry one code later than the writer does, so
// both widen the codes at the same point; a full table is cleared.
void AppendLzw(Bytes& bytes, const Bytes& indices) {
    constexpr int kClear = 1 << kMinCodeSize;
    constexpr int kEnd = kClear + 1;
    // table[code * 256 + index]: the code of code's string followed by index, or 0 if none yet.
    std::vector<std::uint16_t> table(kMaxCodes * kTableSize);
    CodeWriter writer;
    int size = kMinCodeSize + 1;
    int next = kEnd + 1;
    writer.Write(kClear, size);
    int code = indices.front();
    for (std::size_t i = 1; i < indices.size(); ++i) {
        std::uint16_t& longer = table[static_cast<std::size_t>(code) * kTableSize + indices[i]];
        if (longer != 0) {
            code = longer;
            continue;
        }
        writer.Write(code, size);
        longer = static_cast<std::uint16_t>(next);
        if (next == 1 << size && size < kMaxCodeSize) {
            ++size;
        }
        if (++next == kMaxCodes) {
            writer.Write(kClear, size);
            std::fill(table.begin(), table.end(), 0);
            size = kMinCodeSize + 1;
            next = kEnd + 1;
        }
        code = indices[i];
    }
    writer.Write(code, size);
    if (next == 1 << size && size < kMaxCodeSize) {
        ++size;
    }
    writer.Write(kEnd, size);
    bytes.push_back(kMinCodeSize);
    writer.AppendBlocks(bytes);
}

struct Rectangle {
    int left, top, width, height;
};

// The smallest rectangle holding every pixel that differs from the previous picture (one pixel
// when none does: a frame cannot be empty).
Rectangle Changed(const Bytes& previous, const Bytes& picture, int width, int height) {
    int left = width, top = height, right = 0, bottom = 0;
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            const auto pixel = static_cast<std::size_t>(y * width + x);
            if (ColourAt(previous, pixel) != ColourAt(picture, pixel)) {
                left = std::min(left, x);
                top = std::min(top, y);
                right = std::max(right, x + 1);
                bottom = std::max(bottom, y + 1);
            }
        }
    }
    return left < right ? Rectangle{left, top, right - left, bottom - top} : Rectangle{0, 0, 1, 1};
}

// A picture's rectangle as palette indices. Pixels that did not change keep their colour rather
// than turn transparent: that breaks fewer of the runs LZW feeds on, and the figure's file came
// out an eighth smaller so.
Bytes Indices(const Palette& palette, const Bytes& picture, int width, Rectangle area) {
    Bytes indices;
    for (int y = area.top; y < area.top + area.height; ++y) {
        for (int x = area.left; x < area.left + area.width; ++x) {
            indices.push_back(
                palette.index.at(ColourAt(picture, static_cast<std::size_t>(y * width + x))));
        }
    }
    return indices;
}

void AppendHeader(Bytes& bytes, const Animation& animation, const Palette& palette) {
    for (char c : std::string_view("GIF89a")) {
        bytes.push_back(static_cast<unsigned char>(c));
    }
    AppendU16(bytes, animation.width);
    AppendU16(bytes, animation.height);
    bytes.push_back(0xF7); // a global table of 256 colours, 8 bits a channel
    bytes.push_back(0);    // background: the most used colour
    bytes.push_back(0);    // square pixels
    for (int i = 0; i < kTableSize; ++i) {
        const Colour colour = i < static_cast<int>(palette.colours.size()) ? palette.colours[i] : 0;
        for (int shift : {16, 8, 0}) {
            bytes.push_back(static_cast<unsigned char>(Channel(colour, shift)));
        }
    }
    // The application extension that browsers read as "repeat for ever".
    bytes.push_back(0x21);
    bytes.push_back(0xFF);
    bytes.push_back(11);
    for (char c : std::string_view("NETSCAPE2.0")) {
        bytes.push_back(static_cast<unsigned char>(c));
    }
    bytes.push_back(3);
    bytes.push_back(1);
    AppendU16(bytes, 0);
    bytes.push_back(0);
}

// Each frame is drawn over the one before (disposal 1), so it need only hold what changed.
void AppendFrame(Bytes& bytes, const Animation& animation, const Palette& palette,
                 const Bytes* previous, const Bytes& picture) {
    const Rectangle area = previous == nullptr
                               ? Rectangle{0, 0, animation.width, animation.height}
                               : Changed(*previous, picture, animation.width, animation.height);
    bytes.push_back(0x21);
    bytes.push_back(0xF9);
    bytes.push_back(4);
    bytes.push_back(1 << 2); // leave the frame in place; no transparent index
    AppendU16(bytes, animation.delayCentiseconds);
    bytes.push_back(0);
    bytes.push_back(0);
    bytes.push_back(0x2C);
    AppendU16(bytes, area.left);
    AppendU16(bytes, area.top);
    AppendU16(bytes, area.width);
    AppendU16(bytes, area.height);
    bytes.push_back(0); // no table of its own, not interlaced
    AppendLzw(bytes, Indices(palette, picture, animation.width, area));
}

} // namespace

Bytes GifFile(const Animation& animation) {
    const Palette palette = FitPalette(animation.pictures);
    Bytes bytes;
    AppendHeader(bytes, animation, palette);
    const Bytes* previous = nullptr;
    for (const Bytes& picture : animation.pictures) {
        AppendFrame(bytes, animation, palette, previous, picture);
        previous = &picture;
    }
    bytes.push_back(0x3B);
    return bytes;
}
