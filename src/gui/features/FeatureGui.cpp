#include "features/FeatureGui.h"

#include "base/FrameCommands.h"
#include "features/CChannelListView.h"
#include "features/CDravixView.h"
#include "features/CDtmfView.h"
#include "features/CEmbView.h"
#include "features/CEmerView.h"
#include "features/CFeatureView.h"
#include "features/CFuncPortView.h"
#include "features/CKeyView.h"
#include "features/COstView.h"
#include "features/CScanInfoView.h"
#include "features/CTwoToneView.h"
#include "views/EditorRegistry.h"

namespace velora::gui {

void registerFeatureViews(EditorRegistry& registry) {
    registry.addEditor(cmd::kTwoTone, [](AppContext& c, EditorHost& f) { return new CTwoToneView(c, f); });
    registry.addEditor(cmd::kDtmf, [](AppContext& c, EditorHost& f) { return new CDtmfView(c, f); });
    registry.addEditor(cmd::kDravix, [](AppContext& c, EditorHost& f) { return new CDravixView(c, f); });
    registry.addEditor(cmd::kEmergency, [](AppContext& c, EditorHost& f) { return new CEmerView(c, f); });
    registry.addEditor(cmd::kOst, [](AppContext& c, EditorHost& f) { return new COstView(c, f); });
    registry.addEditor(cmd::kRemoteList, [](AppContext& c, EditorHost& f) {
        return new CChannelListView(c, f, CChannelListView::Kind::Remote);
    });
    registry.addEditor(cmd::kRepeaterList, [](AppContext& c, EditorHost& f) {
        return new CChannelListView(c, f, CChannelListView::Kind::Repeater);
    });
    registry.addEditor(cmd::kKeyAssignment, [](AppContext& c, EditorHost& f) { return new CKeyView(c, f); });
    registry.addEditor(cmd::kFunctionPort,
                       [](AppContext& c, EditorHost& f) { return new CFuncPortView(c, f); });
    registry.addEditor(cmd::kScanInfo, [](AppContext& c, EditorHost& f) { return new CScanInfoView(c, f); });
    registry.addEditor(cmd::kEmbeddedMessage,
                       [](AppContext& c, EditorHost& f) { return new CEmbView(c, f); });
    registry.addEditor(cmd::kOptionalFeatures,
                       [](AppContext& c, EditorHost& f) { return new CFeatureView(c, f); });
}

} // namespace velora::gui
