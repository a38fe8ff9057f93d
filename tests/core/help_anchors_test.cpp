// Every help context the program can open (F1 and the Help buttons) has its anchor in the help page,
// so help never opens at the top of the page instead of the topic.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <set>
#include <sstream>

#include "ChannelTestUtil.h"
#include "TestSupport.h"
#include "base/FrameCommands.h"
#include "channels/ChEditArea.h"
#include "channels/ChInfoLogic.h"
#include "channels/CopyDialogs.h"
#include "channels/GrEditArea.h"
#include "comm/Tuning.h"
#include "features/AreaRegistry.h"
#include "features/FunctionPort.h"
#include "features/KeyAssignment.h"
#include "forms/GridArea.h"

namespace velora {
namespace {

using namespace channels;

void addFormTopics(const forms::FeatureArea& area, std::set<int>& out) {
    out.insert(area.defaultHelp());
    for (int p = 0; p < area.pageCount(); ++p)
        for (int f = 0; f < area.fieldCount(p); ++f)
            out.insert(area.helpTopic(p, f));
}

// A grid cell's help may follow its value (a key's function): every value a cell offers is tried.
void addGridTopics(forms::GridArea& g, int pages, std::set<int>& out) {
    for (int p = 0; p < pages; ++p)
        for (int r = 0; r < g.gridRowCount(p); ++r)
            for (int c = 1; c <= g.gridColumnCount(p); ++c) {
                out.insert(g.gridCellHelpAt(p, r, c));
                if (g.gridCellEditor(p, r, c) != forms::CellEditor::List) continue;
                for (const forms::ValueItem& item : g.gridChoicesAt(p, r, c)) {
                    g.commitGridChoice(p, r, c, item.stored);
                    out.insert(g.gridCellHelpAt(p, r, c));
                }
            }
}

// Every registered feature area, on a single-head single-band data set and on one with every
// optional part fitted.
void addFeatureAreaTopics(std::set<int>& out) {
    for (bool full : {false, true}) {
        test::MessengerFixture f;
        Document doc;
        ModelIdentification id = ModelIdentification::defaults();
        if (full) {
            id = test::dualBand(2, 6);
            id.setDualHead(true);
            id.setHeadType(kHead2, 1);
        }
        test::prepare(doc, id);
        ChannelStore store(doc, f.texts);
        forms::AreaServices services{doc, f.boxes, store};
        for (const forms::AreaInfo& info : forms::registeredAreas()) {
            std::unique_ptr<forms::FeatureArea> area = info.make(services);
            addFormTopics(*area, out);
            if (auto* grid = dynamic_cast<forms::GridArea*>(area.get()))
                addGridTopics(*grid, area->pageCount(), out);
        }
    }
    // Tables whose topics show only for stored values no list offers (a damaged key byte).
    for (const forms::ValueItem& mode : keys::kKnobModes)
        out.insert(keys::knobModeHelp(mode.stored));
    out.insert(keys::knobModeHelp(0x7F));
    for (const keys::KeyFunction& fn : keys::kKeyFunctions)
        out.insert(fn.help);
    out.insert(keys::keyFunctionHelp(0x7F));
    for (const auto& fn : port::kInputFunctionList)
        out.insert(fn.help);
    for (const auto& fn : port::kOutputFunctionList)
        out.insert(fn.help);
}

std::set<int> helpContexts() {
    std::set<int> out;
    for (bool dual : {false, true})
        for (const auto& popup : mainMenu(dual))
            for (const auto& item : popup.items)
                if (auto c = helpContext(item.command)) out.insert(*c);
    for (const auto& e : editorList())
        if (auto c = helpContext(e.command)) out.insert(*c);

    for (int col = 0; col < kChInfoCols; ++col)
        out.insert(ChInfoLogic::helpTopic(col));
    out.insert({ChInfoLogic::kHelpView, ChInfoLogic::kHelpChannelEdit, ChInfoLogic::kHelpGroupEdit});
    for (auto kind : {CopyDialogKind::ChannelCopy, CopyDialogKind::FrequencyCopy, CopyDialogKind::ToneCopy,
                      CopyDialogKind::GroupJump, CopyDialogKind::GroupCopy})
        out.insert(copyDialogSpec(kind).help);

    // The test-mode dialog, the controls F1 is pressed on there, and every adjustment item.
    out.insert({comm::testhelp::kDialog, comm::testhelp::kChannel, comm::testhelp::kSignalling,
                comm::testhelp::kSpacing, comm::testhelp::kNoiseBlanker, comm::testhelp::kPrint});
    for (const auto& item : comm::kAdjustmentItems)
        out.insert(item.help);

    test::MessengerFixture f;
    Document doc;
    test::prepare(doc);
    ChannelStore store(doc, f.texts);
    addFormTopics(ChEditArea(store, f.boxes), out);
    addFormTopics(GrEditArea(store, f.boxes), out);
    addFeatureAreaTopics(out);
    return out;
}

// The menu commands that open a dialog with a Help button give it the command's own topic.
TEST(HelpPage, MenuDialogsHaveATopic) {
    for (int command :
         {cmd::kNew, cmd::kOpen, cmd::kSave, cmd::kSaveAs, cmd::kExit, cmd::kModelInfo, cmd::kReadRadio,
          cmd::kWriteRadio, cmd::kCommPort, cmd::kTestMode, cmd::kPrint, cmd::kPrintPreview})
        EXPECT_TRUE(helpContext(command).has_value()) << "command " << command;
}

TEST(HelpPage, EveryContextTheProgramOpensHasItsAnchor) {
    std::ifstream in(std::filesystem::path(VELORA_SOURCE_DATA) / "help" / "index.html");
    ASSERT_TRUE(in) << "no help page";
    std::stringstream page;
    page << in.rdbuf();
    const std::set<int> contexts = helpContexts();
    ASSERT_GT(contexts.size(), 200u) << "the tables were not all collected";
    for (int c : contexts)
        EXPECT_NE(page.str().find("name=\"ctx" + std::to_string(c) + "\""), std::string::npos)
            << "no anchor for help context " << c;
}

} // namespace
} // namespace velora
