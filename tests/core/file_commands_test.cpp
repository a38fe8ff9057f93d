#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstring>
#include <fstream>
#include <functional>

#include "TestSupport.h"
#include "dataset/DataSetInit.h"
#include "dataset/FileCommands.h"
#include "model/DataFile.h"
#include "model/ModelCatalogue.h"

using namespace velora;
using namespace velora::test;

namespace {

struct FakeUi : FileUi {
    std::optional<std::string> openPath, savePath;
    int closes = 0, openDialogs = 0, saveDialogs = 0;
    std::optional<std::string> chooseOpenPath(const std::string&) override {
        ++openDialogs;
        return openPath;
    }
    std::optional<std::string> chooseSavePath(const std::string&, const std::string&) override {
        ++saveDialogs;
        return savePath;
    }
    void closeAllEditors() override { ++closes; }
};

struct FileCommandsTest : ::testing::Test {
    TempDir dir;
    MessengerFixture fx;
    Document doc;
    FakeUi ui;
    FileCommands commands{doc, fx.boxes, ui};

    void SetUp() override {
        setIdentification(doc.image(), ModelIdentification::defaults());
        defaultInitialise(doc, false, true);
        doc.image().markSaved();
        doc.setFolder(dir.path().string());
    }
    void modify() { doc.image().main()[layout::kEmbeddedMessage] = 'A'; }
};

} // namespace

TEST_F(FileCommandsTest, ConfirmDiscardAsksOnlyWhenModified) {
    EXPECT_TRUE(commands.confirmDiscard());
    EXPECT_TRUE(fx.messenger.shown.empty());

    modify();
    fx.messenger.answers = {MsgAnswer::Cancel};
    EXPECT_FALSE(commands.confirmDiscard());
    ASSERT_EQ(fx.messenger.shown.size(), 1u);
    EXPECT_EQ(fx.messenger.shown[0].text, "T216 \"velora.dat\" ?");
    EXPECT_EQ(fx.messenger.shown[0].caption, "VELORA");
    EXPECT_EQ(fx.messenger.shown[0].buttons, MsgButtons::YesNoCancel);

    fx.messenger.answers = {MsgAnswer::No};
    EXPECT_TRUE(commands.confirmDiscard());
    EXPECT_EQ(ui.saveDialogs, 0);
}

// Yes in the save question goes on only once the data set is saved; leaving the file dialog or a
// failed write cancels the whole command and keeps the edits.
TEST_F(FileCommandsTest, YesGoesOnOnlyAfterACompletedSave) {
    struct Command {
        const char* name;
        std::vector<MsgAnswer> answers; // up to and including Yes in the save question
        std::function<bool()> goesOn;
    };
    const Command cases[] = {
        {"new",
         {MsgAnswer::Ok, MsgAnswer::Yes},
         [&] { return commands.newDataSet() == CommandOutcome::Done; }},
        {"open",
         {MsgAnswer::Yes},
         [&] {
             const int before = ui.openDialogs;
             commands.open();
             return ui.openDialogs > before;
         }},
        {"exit", {MsgAnswer::Yes, MsgAnswer::Yes}, [&] { return commands.confirmExit(); }},
        {"read from radio, model change", {MsgAnswer::Yes}, [&] { return commands.confirmDiscard(); }},
    };
    const struct {
        const char* name;
        std::optional<std::string> savePath;
        bool goesOn;
    } saves[] = {
        {"file dialog left", std::nullopt, false},
        {"write failed", dir.file("no/such/folder/x.dat"), false},
        {"saved", dir.file("kept.dat"), true},
    };
    Byte edit = 'A';
    for (const Command& c : cases)
        for (const auto& save : saves) {
            doc.image().main()[layout::kEmbeddedMessage] = ++edit;
            fx.messenger.answers = {c.answers.begin(), c.answers.end()};
            ui.savePath = save.savePath;
            ui.openPath.reset();
            EXPECT_EQ(c.goesOn(), save.goesOn) << c.name << ", " << save.name;
            if (!save.goesOn) {
                EXPECT_TRUE(doc.isModified()) << c.name << ", " << save.name;
                EXPECT_EQ(doc.image().main()[layout::kEmbeddedMessage], edit) << c.name << ", " << save.name;
            }
        }
}

TEST_F(FileCommandsTest, NewAsksFirstAndResetsToDefaults) {
    modify();
    fx.messenger.answers = {MsgAnswer::Cancel};
    EXPECT_EQ(commands.newDataSet(), CommandOutcome::Cancelled);
    EXPECT_EQ(fx.messenger.ids(), std::vector<int>{219});
    EXPECT_TRUE(doc.isModified());
    EXPECT_EQ(ui.closes, 0);

    fx.messenger.answers = {MsgAnswer::Ok, MsgAnswer::No};
    doc.setFileName("fleet.dat");
    EXPECT_EQ(commands.newDataSet(), CommandOutcome::Done);
    EXPECT_EQ(ui.closes, 1);
    EXPECT_FALSE(doc.isModified());
    EXPECT_EQ(doc.fileName(), "velora.dat");
    EXPECT_EQ(doc.image().main()[layout::kEmbeddedMessage], 0xFF);
    EXPECT_EQ(identificationOf(doc.image()).modelCode(), "Q0120") << "the model is kept";
}

TEST_F(FileCommandsTest, SaveAsThenOpenRoundTrip) {
    modify();
    ui.savePath = dir.file("fleet.dat");
    ASSERT_EQ(commands.saveAs(), CommandOutcome::Done);
    EXPECT_FALSE(doc.isModified());
    EXPECT_EQ(doc.fileName(), "fleet.dat");
    EXPECT_EQ(doc.folder(), dir.path().string() + "/");

    Document other;
    FakeUi ui2;
    FileCommands c2{other, fx.boxes, ui2};
    ASSERT_EQ(c2.openPath(dir.file("fleet.dat")), CommandOutcome::Done);
    EXPECT_EQ(other.image().main()[layout::kEmbeddedMessage], 'A');
    EXPECT_FALSE(other.isModified());
    EXPECT_EQ(other.fileName(), "fleet.dat");
    EXPECT_EQ(ui2.closes, 1);
}

TEST_F(FileCommandsTest, OpenFailuresShowTheirTextsAndKeepEverything) {
    doc.setPath(dir.file("current.dat"));
    modify();
    doc.image().markSaved();
    const auto before = doc.image().working();

    ui.openPath = dir.file("missing.dat");
    EXPECT_EQ(commands.open(), CommandOutcome::Failed);
    EXPECT_EQ(fx.messenger.ids().back(), 207);
    EXPECT_EQ(fx.messenger.shown.back().caption, "T204");
    EXPECT_EQ(doc.fileName(), "current.dat") << "a file that could not be opened does not become current";

    std::ofstream(dir.file("junk.dat")) << "not a data file";
    ui.openPath = dir.file("junk.dat");
    EXPECT_EQ(commands.open(), CommandOutcome::Failed);
    EXPECT_EQ(fx.messenger.ids().back(), 220);
    EXPECT_EQ(doc.image().working(), before);
    EXPECT_EQ(ui.closes, 0);
}

TEST_F(FileCommandsTest, SaveAsksBeforeReplacingAndReportsSystemErrors) {
    std::ofstream(dir.file("velora.dat")) << "old";
    modify();
    fx.messenger.answers = {MsgAnswer::Cancel};
    EXPECT_EQ(commands.save(), CommandOutcome::Cancelled);
    EXPECT_EQ(fx.messenger.shown.back().text, "T217\n\nT218 : velora.dat");
    EXPECT_TRUE(doc.isModified());

    ::chmod(dir.file("velora.dat").c_str(), 0444);
    fx.messenger.answers = {MsgAnswer::Ok};
    EXPECT_EQ(commands.save(), CommandOutcome::Failed);
    EXPECT_EQ(fx.messenger.shown.back().text, std::strerror(EACCES));
    EXPECT_TRUE(doc.isModified());

    ::chmod(dir.file("velora.dat").c_str(), 0644);
    fx.messenger.answers = {MsgAnswer::Ok};
    EXPECT_EQ(commands.save(), CommandOutcome::Done);
    EXPECT_FALSE(doc.isModified());
}

TEST_F(FileCommandsTest, ExitAsksItsOwnQuestionFirst) {
    modify();
    fx.messenger.answers = {MsgAnswer::No};
    EXPECT_FALSE(commands.confirmExit());
    EXPECT_EQ(fx.messenger.ids(), std::vector<int>{138});
    EXPECT_EQ(fx.messenger.shown[0].caption, "T139");
    EXPECT_EQ(fx.messenger.shown[0].icon, MsgIcon::Question);
    fx.messenger.answers = {MsgAnswer::Yes, MsgAnswer::No};
    EXPECT_TRUE(commands.confirmExit());
}
