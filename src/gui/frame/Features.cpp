#include "frame/EditorRegistry.h"

#include "channels/ChannelGui.h"
#include "features/FeatureGui.h"

namespace velora::gui {

// Editor views and feature dialogs register here, for example:
//   registry.addEditor(cmd::kChannelInfo, [](AppContext& c, MainFrame& f) { return new ChInfoView(c, f); });
//   registry.addCommand(cmd::kTestMode, [](AppContext& c, MainFrame& f) { TestModeDialog(c, f).exec(); });
void registerFeatures(EditorRegistry& registry) {
    registerChannelViews(registry);
    registerFeatureViews(registry);
}

} // namespace velora::gui
