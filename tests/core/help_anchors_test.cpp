// Every help context the program can open (F1 and the Help buttons) has its anchor in the help page,
// so help never opens at the top of the page instead of the topic.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <set>
#include <sstream>

#include "ChannelTestUtil.h"
#include "TestSupport.h"
#include "app/FrameCommands.h"
#include "channels/ChEditArea.h"
#include "channels/ChInfoLogic.h"
#include "channels/CopyDialogs.h"
#include "channels/GrEditArea.h"

namespace velora {
namespace {

using namespace channels;

void addFormTopics(const forms::FeatureArea& area, std::set<int>& out) {
    out.insert(area.defaultHelp());
    for (int p = 0; p < area.pageCount(); ++p)
        for (int f = 0; f < area.fieldCount(p); ++f)
            out.insert(area.helpTopic(p, f));
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

    test::MessengerFixture f;
    Document doc;
    test::prepare(doc);
    ChannelStore store(doc, f.texts);
    addFormTopics(ChEditArea(store, f.boxes), out);
    addFormTopics(GrEditArea(store, f.boxes), out);
    return out;
}

TEST(HelpPage, EveryContextTheProgramOpensHasItsAnchor) {
    std::ifstream in(std::filesystem::path(VELORA_SOURCE_DATA) / "help" / "index.html");
    ASSERT_TRUE(in) << "no help page";
    std::stringstream page;
    page << in.rdbuf();
    const std::set<int> contexts = helpContexts();
    ASSERT_GT(contexts.size(), 60u) << "the tables were not all collected";
    for (int c : contexts)
        EXPECT_NE(page.str().find("name=\"ctx" + std::to_string(c) + "\""), std::string::npos)
            << "no anchor for help context " << c;
}

} // namespace
} // namespace velora
