// The resources of every built moskel.scr, read back from the file: exactly five, each in its one
// language, and each laid out as the platform expects it.

#include "resources/resource_ids.h"
#include "tests/resources/resource_reader.h"
#include "tests/resources/scr_resources.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstdio>
#include <cwctype>
#include <string>
#include <vector>

namespace {

using namespace test;

// Strings 0 to 15 make string-table block 1.
constexpr WORD kStringBlock = IDS_DESCRIPTION / 16 + 1;

class ResourcesTest : public BuiltScrTest {};
INSTANTIATE_TEST_SUITE_P(Builds, ResourcesTest, ::testing::ValuesIn(kBuilds), BuildName);

TEST_P(ResourcesTest, FileCarriesExactlyTheFiveResourcesEachInOneLanguage) {
    const std::set<ResourceKey> expected = {
        {kString, kStringBlock, kEnglishUs},    {kIcon, IDI_SAVER, kGerman},
        {kGroupIcon, IDI_SAVER_GROUP, kGerman}, {kDialog, IDD_CONFIG, kEnglishUs},
        {kBitmap, IDB_PICTURE, kGerman},
    };
    EXPECT_EQ(expected, scr->List()) << "(type, name, language); 65535 is a name given as a string";
}

TEST_P(ResourcesTest, SizesAsStored) {
    struct SizeCase {
        WORD type, name, language;
        std::size_t size;
    };
    constexpr SizeCase kCases[] = {
        {kIcon, IDI_SAVER, kGerman, 744},
        {kGroupIcon, IDI_SAVER_GROUP, kGerman, 20},
        {kBitmap, IDB_PICTURE, kGerman, 46464},
    };
    for (const SizeCase& c : kCases) {
        EXPECT_EQ(c.size, scr->Find(c.type, c.name, c.language).size())
            << "type " << c.type << ", name " << c.name;
    }
}

TEST_P(ResourcesTest, EachIsFoundWithoutNamingALanguage) {
    const std::array<std::pair<WORD, WORD>, 5> resources = {{
        {kString, kStringBlock},
        {kIcon, IDI_SAVER},
        {kGroupIcon, IDI_SAVER_GROUP},
        {kDialog, IDD_CONFIG},
        {kBitmap, IDB_PICTURE},
    }};
    for (const auto& [type, name] : resources) {
        const Bytes bytes = scr->FindAnyLanguage(type, name);
        EXPECT_FALSE(bytes.empty()) << "type " << type << ", name " << name;
        const WORD language = type == kString || type == kDialog ? kEnglishUs : kGerman;
        EXPECT_TRUE(scr->Find(type, name, language) == bytes)
            << "type " << type << ", name " << name << ": the one language is the one found";
    }
}

TEST_P(ResourcesTest, StringBlockHoldsTheDescriptionAndFifteenEmptyStrings) {
    const Bytes block = scr->Find(kString, kStringBlock, kEnglishUs);
    ResourceReader reader(block);
    for (WORD id = 0; id < 16; ++id) {
        const WORD length = reader.Word();
        std::wstring text;
        for (WORD i = 0; i < length; ++i) {
            text.push_back(static_cast<wchar_t>(reader.Word()));
        }
        EXPECT_EQ(id == IDS_DESCRIPTION ? L"Moskel screen saver" : L"", text) << "string " << id;
    }
    EXPECT_FALSE(reader.Overrun());
    EXPECT_EQ(block.size(), reader.Offset()) << "nothing follows the sixteen strings";
}

// One control of a plain DLGTEMPLATE.
struct Control {
    DWORD style = 0;
    DWORD extendedStyle = 0;
    short x = 0, y = 0, width = 0, height = 0;
    WORD id = 0;
    NameOrId windowClass;
    NameOrId text;
    WORD creationDataSize = 0;
};

struct DialogTemplate {
    DWORD style = 0;
    DWORD extendedStyle = 0;
    WORD controlCount = 0;
    short x = 0, y = 0, width = 0, height = 0;
    NameOrId menu;
    NameOrId windowClass;
    std::wstring caption;
    WORD pointSize = 0;
    std::wstring typeface;
    std::vector<Control> controls;
    bool overrun = false;
};

DialogTemplate ReadDialog(const Bytes& bytes) {
    ResourceReader reader(bytes);
    DialogTemplate dialog;
    dialog.style = reader.Dword();
    dialog.extendedStyle = reader.Dword();
    dialog.controlCount = reader.Word();
    dialog.x = reader.Short();
    dialog.y = reader.Short();
    dialog.width = reader.Short();
    dialog.height = reader.Short();
    dialog.menu = reader.NameOrNumber();
    dialog.windowClass = reader.NameOrNumber();
    dialog.caption = reader.String();
    if (dialog.style & DS_SETFONT) {
        dialog.pointSize = reader.Word();
        dialog.typeface = reader.String();
    }
    for (WORD i = 0; i < dialog.controlCount && !reader.Overrun(); ++i) {
        reader.AlignToDword();
        Control control;
        control.style = reader.Dword();
        control.extendedStyle = reader.Dword();
        control.x = reader.Short();
        control.y = reader.Short();
        control.width = reader.Short();
        control.height = reader.Short();
        control.id = reader.Word();
        control.windowClass = reader.NameOrNumber();
        control.text = reader.NameOrNumber();
        control.creationDataSize = reader.Word();
        for (WORD skip = 0; skip < control.creationDataSize; ++skip) {
            reader.Byte();
        }
        dialog.controls.push_back(control);
    }
    dialog.overrun = reader.Overrun();
    return dialog;
}

std::string Hex(DWORD value) {
    char text[11] = {};
    std::snprintf(text, sizeof(text), "0x%08lX", static_cast<unsigned long>(value));
    return text;
}

// Predefined classes are stored either as an ordinal or by name, in any case.
std::wstring ClassName(const NameOrId& windowClass) {
    if (windowClass.isNumber) {
        switch (windowClass.number) {
        case 0x80:
            return L"BUTTON";
        case 0x82:
            return L"STATIC";
        default:
            return L"#" + std::to_wstring(windowClass.number);
        }
    }
    std::wstring name = windowClass.text;
    std::transform(name.begin(), name.end(), name.begin(),
                   [](wchar_t c) { return static_cast<wchar_t>(std::towupper(c)); });
    return name;
}

class DialogTemplateTest : public ResourcesTest {
  protected:
    void SetUp() override {
        ASSERT_NO_FATAL_FAILURE(ResourcesTest::SetUp());
        if (IsSkipped()) {
            return;
        }
        dialog = ReadDialog(scr->Find(kDialog, IDD_CONFIG, kEnglishUs));
        ASSERT_FALSE(dialog.overrun) << "the template ends early";
    }
    const Control* CheckBox() const {
        for (const Control& control : dialog.controls) {
            if (control.id == IDC_ROTATE) {
                return &control;
            }
        }
        return nullptr;
    }
    DialogTemplate dialog;
};
INSTANTIATE_TEST_SUITE_P(Builds, DialogTemplateTest, ::testing::ValuesIn(kBuilds), BuildName);

TEST_P(DialogTemplateTest, HeaderFields) {
    // A DLGTEMPLATEEX would start with version 1 and signature 0xFFFF.
    EXPECT_NE(0xFFFF0001u, dialog.style) << "plain DLGTEMPLATE, not the extended form";
    EXPECT_EQ("0x80C800C0", Hex(dialog.style));
    EXPECT_EQ(0u, dialog.extendedStyle);
    EXPECT_EQ(4, dialog.controlCount);
    EXPECT_EQ(0, dialog.x);
    EXPECT_EQ(0, dialog.y);
    EXPECT_EQ(272, dialog.width);
    EXPECT_EQ(290, dialog.height);
    EXPECT_EQ(test::Text(L""), dialog.menu) << "no menu";
    EXPECT_EQ(test::Text(L""), dialog.windowClass) << "the standard dialog class";
    EXPECT_EQ(L"Config dialog", dialog.caption);
    EXPECT_EQ(8, dialog.pointSize);
    EXPECT_EQ(L"MS Sans Serif", dialog.typeface);
}

TEST_P(DialogTemplateTest, ButtonsAndPictureInTheirOrder) {
    struct ExpectedControl {
        const wchar_t* className;
        NameOrId text;
        WORD id;
        DWORD style;
        short x, y, width, height;
    };
    const ExpectedControl expected[] = {
        {L"BUTTON", test::Text(L"OK"), IDOK, 0x50010001, 215, 7, 50, 14},
        {L"BUTTON", test::Text(L"Cancel"), IDCANCEL, 0x50010000, 215, 25, 50, 14},
        {L"STATIC", test::Number(IDB_PICTURE), 0xFFFF, 0x50801A0E, 7, 53, 258, 230},
    };
    std::vector<Control> others;
    std::copy_if(dialog.controls.begin(), dialog.controls.end(), std::back_inserter(others),
                 [](const Control& control) { return control.id != IDC_ROTATE; });
    ASSERT_EQ(std::size(expected), others.size());
    for (std::size_t i = 0; i < others.size(); ++i) {
        const ExpectedControl& want = expected[i];
        const Control& got = others[i];
        SCOPED_TRACE(testing::Message() << "control " << i << ", id " << want.id);
        EXPECT_EQ(want.className, ClassName(got.windowClass));
        EXPECT_EQ(want.text, got.text);
        EXPECT_EQ(want.id, got.id);
        EXPECT_EQ(Hex(want.style), Hex(got.style));
        EXPECT_EQ(0u, got.extendedStyle);
        EXPECT_EQ(want.x, got.x);
        EXPECT_EQ(want.y, got.y);
        EXPECT_EQ(want.width, got.width);
        EXPECT_EQ(want.height, got.height);
        EXPECT_EQ(0, got.creationDataSize);
    }
}

TEST_P(DialogTemplateTest, RotateCheckBoxStandsAloneLeftOfTheButtonsAboveThePicture) {
    const Control* box = CheckBox();
    ASSERT_NE(nullptr, box);
    EXPECT_EQ(L"BUTTON", ClassName(box->windowClass));
    EXPECT_EQ(Hex(WS_CHILD | WS_VISIBLE | BS_AUTOCHECKBOX), Hex(box->style & ~WS_TABSTOP))
        << "WS_TABSTOP may be there, nothing else";
    EXPECT_EQ(0u, box->extendedStyle);
    EXPECT_EQ(0, box->creationDataSize);
    EXPECT_FALSE(box->text.isNumber);
    EXPECT_NE(std::wstring::npos, box->text.text.find(L"otate"))
        << "a label that says what it does";
    // The free area: x 7 to 208, y 7 to 46.
    EXPECT_GE(box->x, 7);
    EXPECT_GE(box->y, 7);
    EXPECT_LE(box->x + box->width, 208);
    EXPECT_LE(box->y + box->height, 46);
    EXPECT_GT(box->width, 0);
    EXPECT_GT(box->height, 0);
}

// A BITMAPINFOHEADER as stored, with the colour table that follows it.
struct DibHeader {
    DWORD size;
    LONG width, height;
    WORD planes, bitCount;
    DWORD compression, imageSize;
    LONG xPelsPerMeter, yPelsPerMeter;
    DWORD colorsUsed, colorsImportant;
    std::array<DWORD, 16> palette;
};

DibHeader ReadDibHeader(ResourceReader& reader) {
    DibHeader header = {};
    header.size = reader.Dword();
    header.width = static_cast<LONG>(reader.Dword());
    header.height = static_cast<LONG>(reader.Dword());
    header.planes = reader.Word();
    header.bitCount = reader.Word();
    header.compression = reader.Dword();
    header.imageSize = reader.Dword();
    header.xPelsPerMeter = static_cast<LONG>(reader.Dword());
    header.yPelsPerMeter = static_cast<LONG>(reader.Dword());
    header.colorsUsed = reader.Dword();
    header.colorsImportant = reader.Dword();
    for (DWORD& entry : header.palette) {
        entry = reader.Dword();
    }
    return header;
}

// The standard 16-colour palette as stored: blue, green, red, 0 read as one little-endian word.
constexpr std::array<DWORD, 16> kStandardPalette = {
    0x000000, 0x800000, 0x008000, 0x808000, 0x000080, 0x800080, 0x008080, 0xC0C0C0,
    0x808080, 0xFF0000, 0x00FF00, 0xFFFF00, 0x0000FF, 0xFF00FF, 0x00FFFF, 0xFFFFFF,
};

void ExpectDibHeader(const DibHeader& header, LONG width, LONG height, DWORD imageSize) {
    EXPECT_EQ(40u, header.size);
    EXPECT_EQ(width, header.width);
    EXPECT_EQ(height, header.height);
    EXPECT_EQ(1, header.planes);
    EXPECT_EQ(4, header.bitCount);
    EXPECT_EQ(static_cast<DWORD>(BI_RGB), header.compression);
    EXPECT_EQ(imageSize, header.imageSize);
    EXPECT_EQ(0, header.xPelsPerMeter);
    EXPECT_EQ(0, header.yPelsPerMeter);
    EXPECT_EQ(0u, header.colorsUsed);
    EXPECT_EQ(0u, header.colorsImportant);
    EXPECT_EQ(kStandardPalette, header.palette);
}

// 4-bit pixels of a bottom-up DIB, addressed from the top row.
class FourBitPixels {
  public:
    FourBitPixels(const Bytes& bytes, std::size_t offset, int width, int height)
        : bytes_(bytes), offset_(offset), width_(width), height_(height) {}

    int RowSize() const {
        return (width_ * 4 + 31) / 32 * 4;
    }
    std::size_t ByteOffset(int x, int y) const {
        return offset_ + static_cast<std::size_t>((height_ - 1 - y) * RowSize() + x / 2);
    }
    int At(int x, int y) const {
        const unsigned char pair = bytes_.at(ByteOffset(x, y));
        return x % 2 == 0 ? pair >> 4 : pair & 0x0F;
    }

  private:
    const Bytes& bytes_;
    std::size_t offset_;
    int width_;
    int height_;
};

constexpr std::size_t kDibHeaderAndPalette = 40 + 64;

TEST_P(ResourcesTest, PictureIsA16ColourBitmapInThreeGreysOnBlack) {
    const Bytes bitmap = scr->Find(kBitmap, IDB_PICTURE, kGerman);
    ASSERT_EQ(46464u, bitmap.size());
    ResourceReader reader(bitmap);
    ExpectDibHeader(ReadDibHeader(reader), 300, 305, 46360);

    const FourBitPixels pixels(bitmap, kDibHeaderAndPalette, 300, 305);
    EXPECT_EQ(0, pixels.At(0, 0)) << "the top-left pixel fills the rest of the picture control";
    std::array<int, 16> counts = {};
    for (int y = 0; y < 305; ++y) {
        for (int x = 0; x < 300; ++x) {
            ++counts[static_cast<std::size_t>(pixels.At(x, y))];
        }
    }
    for (int colour = 0; colour < 16; ++colour) {
        const bool used = colour == 0 || colour == 7 || colour == 8;
        EXPECT_EQ(used, counts[static_cast<std::size_t>(colour)] > 0) << "colour " << colour;
    }
    EXPECT_GT(counts[0], counts[7] + counts[8]) << "a logo and lettering on a black field";
}

TEST_P(ResourcesTest, IconIsTheGridOfSquaresOnBlackAndFullyOpaque) {
    const Bytes icon = scr->Find(kIcon, IDI_SAVER, kGerman);
    ASSERT_EQ(744u, icon.size());
    ResourceReader reader(icon);
    ExpectDibHeader(ReadDibHeader(reader), 32, 64, 512);

    const FourBitPixels pixels(icon, kDibHeaderAndPalette, 32, 32);
    std::array<int, 16> counts = {};
    for (int y = 0; y < 32; ++y) {
        for (int x = 0; x < 32; ++x) {
            const int colour = pixels.At(x, y);
            ++counts[static_cast<std::size_t>(colour)];
            const bool inGrid = x >= 1 && x < 1 + 5 * 6 && y >= 6 && y < 6 + 4 * 6;
            if (!inGrid) {
                EXPECT_EQ(0, colour) << "outside the grid at " << x << "," << y;
                continue;
            }
            EXPECT_TRUE(colour == 7 || colour == 8) << "at " << x << "," << y;
            // Each 6 x 6 cell is one square of one colour.
            const int cellLeft = (x - 1) / 6 * 6 + 1;
            const int cellTop = (y - 6) / 6 * 6 + 6;
            EXPECT_EQ(pixels.At(cellLeft, cellTop), colour) << "at " << x << "," << y;
        }
    }
    EXPECT_GT(counts[7], 0);
    EXPECT_GT(counts[8], 0);

    const auto maskStart = icon.begin() + static_cast<std::ptrdiff_t>(kDibHeaderAndPalette + 512);
    EXPECT_EQ(128, icon.end() - maskStart);
    EXPECT_TRUE(std::all_of(maskStart, icon.end(), [](unsigned char b) { return b == 0; }))
        << "every pixel opaque";
}

TEST_P(ResourcesTest, IconGroupListsIconOne) {
    const Bytes group = scr->Find(kGroupIcon, IDI_SAVER_GROUP, kGerman);
    ASSERT_EQ(20u, group.size());
    ResourceReader reader(group);
    EXPECT_EQ(0, reader.Word()) << "reserved";
    EXPECT_EQ(1, reader.Word()) << "type: icon";
    EXPECT_EQ(1, reader.Word()) << "count";
    EXPECT_EQ(32, reader.Byte()) << "width";
    EXPECT_EQ(32, reader.Byte()) << "height";
    EXPECT_EQ(16, reader.Byte()) << "colour count";
    EXPECT_EQ(0, reader.Byte()) << "reserved";
    EXPECT_EQ(1, reader.Word()) << "planes";
    EXPECT_EQ(4, reader.Word()) << "bits per pixel";
    EXPECT_EQ(744u, reader.Dword()) << "size of the image";
    EXPECT_EQ(IDI_SAVER, reader.Word()) << "icon id";
    EXPECT_FALSE(reader.Overrun());
}

} // namespace
