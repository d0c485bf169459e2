// The committed picture and icon are what tools/make_art draws today, and every built moskel.scr
// carries exactly their data.

#include "resources/resource_ids.h"
#include "tests/resources/scr_resources.h"
#include "tests/support/saver_process.h"
#include "tools/make_art/art.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <string>

namespace {

// The build copies the committed files here.
test::Bytes ReadCommitted(const char* name) {
    std::ifstream file(test::ProgramFolder() + "committed\\" + name, std::ios::binary);
    return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}

test::Bytes WithoutFileHeader(const test::Bytes& file, std::size_t headerSize) {
    return file.size() < headerSize
               ? test::Bytes()
               : test::Bytes(file.begin() + static_cast<std::ptrdiff_t>(headerSize), file.end());
}

TEST(Art, CommittedFilesAreWhatTheGeneratorDraws) {
    const test::Bytes picture = ReadCommitted("moskel.bmp");
    const test::Bytes icon = ReadCommitted("moskel.ico");
    EXPECT_EQ(46478u, picture.size());
    EXPECT_EQ(766u, icon.size());
    EXPECT_TRUE(PictureFile() == picture)
        << "resources/moskel.bmp is stale: rebuild it with make_art";
    EXPECT_TRUE(IconFile() == icon) << "resources/moskel.ico is stale: rebuild it with make_art";
}

class ArtInExecutable : public test::BuiltScrTest {};
INSTANTIATE_TEST_SUITE_P(Builds, ArtInExecutable, ::testing::ValuesIn(test::kBuilds),
                         test::BuildName);

TEST_P(ArtInExecutable, CarriesTheCommittedData) {
    EXPECT_TRUE(WithoutFileHeader(ReadCommitted("moskel.bmp"), kBitmapFileHeaderSize) ==
                scr->Find(test::kBitmap, IDB_PICTURE, test::kGerman));
    EXPECT_TRUE(WithoutFileHeader(ReadCommitted("moskel.ico"), kIconFileHeaderSize) ==
                scr->Find(test::kIcon, IDI_SAVER, test::kGerman));
}

} // namespace
