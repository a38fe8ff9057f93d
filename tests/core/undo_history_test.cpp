#include <gtest/gtest.h>

#include <functional>

#include "dataset/DataSetInit.h"
#include "dataset/UndoHistory.h"
#include "dataset/DataSetInit.h"
#include "model/Document.h"
#include "model/ModelCatalogue.h"

namespace velora {
namespace {

struct UndoFixture : ::testing::Test {
    UndoFixture() {
        defaultInitialise(doc, true, false);
        doc.image().markSaved();
        history.reset(working());
    }
    ImageCopy& working() { return doc.image().working(); }
    void edit(std::size_t offset, Byte value, const char* what) {
        working().main[offset] = value;
        history.record(working(), what);
    }
    Document doc;
    UndoHistory history;
};

TEST_F(UndoFixture, RecordsOnlyRealChanges) {
    EXPECT_FALSE(history.record(working(), "nothing"));
    working().ext[3] = working().ext[3];
    EXPECT_FALSE(history.record(working(), "same byte"));
    working().dtmf[0] ^= 0x5A;
    EXPECT_TRUE(history.record(working(), "DTMF"));
    EXPECT_EQ(history.undoCount(), 1u);
    EXPECT_EQ(history.undoText(), "DTMF");
}

TEST_F(UndoFixture, UndoAndRedoRestoreEveryStepExactly) {
    std::vector<ImageCopy> states{working()};
    const struct {
        std::size_t offset;
        Byte value;
        const char* what;
    } edits[] = {{0x100, 0x12, "first"}, {0x2345, 0x00, "second"}, {0x100, 0x34, "third"}};
    for (const auto& e : edits) {
        edit(e.offset, e.value, e.what);
        states.push_back(working());
    }
    for (std::size_t i = states.size() - 1; i > 0; --i) {
        EXPECT_EQ(history.undoText(), edits[i - 1].what);
        ASSERT_TRUE(history.undo(doc));
        EXPECT_TRUE(working() == states[i - 1]) << "after undoing step " << i;
    }
    EXPECT_FALSE(history.undo(doc));
    for (std::size_t i = 1; i < states.size(); ++i) {
        EXPECT_EQ(history.redoText(), edits[i - 1].what);
        ASSERT_TRUE(history.redo(doc));
        EXPECT_TRUE(working() == states[i]) << "after redoing step " << i;
    }
    EXPECT_FALSE(history.redo(doc));
}

TEST_F(UndoFixture, UndoBackToTheSavedImageIsUnmodified) {
    edit(0x200, 0x42, "edit");
    EXPECT_TRUE(doc.isModified());
    history.undo(doc);
    EXPECT_FALSE(doc.isModified());
    history.redo(doc);
    EXPECT_TRUE(doc.isModified());
}

TEST_F(UndoFixture, NewChangeDropsTheRedoSteps) {
    edit(0x200, 0x42, "a");
    history.undo(doc);
    ASSERT_TRUE(history.canRedo());
    edit(0x201, 0x43, "b");
    EXPECT_FALSE(history.canRedo());
}

TEST_F(UndoFixture, UnrecordedChangeIsUndoneFirst) {
    edit(0x200, 0x42, "a");
    const ImageCopy afterA = working();
    working().main[0x300] = 0x01; // committed but not recorded yet
    history.undo(doc);
    EXPECT_TRUE(working() == afterA);
}

TEST_F(UndoFixture, HistoryKeepsOnlyTheNewestSteps) {
    UndoHistory small(3);
    small.reset(working());
    for (Byte i = 1; i <= 5; ++i) {
        working().main[0x200] = i;
        small.record(working(), std::to_string(i));
    }
    EXPECT_EQ(small.undoCount(), 3u);
    while (small.undo(working())) {
    }
    EXPECT_EQ(working().main[0x200], 2); // steps 1 and 2 fell out; the state after step 2 stays
}

TEST_F(UndoFixture, ResetForgetsEverything) {
    edit(0x200, 0x42, "a");
    edit(0x201, 0x42, "b");
    history.undo(doc);
    history.reset(working());
    EXPECT_FALSE(history.canUndo());
    EXPECT_FALSE(history.canRedo());
    EXPECT_FALSE(history.undo(doc));
}

TEST_F(UndoFixture, CodecFollowsARestoredModel) {
    const ModelIdentification vhf = identificationOf(doc.image());
    ModelIdentification uhf = vhf;
    ASSERT_TRUE(uhf.setModelCode(2));
    uhf.setBandCode(kModel1, 6);
    setIdentification(doc.image(), uhf);
    doc.codec().loadBandLimits(uhf);
    history.record(working(), "Model Information");
    history.undo(doc);
    EXPECT_EQ(doc.codec().bandLimits(kModel1).group, BandGroup::Vhf);
    history.redo(doc);
    EXPECT_EQ(doc.codec().bandLimits(kModel1).group, BandGroup::Uhf);
}

TEST_F(UndoFixture, StepsRestoreTheFileNameThatWentWithThem) {
    doc.setFileName("site.dat");
    history.reset(doc);
    ModelIdentification id = identificationOf(doc.image());
    ASSERT_TRUE(id.setModelCode(2));
    setIdentification(doc.image(), id);
    doc.setFileName("velora.dat"); // as a model change names the data set
    history.record(doc, "Model Information");
    // Each row: the action, then the file name it leaves.
    const struct {
        const char* what;
        std::function<void()> act;
        const char* name;
    } steps[] = {
        {"undo", [&] { history.undo(doc); }, "site.dat"},
        {"redo", [&] { history.redo(doc); }, "velora.dat"},
        {"undo again", [&] { history.undo(doc); }, "site.dat"},
        {"save as",
         [&] {
             doc.setFileName("copy.dat");
             history.rebase(doc);
         },
         "copy.dat"},
        {"redo after save as", [&] { history.redo(doc); }, "velora.dat"},
        {"undo after save as", [&] { history.undo(doc); }, "copy.dat"},
    };
    for (const auto& s : steps) {
        s.act();
        EXPECT_EQ(doc.fileName(), s.name) << s.what;
    }
}

} // namespace
} // namespace velora
