#include <gtest/gtest.h>

#include "model/Document.h"
#include "model/MemoryImage.h"

using namespace velora;

TEST(MemoryImage, ResetFillsWorkingAndStagingWithUnset) {
    MemoryImage img;
    img.main()[5] = 1;
    img.staging().ext[7] = 2;
    img.reset();
    for (auto b : img.working().main)
        ASSERT_EQ(b, 0xFF);
    EXPECT_EQ(img.staging(), img.working());
}

TEST(MemoryImage, ModificationIgnoresIdentificationOnly) {
    MemoryImage img;
    img.markSaved();
    EXPECT_FALSE(img.isModified());
    for (std::size_t i = 0; i < layout::kModelIdSize; ++i)
        img.main()[layout::kModelId + i] = static_cast<Byte>(i);
    EXPECT_FALSE(img.isModified()) << "a model identification change alone is no modification";
    img.main()[layout::kModelId + layout::kModelIdSize] = 0;
    EXPECT_TRUE(img.isModified()) << "the byte after the identification counts";
    img.markSaved();
    img.dtmf()[159] = 0x01;
    EXPECT_TRUE(img.isModified());
    img.markSaved();
    img.ext()[0] = 0x41;
    EXPECT_TRUE(img.isModified());
}

TEST(MemoryImage, StageAndAdopt) {
    MemoryImage img;
    img.main()[100] = 7;
    img.stage();
    EXPECT_EQ(img.staging().main[100], 7);
    img.staging().main[100] = 9;
    EXPECT_EQ(img.main()[100], 7) << "staging never writes through";
    img.adoptStaged();
    EXPECT_EQ(img.main()[100], 9);
}

TEST(MemoryImage, RegionOutOfRangeResolvesToAreaStart) {
    MemoryImage img;
    img.main()[0] = 0x11;
    EXPECT_EQ(img.region(Area::Main, layout::kMainSize).data(), img.main().data());
    EXPECT_EQ(img.region(Area::Dtmf, 5000).data(), img.dtmf().data());
    EXPECT_EQ(img.region(Area::Ext, 0x0A00).size(), layout::kExtSize - 0x0A00);
    EXPECT_EQ(img.region(Area::Main, 0x3EE0)[0], img.main()[0x3EE0]);
}

TEST(MemoryImage, ResetKeepingIdentification) {
    MemoryImage img;
    img.main()[layout::kModelId] = 'Q';
    img.main()[layout::kModelId + 9] = 0xF0;
    img.main()[0] = 3;
    img.resetKeepingIdentification();
    EXPECT_EQ(img.main()[0], 0xFF);
    EXPECT_EQ(img.main()[layout::kModelId], 'Q');
    EXPECT_EQ(img.main()[layout::kModelId + 9], 0xF0);
}

TEST(Bytes, AccessPastTheEndIsHarmless) {
    std::array<Byte, 4> a{1, 2, 3, 4};
    EXPECT_EQ(le16(a, 2), 0x0403);
    EXPECT_EQ(le16(a, 3), 0xFF04);
    setLe16(a, 3, 0xABCD);
    EXPECT_EQ(a[3], 0xCD);
    EXPECT_EQ(fixedText(std::array<Byte, 5>{'A', 'B', 0xFF, 'C', 'D'}, 0, 5), "AB");
}

TEST(Document, PathSplitsAtLastSeparator) {
    Document d;
    d.setPath("/home/tech/radios/fleet.dat");
    EXPECT_EQ(d.folder(), "/home/tech/radios/");
    EXPECT_EQ(d.fileName(), "fleet.dat");
    d.setPath("C:\\data\\x.dat");
    EXPECT_EQ(d.fileName(), "x.dat");
    d.setFileName(std::string(400, 'a'));
    EXPECT_EQ(d.fileName().size(), 259u);
}
